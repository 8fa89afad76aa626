#include "platform/NativeDesktop.h"

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

#include "platform/win/Utf16.h"
#include "platform/win/desktop/WinDesktop.h"

namespace platform {

namespace {

// Each line the program says, handed to the debugger's output whole.
class DebugOutput : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    line_ += traits_type::to_char_type(c);
    if (line_.back() == '\n') {
      OutputDebugStringW(win::Wide(line_).c_str());
      line_.clear();
    }
    return c;
  }

 private:
  std::string line_;
};

// A GUI program has no standard error unless whoever started it gave it one
// (a redirection, a test harness, Wine's launcher). Without one, the lines
// it says about bad skins and placement files would go nowhere: started
// from a console they go to that console, otherwise to the debugger's
// output, where a debugger or a debug-output viewer shows them.
void KeepErrorsVisible() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error != nullptr && error != INVALID_HANDLE_VALUE && GetFileType(error) != FILE_TYPE_UNKNOWN) {
    return;
  }
  if (AttachConsole(ATTACH_PARENT_PROCESS) && std::freopen("CONOUT$", "w", stderr)) return;
  static DebugOutput debugOutput;
  std::cerr.rdbuf(&debugOutput);
}

}  // namespace

std::unique_ptr<Desktop> CreateNativeDesktop(int& argc, char**& argv) {
  (void)argc, (void)argv;
  KeepErrorsVisible();
  return std::make_unique<win::WinDesktop>();
}

}  // namespace platform
