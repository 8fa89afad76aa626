#include "platform/PagePolicy.h"

#include <utility>
#include <vector>

namespace platform {

namespace {

// Schemes whose URLs carry their content or name something of the engine's
// own: they never replace the page and no handler is ever given one.
constexpr std::string_view ContentSchemes[] = {"about", "blob", "data", "filesystem",
                                               "view-source"};

// The stderr line shows about this much of a URL, escapes counted.
constexpr std::size_t ShownUrlBytes = 160;

bool IsAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasControl(std::string_view url) {
  for (char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

// The URL as the stderr line shows it: bytes that would garble a terminal
// or a log escaped, and cut short.
std::string Shown(std::string_view url) {
  std::string shown;
  std::size_t used = 0;
  for (; used < url.size() && shown.size() < ShownUrlBytes; ++used) {
    const char c = url[used];
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) {
      shown += c;
    } else {
      static constexpr char Hex[] = "0123456789ABCDEF";
      shown += '%';
      shown += Hex[byte >> 4];
      shown += Hex[byte & 0xF];
    }
  }
  if (used < url.size()) shown += "...";
  return shown;
}

// The scheme in lower case, or empty when the URL does not start with one.
std::string SchemeOf(std::string_view url) {
  if (url.empty() || !IsAlpha(url.front())) return {};
  std::string scheme;
  for (char c : url) {
    if (c == ':') return scheme;
    if (!IsAlpha(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') return {};
    scheme += Lower(c);
  }
  return {};
}

// The browser control names a local page by its Windows path, with its
// escapes already undone.
bool IsWindowsPath(std::string_view url) {
  if (url.size() >= 3 && IsAlpha(url[0]) && url[1] == ':' && (url[2] == '\\' || url[2] == '/')) {
    return true;
  }
  return url.size() >= 2 && url[0] == '\\' && url[1] == '\\';
}

// A local path with no query, as the engine would open it.
struct LocalTarget {
  std::string Path;
  // A name on another machine: never handed to a handler, which would
  // connect to that machine.
  bool Remote = false;
};

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

// What follows "file:" as a local path: escapes decoded and "." and ".."
// taken away name by name, as the engine's URL parser does before it opens
// anything, so "html/../../x" names x. A raw '\' separates names as '/'
// does there.
std::optional<LocalTarget> FileUrlTarget(std::string_view rest) {
  std::string part(rest.substr(0, rest.find_first_of("?#")));
  for (char& c : part) {
    if (c == '\\') c = '/';
  }
  LocalTarget target;
  std::string_view path = part;
  if (path.substr(0, 2) == "//") {
    const std::size_t hostEnd = path.find('/', 2);
    std::optional<std::string> host = Unescaped(path.substr(2, hostEnd - 2));
    if (!host || host->find_first_of(std::string_view("\0/", 2)) != std::string::npos) {
      return std::nullopt;
    }
    for (char& c : *host) c = Lower(c);
    if (!host->empty() && *host != "localhost") {
      target.Remote = true;
      target.Path = "//" + *host;
    }
    path = hostEnd == std::string_view::npos ? std::string_view("/") : path.substr(hostEnd);
  }
  if (path.empty() || path.front() != '/') return std::nullopt;

  std::vector<std::string> names;
  bool endsInFolder = false;
  std::size_t start = 1;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    std::optional<std::string> name = Unescaped(path.substr(start, end - start));
    // An escaped '/' would make one name two after the check below.
    if (!name || name->find_first_of(std::string_view("\0/", 2)) != std::string::npos) {
      return std::nullopt;
    }
    endsInFolder = name->empty() || *name == "." || *name == "..";
    if (*name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name->empty() && *name != ".") {
      names.push_back(std::move(*name));
    }
    start = end + 1;
  }
  for (const std::string& name : names) target.Path += "/" + name;
  if (names.empty() || endsInFolder) target.Path += "/";
  return target;
}

// A Windows path as the browser control gives it; its query follows the
// file name, as in the page URLs the program makes.
LocalTarget WindowsPathTarget(std::string_view url) {
  const std::size_t separator = url.find_last_of("/\\");
  const std::size_t queryStart = url.find_first_of("?#", separator);
  LocalTarget target;
  target.Path = std::string(url.substr(0, queryStart));
  target.Remote = url.substr(0, 2) == "\\\\";
  return target;
}

// The local path a file: URL or a Windows path names.
std::optional<LocalTarget> LocalTargetOf(std::string_view url) {
  if (IsWindowsPath(url)) return WindowsPathTarget(url);
  if (SchemeOf(url) != "file" || HasControl(url)) return std::nullopt;
  return FileUrlTarget(url.substr(5));
}

// True when every byte may stand in a URL as RFC 3986 writes one and every
// '%' starts an escape: no blank or quote that could end the URL in a
// handler's command line.
bool UrlCharactersValid(std::string_view url) {
  constexpr std::string_view Allowed = "-._~:/?#[]@!$&'()*+,;=";
  for (std::size_t i = 0; i < url.size(); ++i) {
    const char c = url[i];
    if (c == '%') {
      if (i + 2 >= url.size() || HexValue(url[i + 1]) < 0 || HexValue(url[i + 2]) < 0) {
        return false;
      }
    } else if (!IsAlpha(c) && !IsDigit(c) && Allowed.find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

// A URL that names something a handler can open: valid characters, and for
// the web schemes a host.
bool WellFormedLink(const std::string& scheme, std::string_view url) {
  if (!UrlCharactersValid(url)) return false;
  const std::string_view body = url.substr(scheme.size() + 1);
  if (body.empty()) return false;
  if (scheme != "http" && scheme != "https") return true;
  if (body.substr(0, 2) != "//") return false;
  std::string_view host = body.substr(2, body.find_first_of("/?#", 2) - 2);
  host = host.substr(host.rfind('@') + 1);
  if (!host.empty() && host.front() == '[') {
    const std::size_t close = host.find(']');
    return close != std::string_view::npos && close > 1;
  }
  host = host.substr(0, host.find(':'));
  return !host.empty();
}

bool IsContentScheme(const std::string& scheme) {
  for (std::string_view content : ContentSchemes) {
    if (scheme == content) return true;
  }
  return false;
}

bool IsAboutBlank(std::string_view url) {
  const std::string_view rest = url.substr(6);  // after "about:"
  return rest.substr(0, 5) == "blank" && (rest.size() == 5 || rest[5] == '?' || rest[5] == '#');
}

bool Within(const LocalPath& path, const std::optional<LocalPath>& folder) {
  if (!folder || folder->What != LocalPath::Kind::Folder) return false;
  std::string prefix = folder->Path;
  if (prefix.empty() || prefix.back() != '/') prefix += '/';
  return path.Path.size() > prefix.size() && path.Path.compare(0, prefix.size(), prefix) == 0;
}

PageAnswer Allowed() {
  return {PageVerdict::Allow, {}, {}, {}};
}

PageAnswer HandedOff(std::string url, std::string file) {
  return {PageVerdict::HandOff, std::move(url), std::move(file), {}};
}

// The main view's refusals say why on stderr; the hidden view's are quiet,
// since nobody asked it for anything.
PageAnswer Refused(const PageAsk& ask, const std::string& why) {
  PageAnswer answer{PageVerdict::Refuse, {}, {}, {}};
  if (ask.View == PageView::Main && !why.empty()) {
    answer.Reason = "not opening " + Shown(ask.Url) + ": " + why;
  }
  return answer;
}

// A local file: the program's own pages stay in the main view, anything
// else that is a file goes to its handler.
PageAnswer LocalAnswer(const PageAsk& ask, const LocalTarget& target,
                       const std::optional<LocalPath>& html, const PageDesktop& desktop) {
  const std::optional<LocalPath> path = desktop.Resolve(target.Path);
  if (!path) return Refused(ask, "the file cannot be opened here");
  const bool page = path->What == LocalPath::Kind::File || path->What == LocalPath::Kind::Missing;
  const bool inside = page && Within(*path, html);

  if (ask.View == PageView::Sound) {
    // The sound view's own page, whatever query it carries.
    if (ask.Request != PageRequest::Navigation || !inside) return Refused(ask, {});
    const std::optional<LocalTarget> ownTarget = LocalTargetOf(ask.OwnPage);
    const std::optional<LocalPath> own =
        ownTarget ? desktop.Resolve(ownTarget->Path) : std::nullopt;
    return own && own->Path == path->Path ? Allowed() : Refused(ask, {});
  }
  if (inside) {
    switch (ask.Request) {
      case PageRequest::Navigation:
        // A missing page shows the engine's error page, as it always has.
        return Allowed();
      case PageRequest::NewWindow:
        if (path->What == LocalPath::Kind::Missing) return Refused(ask, "there is no such page");
        return HandedOff({}, path->Path);
      case PageRequest::Download:
        return Refused(ask, "the program's own pages are not downloaded");
    }
  }
  switch (path->What) {
    case LocalPath::Kind::Folder:
      return Refused(ask, "it is a folder");
    case LocalPath::Kind::Missing:
      return Refused(ask, "there is no such file");
    case LocalPath::Kind::Other:
      return Refused(ask, "it is no plain file");
    case LocalPath::Kind::File:
      break;
  }
  if (target.Remote) return Refused(ask, "the file is on another machine");
  return HandedOff({}, path->Path);
}

}  // namespace

PagePolicy::PagePolicy(std::string htmlFolder, PageDesktop desktop)
    : htmlFolder_(std::move(htmlFolder)), desktop_(std::move(desktop)) {
  if (!desktop_.Resolve) desktop_.Resolve = ResolveLocalPath;
}

PageAnswer PagePolicy::Decide(const PageAsk& ask) const {
  const std::string_view url = ask.Url;
  if (url.size() > MaxUrlBytes) {
    return Refused(ask, "a URL of " + std::to_string(url.size()) + " bytes is too long");
  }
  if (HasControl(url)) return Refused(ask, "the URL holds control characters");
  const std::string scheme = IsWindowsPath(url) ? "file" : SchemeOf(url);
  if (scheme.empty()) return Refused(ask, "it is no URL");
  if (scheme == "file") {
    const std::optional<LocalTarget> target = LocalTargetOf(url);
    if (!target) return Refused(ask, "the file URL is malformed");
    return LocalAnswer(ask, *target, desktop_.Resolve(htmlFolder_), desktop_);
  }

  if (ask.View == PageView::Sound) return Refused(ask, {});
  const bool navigation = ask.Request == PageRequest::Navigation;
  if (scheme == "javascript" || (scheme == "about" && IsAboutBlank(url))) {
    // A script link runs in its page, and a blank page is nothing to leave
    // it for; in a window of their own they have no page.
    return navigation ? Allowed() : Refused(ask, {});
  }
  if (IsContentScheme(scheme)) {
    // What the page asked for itself (a download, a new window) is worth a
    // line when it comes to nothing; the engine's own traffic is not.
    return Refused(ask, navigation ? "" : scheme + ": URLs are not opened outside their page");
  }
  if (!WellFormedLink(scheme, url)) return Refused(ask, "the URL is malformed");
  if (!desktop_.HasHandler || !desktop_.HasHandler(scheme)) {
    return Refused(ask, "no program here opens " + scheme.substr(0, 40) + ": links");
  }
  std::string link(url);
  for (std::size_t i = 0; i < scheme.size(); ++i) link[i] = scheme[i];
  return HandedOff(std::move(link), {});
}

}  // namespace platform
