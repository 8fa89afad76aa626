// Reading black-1 as one caption composition does: the file read, the parse,
// and every picture the composition loads into a surface.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/File.h"
#include "skin/SkinFile.h"
#include "skin/FrameSkins.h"
#include "skin/builtin/BuiltInSkins.h"
#include "skin/clsBitmap.h"

namespace {

const std::string BlackOne = SKINSHELL_DIST_DIR "/stype/black-1.jss";

// The pictures of one composition with the window in its normal state.
constexpr const char* CaptionPictures[] = {"TOPLEFT", "TOPMID", "TOPRIGHT", "CLOSE",
                                           "MAX",     "MIN",    "ONTOP1"};

void FileSize(benchmark::State& state, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  platform::ReadWholeFile(path, bytes);
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void BM_SkinFileReadOnly(benchmark::State& state) {
  std::vector<std::uint8_t> bytes;
  for (auto _ : state) {
    bytes.clear();
    benchmark::DoNotOptimize(platform::ReadWholeFile(BlackOne, bytes));
  }
  FileSize(state, BlackOne);
}
BENCHMARK(BM_SkinFileReadOnly);

void BM_SkinFileReadAndParse(benchmark::State& state) {
  for (auto _ : state) {
    host::PropertyBag store;
    skin::ReadSkinFile(BlackOne, store);
    benchmark::DoNotOptimize(store.Entries().size());
  }
  FileSize(state, BlackOne);
}
BENCHMARK(BM_SkinFileReadAndParse);

// The same as the frame controls read it: with the check for a usable skin,
// which runs again only when the file changes, and the file itself read
// only while it is new.
void BM_FrameSkinRead(benchmark::State& state) {
  skin::FrameSkins skins(skin::BuiltInSkins());
  for (auto _ : state) {
    host::PropertyBag store;
    skins.Read(BlackOne, store);
    benchmark::DoNotOptimize(store.Entries().size());
  }
  FileSize(state, BlackOne);
}
BENCHMARK(BM_FrameSkinRead);

void BM_SkinCaptionLoad(benchmark::State& state) {
  for (auto _ : state) {
    host::PropertyBag store;
    skin::ReadSkinFile(BlackOne, store);
    clsBitmap surfaces[std::size(CaptionPictures)];
    for (std::size_t i = 0; i < std::size(CaptionPictures); ++i) {
      surfaces[i].LoadResource(skin::Picture(store, CaptionPictures[i]));
    }
    for (const char* key :
         {"XOFFSET", "XOFFSET2", "YOFFSET", "FROMRIGHT", "FROMTOP", "ICONSPACE"}) {
      benchmark::DoNotOptimize(skin::Number(store, key));
    }
    for (const char* key : {"FORECOLOR", "BackColor", "PARENTBACKCOLOR"}) {
      benchmark::DoNotOptimize(skin::Colour(store, key));
    }
    benchmark::DoNotOptimize(surfaces[0].hdc());
  }
  FileSize(state, BlackOne);
}
BENCHMARK(BM_SkinCaptionLoad);

// The pictures alone, from a store already parsed.
void BM_SkinCaptionPicturesOnly(benchmark::State& state) {
  host::PropertyBag store;
  skin::ReadSkinFile(BlackOne, store);
  for (auto _ : state) {
    clsBitmap surfaces[std::size(CaptionPictures)];
    for (std::size_t i = 0; i < std::size(CaptionPictures); ++i) {
      surfaces[i].LoadResource(skin::Picture(store, CaptionPictures[i]));
    }
    benchmark::DoNotOptimize(surfaces[0].hdc());
  }
}
BENCHMARK(BM_SkinCaptionPicturesOnly);

}  // namespace
