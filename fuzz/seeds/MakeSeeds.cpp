// Writes the fuzz targets' seed corpora from what the project ships: the
// skins' pictures re-encoded in every BMP layout a file may use, the skins'
// property bags and the frame controls' designed settings, and placement
// files in the shapes the program meets. A fuzzer that starts from bytes
// alone spends its time failing the first header check.
//
//   make_fuzz_seeds OUT_DIR SKIN_FOLDER...
//
// OUT_DIR/<target>/ is emptied and refilled, so seeds of a removed skin or
// layout do not linger.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/TestOCX_new.h"
#include "host/Files.h"
#include "host/PropertyBag.h"
#include "platform/gdi/Gdi.h"
#include "tools/skin/SkinFolder.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// One way of writing a picture as a BMP file.
struct Layout {
  const char* name;
  int bits;
  bool topDown;
  std::uint32_t infoSize;
  bool bitfields;  // 32-bit with explicit masks
};

constexpr Layout Layouts[] = {
    {"1bit", 1, false, 40, false},          {"1bit-topdown", 1, true, 40, false},
    {"4bit", 4, false, 40, false},          {"4bit-topdown", 4, true, 40, false},
    {"8bit", 8, false, 40, false},          {"8bit-topdown", 8, true, 40, false},
    {"24bit", 24, false, 40, false},        {"24bit-topdown", 24, true, 40, false},
    {"24bit-v5", 24, false, 124, false},    {"32bit", 32, false, 40, false},
    {"32bit-topdown", 32, true, 40, false}, {"32bit-masks", 32, false, 40, true},
    {"32bit-v3", 32, false, 56, true},      {"32bit-v4-topdown", 32, true, 108, true},
    {"32bit-v5", 32, false, 124, true},
};

void Put(Bytes& out, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

int Distance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

// The first colours met, up to the palette's size; the rest map to the
// nearest of them. Frame pieces hold few colours, so little is lost.
std::vector<std::uint32_t> Palette(const gdi::Surface& pixels, std::size_t size) {
  std::vector<std::uint32_t> palette;
  for (std::uint32_t p : pixels.pixels) {
    p &= 0x00FFFFFFu;
    if (palette.size() < size && std::find(palette.begin(), palette.end(), p) == palette.end()) {
      palette.push_back(p);
    }
  }
  if (palette.empty()) palette.push_back(0);
  return palette;
}

std::uint32_t Index(const std::vector<std::uint32_t>& palette, std::uint32_t pixel) {
  std::uint32_t best = 0;
  for (std::uint32_t i = 1; i < palette.size(); ++i) {
    if (Distance(palette[i], pixel) < Distance(palette[best], pixel)) best = i;
  }
  return best;
}

Bytes EncodeBmp(const gdi::Surface& pixels, const Layout& layout) {
  const int bits = layout.bits;
  const std::uint32_t stride = (static_cast<std::uint32_t>(pixels.width) * bits + 31) / 32 * 4;
  const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(pixels.height);
  std::vector<std::uint32_t> palette;
  if (bits <= 8) palette = Palette(pixels, std::size_t{1} << bits);
  // Masks follow a plain 40-byte header; the larger headers hold them.
  const std::uint32_t extraMasks = layout.bitfields && layout.infoSize == 40 ? 12 : 0;
  const std::uint32_t offset =
      14 + layout.infoSize + extraMasks + static_cast<std::uint32_t>(palette.size()) * 4;

  Bytes out;
  out.push_back('B');
  out.push_back('M');
  Put(out, offset + imageBytes, 4);
  Put(out, 0, 4);
  Put(out, offset, 4);
  Put(out, layout.infoSize, 4);
  Put(out, static_cast<std::uint32_t>(pixels.width), 4);
  Put(out, static_cast<std::uint32_t>(layout.topDown ? -pixels.height : pixels.height), 4);
  Put(out, 1, 2);
  Put(out, static_cast<std::uint32_t>(bits), 2);
  Put(out, layout.bitfields ? 3 : 0, 4);
  Put(out, imageBytes, 4);
  Put(out, 3780, 4);
  Put(out, 3780, 4);
  Put(out, static_cast<std::uint32_t>(palette.size()), 4);
  Put(out, 0, 4);
  if (layout.infoSize > 40) {
    // Red, green, blue and alpha masks, then the colour-space fields left at
    // zero ("calibrated RGB" with no end points, which nothing reads).
    const std::uint32_t masks[] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
    const std::size_t count = layout.infoSize == 52 ? 3 : 4;
    for (std::size_t i = 0; i < count; ++i)
      Put(out, layout.bitfields || bits == 32 ? masks[i] : 0, 4);
    out.resize(14 + layout.infoSize, 0);
  }
  if (extraMasks != 0) {
    Put(out, 0x00FF0000u, 4);
    Put(out, 0x0000FF00u, 4);
    Put(out, 0x000000FFu, 4);
  }
  for (std::uint32_t colour : palette) Put(out, colour, 4);
  for (int row = 0; row < pixels.height; ++row) {
    const int y = layout.topDown ? row : pixels.height - 1 - row;
    const std::uint32_t* src = pixels.Row(y);
    const std::size_t start = out.size();
    if (bits <= 8) {
      std::uint32_t accumulator = 0;
      int filled = 0;
      for (int x = 0; x < pixels.width; ++x) {
        accumulator = accumulator << bits | Index(palette, src[x] & 0x00FFFFFFu);
        filled += bits;
        if (filled == 8) {
          out.push_back(static_cast<std::uint8_t>(accumulator));
          accumulator = 0;
          filled = 0;
        }
      }
      if (filled != 0) out.push_back(static_cast<std::uint8_t>(accumulator << (8 - filled)));
    } else {
      for (int x = 0; x < pixels.width; ++x) Put(out, src[x], bits / 8);
    }
    out.resize(start + stride, 0);
  }
  return out;
}

// Pictures of every width modulo four need every amount of row padding.
gdi::Surface Cropped(const gdi::Surface& pixels, int width) {
  gdi::Surface out(width, pixels.height);
  gdi::CopyRect(out, 0, 0, width, pixels.height, pixels, 0, 0);
  return out;
}

class SeedWriter {
 public:
  explicit SeedWriter(fs::path root) : root_(std::move(root)) {}

  bool Start(const std::string& target) {
    std::error_code ec;
    fs::remove_all(root_ / target, ec);
    return fs::create_directories(root_ / target, ec) || fs::is_directory(root_ / target);
  }

  void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
    std::ofstream file(root_ / target / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) failed_ = true;
  }
  void Write(const std::string& target, const std::string& name, std::string_view text) {
    Write(target, name, Bytes(text.begin(), text.end()));
  }

  void Fail(const std::string& what) {
    std::fprintf(stderr, "make_fuzz_seeds: %s does not decode as made\n", what.c_str());
    failed_ = true;
  }
  bool Failed() const { return failed_; }

 private:
  fs::path root_;
  bool failed_ = false;
};

