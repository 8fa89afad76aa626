// What stays in the program's web views and what goes to the user's default
// handler. The program's own pages are its html folder and what lies under
// it; the backends report what their engine asks (a top-level navigation, a
// new window, a download) and do what the rule answers. Subresources are no
// navigations and never come here.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/LocalPath.h"

namespace platform {

enum class PageView { Main, Sound };

// A middle click on a link, target="_blank" and window.open() are all a new
// window.
enum class PageRequest { Navigation, NewWindow, Download };

struct PageAsk {
  PageView View = PageView::Main;
  PageRequest Request = PageRequest::Navigation;
  // The URL as the engine gives it, unchecked. A Windows path ("C:\...",
  // "\\server\share\...") is taken as a local file, for the browser control
  // names local pages so.
  std::string_view Url;
  // The sound view's own page, as it was handed to the view: the only place
  // it may go. Not read for the main view.
  std::string_view OwnPage;
};

enum class PageVerdict {
  Allow,    // go ahead in the view
  HandOff,  // give it to the default handler; the view stays on its page
  Refuse    // do nothing
};

struct PageAnswer {
  PageVerdict Verdict = PageVerdict::Refuse;
  // HandOff of a link: the URL for the default handler, its scheme in lower
  // case, printable ASCII only.
  std::string Url;
  // HandOff of a local file: its resolved path, to be opened by path (the
  // Windows shell does not read a file URL's escapes as UTF-8).
  std::string File;
  // Refuse: the text of the one stderr line after "skinshell: ", printable
  // ASCII and short whatever the URL held; empty to refuse quietly.
  std::string Reason;
};

// What the rule asks of the desktop. Resolve defaults to ResolveLocalPath,
// the disk as the platform reads it; the fuzz target gives a made-up one.
struct PageDesktop {
  // True when the desktop has a handler for the scheme (lower case, no ':').
  std::function<bool(const std::string& scheme)> HasHandler;
  std::function<std::optional<LocalPath>(const std::string& path)> Resolve = ResolveLocalPath;
};

class PagePolicy {
 public:
  // htmlFolder is the program's page folder as a native path; it is resolved
  // at every decision, so a folder that moves or appears later is followed.
  PagePolicy(std::string htmlFolder, PageDesktop desktop);

  PageAnswer Decide(const PageAsk& ask) const;

  // Longer URLs are refused whole: no engine needs one, and a handler's
  // command line would cut it (32767 characters on Windows).
  static constexpr std::size_t MaxUrlBytes = 32 * 1024;

 private:
  std::string htmlFolder_;
  PageDesktop desktop_;
};

}  // namespace platform
