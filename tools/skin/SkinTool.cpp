#include "tools/skin/SkinTool.h"

#include <ostream>

#include "host/Files.h"
#include "platform/File.h"
#include "platform/gdi/Gdi.h"
#include "tools/skin/SkinArt.h"
#include "tools/skin/SkinCheck.h"
#include "tools/skin/SkinFolder.h"
#include "tools/skin/SkinPreview.h"

namespace skintool {

namespace {

constexpr int DefaultPreviewWidth = 480;

const char* const Usage =
    "usage: skinshell-skin COMMAND ...\n"
    "  pack DIR OUT.jss           pack a folder of KEY.png/KEY.bmp pictures and skin.ini\n"
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

int Unpack(const std::string& in, const std::string& dir, std::ostream& info, std::ostream& err) {
  host::PropertyBag skin;
  std::vector<std::uint8_t> bytes;
  if (!ReadSkin(in, skin, bytes, err)) return 1;
  Messages messages;
  if (UnpackToFolder(skin, dir, messages)) {
    // Say so when packing the folder again would not give this very file:
    // entries in another order, left out, or bytes after the record.
    Messages again;
    std::vector<std::uint8_t> contents;
    if (!PackFolder(dir, contents, again) || host::MakeByteArrayRecord(contents) != bytes) {
      messages.warnings.push_back("packing " + dir + " again gives a file that differs from " + in +
                                  " (its entries are not in the order pack writes)");
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
  return 0;
}

int Preview(const std::vector<std::string>& inputs, const std::string& out, int width,
            std::ostream& info, std::ostream& err) {
  std::vector<gdi::Surface> previews;
  for (const std::string& in : inputs) {
    host::PropertyBag skin;
    std::vector<std::uint8_t> bytes;
    if (!ReadSkin(in, skin, bytes, err)) return 1;
    previews.push_back(RenderPreview(skin, width));
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