// A seed the decoder refuses only tests the header checks again: the layouts
// it reads must give back the picture.
bool SameColours(const Bytes& bmp, const gdi::Surface& pixels) {
  gdi::Surface decoded;
  if (!gdi::DecodeBmp(bmp.data(), bmp.size(), decoded) || decoded.width != pixels.width ||
      decoded.height != pixels.height) {
    return false;
  }
  for (std::size_t i = 0; i < pixels.pixels.size(); ++i) {
    if ((decoded.pixels[i] ^ pixels.pixels[i]) & 0x00FFFFFFu) return false;
  }
  return true;
}

// The same skin with every picture in one layout.
Bytes Reencoded(const host::PropertyBag& skin, const Layout& layout) {
  host::PropertyBag copy;
  for (const host::PropertyBag::Entry& entry : skin.Entries()) {
    gdi::Surface pixels;
    if (entry.value.kind == host::PropertyValue::Kind::Picture &&
        gdi::DecodeBmp(entry.value.bmp.data(), entry.value.bmp.size(), pixels)) {
      copy.WriteProperty(entry.name, host::PropertyValue::Picture(EncodeBmp(pixels, layout)));
    } else {
      copy.WriteProperty(entry.name, entry.value);
    }
  }
  return copy.Contents();
}

void SkinSeeds(SeedWriter& out, const std::string& name, const host::PropertyBag& skin) {
  const Bytes contents = skin.Contents();
  out.Write("fuzz_property_bag", name + ".bag", contents);
  out.Write("fuzz_skin", name + ".jss", host::MakeByteArrayRecord(contents));
  for (const Layout& layout : Layouts) {
    out.Write("fuzz_skin", name + "-" + layout.name + ".jss",
              host::MakeByteArrayRecord(Reencoded(skin, layout)));
  }

  for (const host::PropertyBag::Entry& entry : skin.Entries()) {
    gdi::Surface pixels;
    if (entry.value.kind != host::PropertyValue::Kind::Picture ||
        !gdi::DecodeBmp(entry.value.bmp.data(), entry.value.bmp.size(), pixels)) {
      continue;
    }
    const std::string stem = name + "-" + entry.name + "-";
    for (const Layout& layout : Layouts) {
      const Bytes bmp = EncodeBmp(pixels, layout);
      if (layout.bits >= 24 && !SameColours(bmp, pixels)) out.Fail(stem + layout.name);
      out.Write("fuzz_bmp", stem + layout.name + ".bmp", bmp);
    }
    for (int width = pixels.width - 1; width > 0 && width >= pixels.width - 3; --width) {
      const gdi::Surface narrower = Cropped(pixels, width);
      for (const Layout& layout : {Layouts[2], Layouts[6]}) {  // 4 and 24 bits
        out.Write("fuzz_bmp", stem + std::to_string(width) + "wide-" + layout.name + ".bmp",
                  EncodeBmp(narrower, layout));
      }
    }
  }
}

