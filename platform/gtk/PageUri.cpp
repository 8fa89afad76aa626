#include "platform/gtk/PageUri.h"

#include <glib.h>

#include <algorithm>

namespace platform::gtk {

namespace {

// Characters a query may carry unescaped; anything else (blanks, control
// characters, non-ASCII bytes) is percent-encoded so the URI stays valid.
// '%' is allowed so that a query already encoded is not encoded twice.
constexpr const char* QueryAllowed = "!$&'()*+,;=:@/?#%[]~";

std::string Escaped(const std::string& text) {
  if (text.empty()) return text;
  gchar* escaped = g_uri_escape_string(text.c_str(), QueryAllowed, FALSE);
  std::string result = escaped != nullptr ? escaped : "";
  g_free(escaped);
  return result;
}

}  // namespace

std::string PageUri(const std::string& location) {
  const std::string& text = location;
  // A NUL inside the location would cut the path short without notice.
  if (text.find('\0') != std::string::npos || text.empty()) return "about:blank";

  std::size_t lastSeparator = text.rfind('/');
  std::size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
  std::size_t suffixStart = text.find_first_of("?#", nameStart);
  std::string path = text.substr(0, suffixStart);
  std::string suffix = suffixStart == std::string::npos ? "" : text.substr(suffixStart);
  if (path.empty()) return "about:blank";

  gchar* absolute = g_canonicalize_filename(path.c_str(), nullptr);
  GError* error = nullptr;
  gchar* uri = g_filename_to_uri(absolute, nullptr, &error);
  g_free(absolute);
  if (uri == nullptr) {
    g_clear_error(&error);
    return "about:blank";
  }
  std::string result = uri;
  g_free(uri);
  return result + Escaped(suffix);
}

}  // namespace platform::gtk
