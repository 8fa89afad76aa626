// Arbitrary bytes as the URL an engine asks about, for either view and any
// kind of request, over a small made-up program folder with a link out of
// its pages: nothing reaches a handler unless it is a well-formed outside
// URL, the sound view goes nowhere but its page, and a refusal's line stays
// short and printable.
// Code under test: platform/PagePolicy.cpp
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PagePolicy.h"

namespace {

using platform::LocalPath;

constexpr std::string_view Html = "/prog/html";
constexpr std::string_view SoundPage = "file:///prog/html/sound.html";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// A program folder whose html/link leads to /etc, where names holding
// "missing" do not exist and names ending in '/' or "dir" are folders.
std::optional<LocalPath> Resolve(const std::string& path) {
  if (path.empty() || path.front() != '/' || StartsWith(path, "//")) return std::nullopt;
  if (path.find('\0') != std::string::npos) return std::nullopt;
  std::string resolved = path;
  const std::string link = std::string(Html) + "/link";
  if (StartsWith(resolved, link) &&
      (resolved.size() == link.size() || resolved[link.size()] == '/')) {
    resolved = "/etc" + resolved.substr(link.size());
  }
  if (resolved == Html || resolved.back() == '/' || resolved.ends_with("dir")) {
    while (resolved.size() > 1 && resolved.back() == '/') resolved.pop_back();
    return LocalPath{resolved, LocalPath::Kind::Folder};
  }
  if (resolved.find("missing") != std::string::npos) {
    return LocalPath{resolved, LocalPath::Kind::Missing};
  }
  return LocalPath{resolved, LocalPath::Kind::File};
}

bool HasHandler(const std::string& scheme) {
  return scheme == "http" || scheme == "https" || scheme == "mailto" || scheme == "tel" ||
         scheme == "irc" || scheme == "data" || scheme == "javascript" || scheme == "file";
}

bool Inside(std::string_view path) {
  return StartsWith(path, std::string(Html) + "/");
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  std::string url(reinterpret_cast<const char*>(data + 1), size - 1);
  // Half the inputs are put under the program's pages, where most of the
  // rule's paths start.
  if (mode & 0x10) url = "file://" + std::string(Html) + "/" + url;

  platform::PageAsk ask;
  ask.View = (mode & 1) ? platform::PageView::Sound : platform::PageView::Main;
  ask.Request = static_cast<platform::PageRequest>((mode >> 1) % 3);
  ask.Url = url;
  ask.OwnPage = SoundPage;
  const platform::PagePolicy policy(std::string(Html), {HasHandler, Resolve});
  const platform::PageAnswer answer = policy.Decide(ask);

  for (char c : answer.Reason) {
    if (c < 0x20 || c > 0x7E) __builtin_trap();
  }
  if (answer.Reason.size() >= 300) __builtin_trap();
  if (answer.Verdict != platform::PageVerdict::Refuse && !answer.Reason.empty()) __builtin_trap();

  switch (answer.Verdict) {
    case platform::PageVerdict::Allow:
      if (ask.Request != platform::PageRequest::Navigation) __builtin_trap();
      if (ask.View == platform::PageView::Sound) {
        // The same URL in a window of its own names the file it would load,
        // which must be the sound page.
        platform::PageAsk asWindow = ask;
        asWindow.View = platform::PageView::Main;
        asWindow.Request = platform::PageRequest::NewWindow;
        if (policy.Decide(asWindow).File != std::string(Html) + "/sound.html") __builtin_trap();
      }
      break;
    case platform::PageVerdict::HandOff: {
      if (ask.View != platform::PageView::Main) __builtin_trap();
      if (answer.Url.empty() == answer.File.empty()) __builtin_trap();
      if (!answer.File.empty()) {
        const std::optional<LocalPath> file = Resolve(answer.File);
        if (!file || file->What != LocalPath::Kind::File || file->Path != answer.File) {
          __builtin_trap();
        }
        // The program's own pages leave only as a window of their own.
        if (Inside(answer.File) && ask.Request != platform::PageRequest::NewWindow) {
          __builtin_trap();
        }
        break;
      }
      if (answer.Url.size() > platform::PagePolicy::MaxUrlBytes) __builtin_trap();
      if (!SameIgnoringCase(answer.Url, url)) __builtin_trap();
      for (char c : answer.Url) {
        if (c <= 0x20 || c >= 0x7F) __builtin_trap();
        if (std::string_view("\"<>\\^`{|}").find(c) != std::string_view::npos) __builtin_trap();
      }
      const std::string scheme = answer.Url.substr(0, answer.Url.find(':'));
      if (scheme.size() == answer.Url.size() || !HasHandler(scheme)) __builtin_trap();
      for (std::string_view never : {"file", "javascript", "data", "about", "blob"}) {
        if (scheme == never) __builtin_trap();
      }
      for (char c : scheme) {
        if (c >= 'A' && c <= 'Z') __builtin_trap();
      }
      break;
    }
    case platform::PageVerdict::Refuse:
      break;
  }
  return 0;
}
