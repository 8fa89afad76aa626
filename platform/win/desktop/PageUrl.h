// Page locations as the browser control takes them: file: URLs.
#pragma once

#include <string>

namespace platform::win {

// A location of the host (a path in the program folder, separators of
// either kind, a query after the file name) as a file: URL. The path is made
// absolute; characters that would end or change the path are percent-encoded,
// and non-ASCII characters stay as they are, because the system does not
// read a file URL's escapes as UTF-8. What cannot be a
// page location (empty, or with a NUL inside) is about:blank.
std::wstring PageUrl(const std::string& location);

// The folder that holds the location's page, absolute and native (UTF-8,
// '\\' between names); empty where the location names no page.
std::string PageFolder(const std::string& location);

}  // namespace platform::win
