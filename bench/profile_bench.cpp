// The cost of one placement read: open, read and parse a small profile file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32.h"

namespace {

std::string TwentyLineProfile() {
  std::string text = "; window placement\r\n[recent]\r\n";
  for (int i = 0; i < 9; ++i) text += "file" + std::to_string(i) + "=C:\\pages\\page.html\r\n";
  text += "\r\n[mainwin]\r\n";
  for (int i = 0; i < 6; ++i) text += "Other" + std::to_string(i) + "=0,0,100,100\r\n";
  text += "TestOCX_new=1200,2400,8400,13170\r\n";
  return text;  // 20 lines, the key asked for on the last one
}

void GetPrivateProfileStringOnATwentyLineFile(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "skinshell-profile-bench.ini").string();
  std::ofstream(path, std::ios::binary) << TwentyLineProfile();
  char buffer[256];
  for (auto _ : state) {
    DWORD n =
        GetPrivateProfileStringA("mainwin", "TestOCX_new", "", buffer, sizeof buffer, path.c_str());
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(buffer);
  }
  std::remove(path.c_str());
}
BENCHMARK(GetPrivateProfileStringOnATwentyLineFile);

}  // namespace
