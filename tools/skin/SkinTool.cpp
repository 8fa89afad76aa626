#include "tools/skin/SkinTool.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

#include "host/Files.h"
#include "platform/File.h"
#include "platform/FolderChanges.h"
#include "platform/NoCase.h"
#include "platform/gdi/Gdi.h"
#include "tools/skin/SkinArt.h"
#include "tools/skin/SkinCheck.h"
#include "tools/skin/SkinFolder.h"
#include "tools/skin/SkinPreview.h"

namespace fs = std::filesystem;

namespace skintool {

namespace {

constexpr int DefaultPreviewWidth = 480;

const char* const Usage =
    "usage: skinshell-skin COMMAND ...\n"
    "  pack DIR OUT.jss           pack a folder of KEY.png/KEY.bmp pictures and skin.ini\n"
    "  pack --watch DIR OUT.jss   pack, then pack again whenever a picture or skin.ini\n"
    "                             in DIR changes, until stopped\n"
    "  unpack IN.jss DIR          write a skin's pictures and values into a new folder\n"
    "  inspect IN.jss             list a skin's entries and what the frame misses in it\n"
    "  preview IN.jss... OUT.png [WIDTH]\n"
    "                             draw the frame of each skin, one under the other\n"
    "  generate NAME DIR          draw the sources of a shipped skin (black-1, black-2)\n";

int Report(const Messages& messages, std::ostream& err) {
  for (const std::string& w : messages.warnings) err << "warning: " << w << "\n";
  for (const std::string& e : messages.errors) err << "error: " << e << "\n";
  return messages.Ok() ? 0 : 1;
}

bool ReadSkin(const std::string& in, host::PropertyBag& skin, std::vector<std::uint8_t>& bytes,
              std::ostream& err) {
  if (!platform::ReadWholeFile(in, bytes)) {
    err << "error: " << in << ": cannot be read\n";
    return false;
  }
  const std::string reason = LoadSkinWithReason(bytes, skin);
  if (!reason.empty()) {
    err << "error: " << in << ": " << reason << "\n";
    return false;
  }
  return true;
}

// Whether a and b name one file, through links and relative paths; a path
// that does not exist yet is compared by its resolved form.
bool SamePath(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(FsPath(a), FsPath(b), ec)) return true;
  const fs::path resolvedA = fs::weakly_canonical(FsPath(a), ec);
  if (ec) return false;
  const fs::path resolvedB = fs::weakly_canonical(FsPath(b), ec);
  return !ec && resolvedA == resolvedB;
}

// Why packing the folder unpacked from file would not give file back: an
// empty string when no cause is known, nullopt when it would give it back.
std::optional<std::string> RepackDifference(const std::vector<std::uint8_t>& file,
                                            const host::PropertyBag& skin, const std::string& dir) {
  Messages again;
  std::vector<std::uint8_t> contents;
  if (!PackFolder(dir, contents, again)) {
    std::string errors;
    for (const std::string& e : again.errors) errors += (errors.empty() ? "" : "; ") + e;
    return "the folder does not pack (" + errors + ")";
  }
  if (host::MakeByteArrayRecord(contents) == file) return std::nullopt;

  std::vector<std::string> causes;
  std::size_t recordSize = 0;
  const std::uint8_t* record = host::ByteArrayRecord(file.data(), file.size(), recordSize);
  const std::size_t recordEnd = static_cast<std::size_t>(record - file.data()) + recordSize;
  if (recordEnd < file.size()) {
    causes.push_back(std::to_string(file.size() - recordEnd) + " bytes after the skin's record");
  }
  host::PropertyBag packed;
  packed.LoadContents(contents.data(), contents.size());
  const std::vector<host::PropertyBag::Entry>& now = packed.Entries();
  if (now.size() < skin.Entries().size()) {
    causes.push_back(std::to_string(skin.Entries().size() - now.size()) +
                     " entries left out (see above)");
  }
  // The first entry of each name, as the readers see the file.
  std::vector<std::string> kept;
  std::string respelled;
  for (const host::PropertyBag::Entry& entry : skin.Entries()) {
    const auto match = std::find_if(now.begin(), now.end(),
                                    [&](const auto& e) { return platform::EqualNoCase(e.name, entry.name); });
    const bool seen = std::any_of(kept.begin(), kept.end(),
                                  [&](const std::string& k) { return platform::EqualNoCase(k, entry.name); });
    if (match == now.end() || seen) continue;
    kept.push_back(entry.name);
    if (match->name != entry.name) {
      respelled += (respelled.empty() ? "" : ", ") + Printable(entry.name) + " as " + match->name;
    }
  }
  if (!respelled.empty()) {
    causes.push_back("names stored in the spelling pack uses (" + respelled + ")");
  }
  const bool reordered =
      kept.size() == now.size() &&
      !std::equal(kept.begin(), kept.end(), now.begin(),
                  [](const std::string& k, const auto& e) { return platform::EqualNoCase(k, e.name); });
  if (reordered) causes.push_back("its entries are not in the order pack writes");
  std::string text;
  for (const std::string& c : causes) text += (text.empty() ? "" : "; ") + c;
  return text;
}

}  // namespace

