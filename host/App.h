// The program folder, as the platform reports it.
#pragma once

#include <string>

namespace host {

class App {
 public:
  // The folder of the resolved executable unless a test has set one: no
  // trailing separator, except at the root.
  static std::string Path();
  static void Path(const std::string& folder);
};

}  // namespace host
