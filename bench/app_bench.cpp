// The main window's resize handling: one size change in the normal state at
// 1280 x 800 pixels with everything it causes (every composition, skin read,
// outline and browser placement, nested runs included), and a maximize by
// the window manager taken over onto the work area, end to end.
#include <benchmark/benchmark.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "app/TestOCX_new.h"
#include "host/App.h"
#include "host/Files.h"
#include "platform/headless/HeadlessDesktop.h"

namespace {

namespace fs = std::filesystem;

// A program folder of its own, so that the first-run marker and the
// placement never land in the build's.
class BenchFolder {
 public:
  BenchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("skinshell-bench-" + std::to_string(random()));
    std::error_code ignored;
    fs::create_directories(path_ / "html", ignored);
    fs::copy(SKINSHELL_DIST_DIR "/stype", path_ / "stype", fs::copy_options::recursive, ignored);
    host::App::Path(path_.string());
  }
  ~BenchFolder() {
    host::App::Path("");
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string Stype() const { return (path_ / "stype").string(); }

 private:
  fs::path path_;
};

// Counts the opens of files in one folder while it lives.
class OpenCounter {
 public:
  explicit OpenCounter(const std::string& folder) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // Closes are watched too: the queue merges an event into an identical
    // one still unread, so back-to-back opens would count once.
    if (fd_ >= 0) inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_CLOSE_NOWRITE);
  }
  ~OpenCounter() {
    if (fd_ >= 0) ::close(fd_);
  }
  // Opens since the last call; -1 when the folder cannot be watched.
  int Take() {
    if (fd_ < 0) return -1;
    int count = 0;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      for (char* p = buffer; p < buffer + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(p);
        if (event->mask & IN_OPEN) ++count;
        p += sizeof(inotify_event) + event->len;
      }
    }
    return count;
  }

 private:
  int fd_ = -1;
};

bool SkinsPacked(benchmark::State& state) {
  if (host::FileExists(SKINSHELL_DIST_DIR "/stype/black-1.jss")) return true;
  state.SkipWithError("the shipped skins are not packed: build the dist_skins target");
  return false;
}

void BM_MainWindowResizeNormal1280x800(benchmark::State& state) {
  if (!SkinsPacked(state)) return;
  platform::HeadlessDesktop desktop(1920, 1080);
  platform::UseDesktop(&desktop);
  {
    BenchFolder folder;
    TestOCX_new window(desktop);
    window.Show();
    window.Move(0, 0, 1280 * 15, 800 * 15);
    // Alternate one pixel of width so that every assignment is a change.
    int width = 1280;
    OpenCounter opens(folder.Stype());
    opens.Take();
    window.Width(1281 * 15);
    state.counters["skin_reads_per_change"] = opens.Take();
    width = 1281;
    for (auto _ : state) {
      width = width == 1280 ? 1281 : 1280;
      window.Width(width * 15);
    }
    window.Unload();
  }
  platform::UseDesktop(nullptr);
}
BENCHMARK(BM_MainWindowResizeNormal1280x800)->Unit(benchmark::kMicrosecond);

void BM_MainWindowSystemMaximizeTakenOver(benchmark::State& state) {
  if (!SkinsPacked(state)) return;
  platform::HeadlessDesktop desktop(1920, 1080);
  desktop.SetWorkArea({0, 0, 1920, 1040});
  platform::UseDesktop(&desktop);
  {
    BenchFolder folder;
    OpenCounter opens(folder.Stype());
    int reads = 0;
    for (auto _ : state) {
      state.PauseTiming();
      auto window = std::make_unique<TestOCX_new>(desktop);
      window->Show();
      window->Move(0, 0, 1280 * 15, 800 * 15);
      opens.Take();
      state.ResumeTiming();
      desktop.UserMaximize(window->hwnd());
      state.PauseTiming();
      reads = opens.Take();
      window->Unload();
      window.reset();
      state.ResumeTiming();
    }
    state.counters["skin_reads_per_takeover"] = reads;
  }
  platform::UseDesktop(nullptr);
}
BENCHMARK(BM_MainWindowSystemMaximizeTakenOver)->Unit(benchmark::kMicrosecond);

}  // namespace
