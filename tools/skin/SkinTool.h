// The skin tool's commands, callable without a process so tests can drive
// them: each takes its arguments and two streams and returns the exit code.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace skintool {

int Pack(const std::string& dir, const std::string& out, std::ostream& info, std::ostream& err);
// Packs, then packs again after every change to a picture or skin.ini in
// dir; returns (1) only when dir cannot be watched or goes away.
int PackWatch(const std::string& dir, const std::string& out, std::ostream& info,
              std::ostream& err);
int Unpack(const std::string& in, const std::string& dir, std::ostream& info, std::ostream& err);
// Lists the entries, then warnings; 0 when the file is a skin, whatever the
// warnings, 1 when it is not one.
int Inspect(const std::string& in, std::ostream& info, std::ostream& err);
// Refuses (1, nothing written) an out that does not end in .png or that is
// one of the inputs.
int Preview(const std::vector<std::string>& inputs, const std::string& out, int width,
            std::ostream& info, std::ostream& err);
int Generate(const std::string& name, const std::string& dir, std::ostream& info,
             std::ostream& err);

// The command line: args without the program name.
int Run(const std::vector<std::string>& args, std::ostream& info, std::ostream& err);

}  // namespace skintool