void SettingsSeeds(SeedWriter& out) {
  for (const char* control : {"JSBORDER1", "JSBORDER2", "JSBORDER3", "JSCAPTION1"}) {
    out.Write("fuzz_property_bag", std::string(control) + ".bag",
              TestOCX_new::DesignedSettings(control).Contents());
  }
  // A caption's settings as its control saves them after changes: every
  // kind of value, a font with every flag, and text in UTF-8.
  host::PropertyBag saved = TestOCX_new::DesignedSettings("JSCAPTION1");
  host::Font font;
  font.Name = "DejaVu Sans";
  font.Size = 10.5;
  font.Weight = 700;
  font.Italic = font.Underline = font.Strikethrough = true;
  saved.WriteProperty("Font", host::PropertyValue::Of(font));
  saved.WriteProperty("Path", host::PropertyValue::Of(std::string("C:\\app\\stype\\black-1.jss")));
  saved.WriteProperty("Movable", host::PropertyValue::Of(0));
  saved.WriteProperty("ONTOP", host::PropertyValue::Of(-1));
  saved.WriteProperty("Caption", host::PropertyValue::Of(std::string("Fenêtre 窗口")));
  saved.WriteProperty("ForeColor", host::PropertyValue::Of(static_cast<std::int32_t>(0x80000012u)));
  out.Write("fuzz_property_bag", "JSCAPTION1-saved.bag", saved.Contents());
}

// The profile target takes a section, key and value, each a length byte
// (modulo 16) and its characters, before the text.
std::string ProfileInput(std::string_view section, std::string_view key, std::string_view value,
                         std::string_view text) {
  std::string input;
  for (std::string_view field : {section, key, value}) {
    input += static_cast<char>(field.size());
    input += field;
  }
  input += text;
  return input;
}

// Little-endian UTF-16 with its byte order mark, as Windows editors save.
std::string Utf16(std::string_view ascii) {
  std::string text = "\xff\xfe";
  for (char c : ascii) {
    text += c;
    text += '\0';
  }
  return text;
}

void ProfileSeeds(SeedWriter& out) {
  using namespace std::string_literals;
  const std::map<std::string, std::string> texts = {
      {"empty", ""},
      {"crlf", "[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n"},
      {"lf", "[mainwin]\nTestOCX_new=1200,2400,8400,13170\n"},
      {"no-final-newline", "[mainwin]\r\nTestOCX_new=1200,2400,8400,13170"},
      {"comments", "; placement\r\n[mainwin]\r\n# old\r\nTestOCX_new = 1200, 2400 ; note\r\n"},
      {"sections",
       "[other]\r\nB=1\r\n[mainwin]\r\nA=1\r\nTestOCX_new=0,0,13170,8400\r\n\r\n[last]\r\nz=9"},
      {"repeated", "[MainWin]\nTestOCX_New=first\ntestocx_new=second\n[mainwin]\nlater=x\n"},
      {"quotes", "[mainwin]\nTestOCX_new=\"quoted value\"\nsingle='x'\nlone=\"\nequals=a=b\n"},
      {"blanks", "  [ mainwin ]  \n\t TestOCX_new \t=\t 1,2,3,4 \t\n"},
      {"open-header", "[mainwin  \nTestOCX_new=1\n[a] trailing words\nk=2\n[t\r"},
      {"mixed-endings", "[s]\r\nk=v\r\r\nj=w\nlast=end\r[mainwin]\nA=1\r\n"},
      {"utf8-bom", "\xef\xbb\xbf[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n"},
      {"utf16-bom", Utf16("[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n")},
      {"binary", "\x7f\x00\xff[s]\x00k=\x01\n"s},
  };
  for (const auto& [shape, text] : texts) {
    out.Write("fuzz_profile", shape + "-replace",
              ProfileInput("mainwin", "TestOCX_new", "1,2,3,4", text));
    out.Write("fuzz_profile", shape + "-add", ProfileInput("mainwin", "Added", "\"q\" ", text));
    out.Write("fuzz_profile", shape + "-new-section", ProfileInput("new", "k", "v", text));
  }
}

