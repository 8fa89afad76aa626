#include "skin/FrameSkins.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "skin/SkinFile.h"

namespace skin {

namespace {

constexpr std::string_view DefaultSkin = "black-1";

// A window reads one or two skins; a few more paths cost little, and any
// path read again after being dropped is only checked once more.
constexpr std::size_t MaxPaths = 4;
// What was said about one path, so that it is not said on every paint.
constexpr std::size_t MaxLinesPerPath = 16;

// A file system keeps a file's times in ticks (2 s on FAT), so a file
// written twice within one tick, at the same size, keeps its identity.
// Bytes read less than this after the file's last change are therefore
// read again, and compared, at every paint until they are older.
constexpr std::int64_t SettleNs = 3'000'000'000;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The name of the skin a path holds: its last component without ".jss".
std::string SkinName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  constexpr std::string_view extension = ".jss";
  if (name.size() > extension.size() && name.ends_with(extension)) {
    name.resize(name.size() - extension.size());
  }
  return name;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// Only asked once a read has failed, and only for the message: the file may
// have changed in between, which costs nothing worse than a vaguer reason.
std::string WhyUnreadable(const std::string& path) {
  const std::string native = platform::NativePath(path);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(native, error);
  if (error) return error.message();
  if (std::filesystem::is_directory(status)) return "it is a folder";
  if (!std::filesystem::is_regular_file(status)) return "it is not an ordinary file";
  if (std::FILE* file = std::fopen(native.c_str(), "rb")) {
    std::fclose(file);
    return "it could not be read whole";
  }
  return std::strerror(errno);
}

}  // namespace

FrameSkins::FrameSkins(std::span<const BuiltInSkin> builtIns, Sink sink)
    : builtIns_(builtIns), sink_(std::move(sink)) {}

void FrameSkins::Read(const std::string& path, host::PropertyBag& store) {
  store.Clear();
  if (path.empty()) return;
  Entry& entry = EntryFor(path);
  const std::int64_t readAt = NowNs();
  platform::FileIdentity now;
  const bool identified = platform::IdentifyFile(path, now);
  if (identified && Unchanged(entry, now)) {
    if (entry.unusable.empty()) LoadSkinBytes(entry.bytes.data(), entry.bytes.size(), store);
  } else {
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
      entry.identified = false;
      UseBuiltIn(entry, "it cannot be read (" + WhyUnreadable(path) + ")", store);
      return;
    }
    // Replaced by the same bytes (saved again, copied back): nothing to check.
    if (entry.checked && bytes == entry.bytes) {
      if (entry.unusable.empty()) LoadSkinBytes(entry.bytes.data(), entry.bytes.size(), store);
    } else {
      Check(entry, std::move(bytes), store);
    }
    entry.identified = identified;
    entry.identity = now;
    entry.readAtNs = readAt;
  }
  if (!entry.unusable.empty()) {
    UseBuiltIn(entry, entry.unusable, store);
  } else if (!entry.skipped.empty()) {
    Say(entry, "skinshell: the skin file " + platform::NativePath(path) +
                   " has keys the frame skips (pictures that do not decode, values that do not "
                   "convert): " +
                   Joined(entry.skipped));
  }
}

FrameSkins::Entry& FrameSkins::EntryFor(const std::string& path) {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& e) { return e.path == path; });
  if (found == entries_.end()) {
    if (entries_.size() == MaxPaths) entries_.pop_back();
    Entry fresh;
    fresh.path = path;
    entries_.insert(entries_.begin(), std::move(fresh));
  } else {
    std::rotate(entries_.begin(), found, found + 1);
  }
  return entries_.front();
}

bool FrameSkins::Unchanged(const Entry& entry, const platform::FileIdentity& now) {
  const std::int64_t lastChange = std::max(now.modifiedNs, now.changedNs);
  return entry.checked && entry.identified && entry.identity == now &&
         lastChange < entry.readAtNs - SettleNs;
}

// Checking every picture decodes the skin once more, so the verdict is kept
// with the bytes until they change.
void FrameSkins::Check(Entry& entry, std::vector<std::uint8_t> bytes, host::PropertyBag& store) {
  entry.checked = true;
  entry.skipped.clear();
  entry.unusable = LoadSkinBytes(bytes.data(), bytes.size(), store);
  if (entry.unusable.empty() && !HoldsFramePicture(store)) {
    entry.unusable = "it holds none of the frame's pictures";
  }
  if (entry.unusable.empty()) entry.skipped = SkippedKeys(store);
  entry.bytes = std::move(bytes);
}

void FrameSkins::UseBuiltIn(Entry& entry, const std::string& reason, host::PropertyBag& store) {
  store.Clear();
  const auto named = [&](std::string_view name) {
    return std::find_if(builtIns_.begin(), builtIns_.end(),
                        [&](const BuiltInSkin& s) { return s.name == name; });
  };
  auto builtIn = named(SkinName(entry.path));
  if (builtIn == builtIns_.end()) builtIn = named(DefaultSkin);
  const std::string line =
      "skinshell: cannot use the skin file " + platform::NativePath(entry.path) + ": " + reason;
  if (builtIn == builtIns_.end()) {
    Say(entry, line);
    return;
  }
  LoadSkinBytes(builtIn->bytes.data(), builtIn->bytes.size(), store);
  Say(entry, line + "; the frame is drawn from the built-in skin " + std::string(builtIn->name));
}

// Each line once: the same file failing the same way on every paint would
// otherwise flood the sink.
void FrameSkins::Say(Entry& entry, const std::string& line) {
  if (std::find(entry.said.begin(), entry.said.end(), line) != entry.said.end()) return;
  if (entry.said.size() == MaxLinesPerPath) entry.said.pop_front();
  entry.said.push_back(line);
  if (sink_) sink_(line);
}

}  // namespace skin