int Pack(const std::string& dir, const std::string& out, std::ostream& info, std::ostream& err) {
  Messages messages;
  std::vector<std::uint8_t> contents;
  if (!PackFolder(dir, contents, messages)) {
    Report(messages, err);
    err << "error: nothing written\n";
    return 1;
  }
  const std::vector<std::uint8_t> file = host::MakeByteArrayRecord(contents);
  std::string error;
  if (!platform::WriteFileAtomic(out, file.data(), file.size(), &error)) {
    messages.errors.push_back(out + ": " + error);
    return Report(messages, err);
  }
  info << out << ": " << file.size() << " bytes\n";
  return Report(messages, err);
}

static bool IsSkinSource(const std::string& name) {
  if (name == "skin.ini") return true;
  const std::string_view extension =
      name.size() > 4 ? std::string_view(name).substr(name.size() - 4) : std::string_view();
  return platform::EqualNoCase(extension, ".png") || platform::EqualNoCase(extension, ".bmp");
}

int PackWatch(const std::string& dir, const std::string& out, std::ostream& info,
              std::ostream& err) {
  // Watching starts before the first pack, so that no save between the two
  // is missed.
  platform::FolderChanges changes(dir);
  if (!changes.Ok()) {
    err << "error: cannot watch " << dir << "\n";
    return 1;
  }
  // A pack that fails (a picture half saved, a bad value) is reported and
  // the watch goes on: the next save may mend it, and the old skin file
  // stays whole meanwhile.
  Pack(dir, out, info, err);
  info.flush();
  err.flush();
  for (;;) {
    // Long enough to take an editor's save (temporary file, rename) as one.
    constexpr int QuietMs = 30;
    const std::vector<std::string> names = changes.Wait(QuietMs);
    if (names.empty()) {
      err << "error: " << dir << " has gone\n";
      return 1;
    }
    if (std::none_of(names.begin(), names.end(), IsSkinSource)) continue;
    Pack(dir, out, info, err);
    info.flush();
    err.flush();
  }
}

int Unpack(const std::string& in, const std::string& dir, std::ostream& info, std::ostream& err) {
  host::PropertyBag skin;
  std::vector<std::uint8_t> bytes;
  if (!ReadSkin(in, skin, bytes, err)) return 1;
  Messages messages;
  if (UnpackToFolder(skin, dir, messages)) {
    if (const std::optional<std::string> reason = RepackDifference(bytes, skin, dir)) {
      messages.warnings.push_back("packing " + dir + " again would not give the same bytes as " +
                                  in + (reason->empty() ? "" : ": " + *reason));
    }
    info << dir << ": " << skin.Entries().size() << " entries\n";
  }
  return Report(messages, err);
}