// Stored placement values as the program writes them and as hands edit them.
void PlacementSeeds(SeedWriter& out) {
  const std::map<std::string, std::string> values = {
      {"written", "1200,2400,8400,13170"},
      {"negative", "-300,-15000,8400.4,13170.6"},
      {"exponent", "1.234568E+07,0,15,15"},
      {"blanks", " 1200 ,\t2400, 8400 ,13170"},
      {"one-field", "1200"},
      {"five-fields", "1,2,3,4,5"},
      {"empty-field", "1200,,8400,13170"},
      {"words", "top,left,height,width"},
  };
  for (const auto& [name, value] : values) out.Write("fuzz_placement", name, value);
}

// The page rule's input: a byte choosing the view and the request (bit 0
// the sound view, bits 1-2 navigation, new window, download; bit 4 puts the
// URL under the made-up program's html folder), then the URL.
void PageSeeds(SeedWriter& out) {
  struct Seed {
    const char* name;
    char mode;
    const char* url;
  };
  const Seed seeds[] = {
      {"index", 0x10, "index.html"},
      {"first-run", 0x10, "index.html?installation=y"},
      {"sound", 0x11, "sound.html"},
      {"escape", 0x10, "sub/../../../etc/passwd"},
      {"link-out", 0x10, "link/doc.pdf"},
      {"missing", 0x10, "missing.html#top"},
      {"window", 0x12, "index.html"},
      {"download", 0x14, "file.zip"},
      {"http", 0, "http://user@example.org:8080/a?b=c#d"},
      {"upper-https", 2, "HTTPS://[::1]/"},
      {"mailto", 0, "mailto:someone@example.org"},
      {"tel", 4, "tel:+4930123"},
      {"javascript", 0, "javascript:void(0)"},
      {"about-blank", 2, "about:blank"},
      {"data", 0, "data:text/html,<b>x</b>"},
      {"blob", 4, "blob:file:///prog/html/x"},
      {"unc", 0, "\\\\server\\share\\doc.pdf"},
      {"drive", 0, "C:\\prog\\html\\index.html?installation=y"},
      {"remote-file", 0, "file://server/share/doc.pdf"},
      {"localhost", 0, "FILE://LocalHost/prog/html/index.html"},
  };
  for (const Seed& seed : seeds) {
    out.Write("fuzz_page_policy", seed.name, std::string(1, seed.mode) + seed.url);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_fuzz_seeds OUT_DIR SKIN_FOLDER...\n");
    return 2;
  }
  SeedWriter out{fs::path(argv[1])};
  for (const char* target : {"fuzz_bmp", "fuzz_page_policy", "fuzz_placement", "fuzz_profile",
                             "fuzz_property_bag", "fuzz_skin"}) {
    if (!out.Start(target)) {
      std::fprintf(stderr, "make_fuzz_seeds: cannot make %s/%s\n", argv[1], target);
      return 1;
    }
  }
  for (int i = 2; i < argc; ++i) {
    const fs::path folder(argv[i]);
    Bytes contents;
    skintool::Messages messages;
    host::PropertyBag skin;
    if (!skintool::PackFolder(folder.string(), contents, messages) ||
        !skin.LoadContents(contents.data(), contents.size())) {
      std::fprintf(stderr, "make_fuzz_seeds: cannot pack the skin in %s\n", argv[i]);
      return 1;
    }
    SkinSeeds(out, folder.filename().string(), skin);
  }
  SettingsSeeds(out);
  ProfileSeeds(out);
  PlacementSeeds(out);
  PageSeeds(out);
  if (out.Failed()) {
    std::fprintf(stderr, "make_fuzz_seeds: the seeds under %s are incomplete\n", argv[1]);
    return 1;
  }
  return 0;
}
