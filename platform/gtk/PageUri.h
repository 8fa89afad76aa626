// Page locations as the code above hands them to a browser (a file path,
// perhaps with a query) turned into the file:// URIs a web view loads. A
// backslash is part of a name here, as the file system takes it.
#pragma once

#include <string>

namespace platform::gtk {

// The path part is percent-encoded as a file URI; a query or fragment that
// follows the last path separator is kept as it stands. '?' and '#' inside
// folder names belong to the path. A relative path is taken from the current
// folder. Never fails: a location that cannot be made into a URI gives
// "about:blank".
std::string PageUri(const std::string& location);

}  // namespace platform::gtk