int Inspect(const std::string& in, std::ostream& info, std::ostream& err) {
  host::PropertyBag skin;
  std::vector<std::uint8_t> bytes;
  if (!ReadSkin(in, skin, bytes, err)) return 1;
  info << in << ": " << bytes.size() << " bytes, " << skin.Entries().size() << " entries\n";
  for (const std::string& line : DescribeEntries(skin)) info << "  " << line << "\n";
  const std::vector<std::string> warnings = CheckSkin(skin);
  for (const std::string& w : warnings) info << "warning: " << w << "\n";
  if (warnings.empty()) info << "no warnings\n";
  const std::vector<std::string> errors = SkinErrors(skin);
  for (const std::string& e : errors) err << "error: " << in << ": " << e << "\n";
  return errors.empty() ? 0 : 1;
}

int Preview(const std::vector<std::string>& inputs, const std::string& out, int width,
            std::ostream& info, std::ostream& err) {
  // A forgotten OUT would make the last skin the picture's path and
  // overwrite it, so OUT must say it is a PNG and be none of the inputs.
  const std::string extension = Utf8(FsPath(out).extension());
  if (!platform::EqualNoCase(extension, ".png")) {
    err << "error: " << out << ": the picture to write must end in .png; nothing written\n";
    return 1;
  }
  for (const std::string& in : inputs) {
    if (SamePath(in, out)) {
      err << "error: " << out << ": is also a skin to draw; nothing written\n";
      return 1;
    }
  }
  // What the frame controls' reader says is what the program would say on
  // stderr about the file.
  const auto warn = [&](const std::string& line) {
    constexpr std::string_view program = "skinshell: ";
    err << "warning: " << (line.starts_with(program) ? line.substr(program.size()) : line)
        << "\n";
  };
  std::vector<gdi::Surface> previews;
  for (const std::string& in : inputs) {
    host::PropertyBag skin;
    std::vector<std::uint8_t> bytes;
    if (!ReadSkin(in, skin, bytes, err)) return 1;
    previews.push_back(RenderPreview(in, skin, width, warn));
  }
  const gdi::Surface picture =
      previews.size() == 1 ? std::move(previews[0]) : StackPreviews(previews);
  if (!gdi::WritePng(picture, out)) {
    err << "error: " << out << ": cannot be written\n";
    return 1;
  }
  info << out << ": " << picture.width << "x" << picture.height << "\n";
  return 0;
}

int Generate(const std::string& name, const std::string& dir, std::ostream& info,
             std::ostream& err) {
  SkinArt art;
  if (!DrawSkinArt(name, art)) {
    err << "error: no drawing for a skin named '" << name << "' (black-1, black-2)\n";
    return 1;
  }
  Messages messages;
  if (WriteSkinArt(art, dir, messages)) {
    info << dir << ": " << art.pictures.size() << " pictures and skin.ini\n";
  }
  return Report(messages, err);
}

int Run(const std::vector<std::string>& args, std::ostream& info, std::ostream& err) {
  const std::string command = args.empty() ? "" : args[0];
  const std::size_t n = args.size();
  if (command == "pack" && n == 3) return Pack(args[1], args[2], info, err);
  if (command == "pack" && n == 4 && args[1] == "--watch") {
    return PackWatch(args[2], args[3], info, err);
  }
  if (command == "unpack" && n == 3) return Unpack(args[1], args[2], info, err);
  if (command == "inspect" && n == 2) return Inspect(args[1], info, err);
  if (command == "generate" && n == 3) return Generate(args[1], args[2], info, err);
  if (command == "preview" && n >= 3) {
    std::vector<std::string> rest(args.begin() + 1, args.end());
    int width = DefaultPreviewWidth;
    const std::optional<std::int32_t> parsed = ParseValue(rest.back());
    if (parsed && rest.size() >= 3) {
      if (*parsed < 64 || *parsed > 4096) {
        err << "error: the width must lie in 64..4096 pixels\n";
        return 1;
      }
      width = *parsed;
      rest.pop_back();
    }
    const std::string out = rest.back();
    rest.pop_back();
    if (!rest.empty()) return Preview(rest, out, width, info, err);
  }
  err << Usage;
  return 2;
}

}  // namespace skintool
