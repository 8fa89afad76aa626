#include "skin/builtin/FrameSkin.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <vector>

#include "platform/File.h"
#include "skin/SkinFile.h"
#include "skin/builtin/BuiltInSkins.h"

namespace skin {

namespace {

constexpr std::string_view DefaultSkin = "black-1";

// What a file's content gave when it was last checked. A composition runs
// on every paint; checking every picture each time would decode the skin
// twice, so the verdict is kept until the bytes change.
struct Verdict {
  std::vector<std::uint8_t> bytes;
  std::string unusable;  // why the frame cannot use the file; empty when it can
  std::vector<std::string> skipped;
};

// Each line once: the same file failing the same way on every paint would
// otherwise flood stderr.
void SayOnce(const std::string& line) {
  static std::set<std::string> said;
  if (said.insert(line).second) std::cerr << line << "\n";
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

const BuiltInSkin* FindBuiltIn(std::string_view name) {
  for (const BuiltInSkin& skin : BuiltInSkins()) {
    if (skin.name == name) return &skin;
  }
  return nullptr;
}

const BuiltInSkin* BuiltInFor(std::string_view name) {
  if (const BuiltInSkin* skin = FindBuiltIn(name)) return skin;
  return FindBuiltIn(DefaultSkin);
}

void UseBuiltIn(const std::string& path, const std::string& reason, host::PropertyBag& store) {
  store.Clear();
  const BuiltInSkin* builtIn = BuiltInFor(SkinName(path));
  if (builtIn == nullptr) {
    SayOnce("skinshell: cannot use the skin file " + platform::NativePath(path) + ": " + reason);
    return;
  }
  LoadSkinBytes(builtIn->bytes.data(), builtIn->bytes.size(), store);
  SayOnce("skinshell: cannot use the skin file " + platform::NativePath(path) + ": " + reason +
          "; the frame is drawn from the built-in skin " + std::string(builtIn->name));
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

Verdict Check(std::vector<std::uint8_t> bytes, host::PropertyBag& store) {
  Verdict verdict;
  verdict.unusable = LoadSkinBytes(bytes.data(), bytes.size(), store);
  if (verdict.unusable.empty() && !HoldsFramePicture(store)) {
    verdict.unusable = "it holds none of the frame's pictures";
  }
  if (verdict.unusable.empty()) verdict.skipped = SkippedKeys(store);
  verdict.bytes = std::move(bytes);
  return verdict;
}

}  // namespace

std::string SkinName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  constexpr std::string_view extension = ".jss";
  if (name.size() > extension.size() && name.ends_with(extension)) {
    name.resize(name.size() - extension.size());
  }
  return name;
}

std::span<const std::uint8_t> BuiltInSkinBytes(std::string_view name) {
  const BuiltInSkin* skin = BuiltInFor(name);
  return skin ? skin->bytes : std::span<const std::uint8_t>();
}

void ReadFrameSkin(const std::string& path, host::PropertyBag& store) {
  store.Clear();
  if (path.empty()) return;
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(path, bytes)) {
    UseBuiltIn(path, "it cannot be read (" + WhyUnreadable(path) + ")", store);
    return;
  }
  static std::map<std::string, Verdict> verdicts;
  Verdict& verdict = verdicts[path];
  if (verdict.bytes.empty() || verdict.bytes != bytes) {
    verdict = Check(std::move(bytes), store);
  } else {
    LoadSkinBytes(verdict.bytes.data(), verdict.bytes.size(), store);
  }
  if (!verdict.unusable.empty()) {
    UseBuiltIn(path, verdict.unusable, store);
  } else if (!verdict.skipped.empty()) {
    SayOnce("skinshell: the skin file " + platform::NativePath(path) +
            " has keys the frame skips (pictures that do not decode, values that do not "
            "convert): " + Joined(verdict.skipped));
  }
}

}  // namespace skin
