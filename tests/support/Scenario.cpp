#include "tests/support/Scenario.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "host/App.h"

namespace fs = std::filesystem;

namespace test {

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

TempFolder::TempFolder(const std::string& prefix) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate =
        fs::temp_directory_path() / PathOf(prefix + "-" + std::to_string(random() % 100000000));
    std::error_code error;
    if (fs::create_directories(candidate, error)) {
      path_ = Utf8Of(candidate);
      return;
    }
  }
  ADD_FAILURE() << "cannot make a temporary folder";
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code error;
  // Tests make folders read-only; give the owner back write access first.
  for (auto it = fs::recursive_directory_iterator(PathOf(path_), error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
  }
  fs::remove_all(PathOf(path_), error);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(PathOf(path), error);
}

void CopyTree(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::create_directories(PathOf(to), error);
  fs::copy(PathOf(from), PathOf(to),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
  // A program folder that has been run holds the marker and placement of
  // that run; a copy for a test starts as a fresh installation.
  for (const char* state : {"installation.lock", "size.ini", "html/installation.lock",
                            "html/size.ini"}) {
    fs::remove(PathOf(to) / state, error);
  }
}

std::string DistFolder() { return SKINSHELL_DIST_DIR; }
std::string SourceFolder() { return SKINSHELL_SOURCE_DIR; }

HeadlessTest::HeadlessTest() { platform::UseDesktop(&desktop); }
HeadlessTest::~HeadlessTest() { platform::UseDesktop(nullptr); }

ProgramFolder::ProgramFolder(const std::string& prefix, bool withPages, bool withSkins)
    : folder_(prefix) {
  if (withPages) CopyTree(DistFolder() + "/html", folder_ / "html");
  if (withSkins) CopyTree(DistFolder() + "/stype", folder_ / "stype");
  host::App::Path(folder_.Path());
}

ProgramFolder::~ProgramFolder() { host::App::Path(""); }

std::uint32_t ColorAt(const gdi::Surface& pixels, int x, int y) {
  const std::uint32_t argb = pixels.At(x, y);
  return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
}

}  // namespace test
