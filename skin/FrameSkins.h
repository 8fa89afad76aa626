// The reader the frame controls take their skin from on every composition.
// The main window makes one and hands it to all its frame controls, so that
// what it knows about a skin file (whether the frame can use it, what was
// said about it) is kept once, for that window, and goes with it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/File.h"

namespace skin {

// A skin compiled into the program: the whole packed file.
struct BuiltInSkin {
  std::string_view name;  // as in stype/<name>.jss
  std::span<const std::uint8_t> bytes;
};

class FrameSkins {
 public:
  // Takes one line about a skin file, without its line end.
  using Sink = std::function<void(const std::string& line)>;

  // builtIns are what a file the frame cannot use falls back on: the one of
  // the file's name, else "black-1". Without them such a file gives an
  // empty store. The lines go to sink; without one they are dropped.
  explicit FrameSkins(std::span<const BuiltInSkin> builtIns = {}, Sink sink = {});
  FrameSkins(const FrameSkins&) = delete;
  FrameSkins& operator=(const FrameSkins&) = delete;

  // Fills the store from the skin file at path, as it is on disk now. The
  // file is used as it stands when it is a skin that holds at least one of
  // the frame's pictures; its keys that a composition has to skip are named
  // in one line. A file that cannot be read, is no skin, or holds none of
  // the frame's pictures gives the built-in skin of its name instead, with
  // one line saying which file and why. Each line is said once for its file.
  // An empty path names no file: the store stays empty and nothing is said.
  void Read(const std::string& path, host::PropertyBag& store);

 private:
  // What one path gave when it was last read.
  struct Entry {
    std::string path;
    bool identified = false;  // identity is that of the bytes below
    platform::FileIdentity identity;
    std::int64_t readAtNs = 0;  // the clock just before they were read
    bool checked = false;
    std::vector<std::uint8_t> bytes;
    std::string unusable;  // why the frame cannot use them; empty when it can
    std::vector<std::string> skipped;
    std::deque<std::string> said;
  };

  Entry& EntryFor(const std::string& path);
  static bool Unchanged(const Entry& entry, const platform::FileIdentity& now);
  void Check(Entry& entry, std::vector<std::uint8_t> bytes, host::PropertyBag& store);
  void UseBuiltIn(Entry& entry, const std::string& reason, host::PropertyBag& store);
  void Say(Entry& entry, const std::string& line);

  std::span<const BuiltInSkin> builtIns_;
  Sink sink_;
  std::vector<Entry> entries_;  // the most recently read first
};

}  // namespace skin
