// Preloaded into the program by the kill test: an fsync of a temporary file
// (a name ending in ".tmp") leaves a mark file, named by HOLD_FSYNC_MARK,
// and then waits, so that the test can kill the program while its write is
// held there.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

extern "C" int fsync(int fd) {
  using Fsync = int (*)(int);
  static Fsync real = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
  const char* mark = std::getenv("HOLD_FSYNC_MARK");
  char link[64];
  char target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = mark != nullptr ? ::readlink(link, target, sizeof target - 1) : -1;
  if (n > 4 && std::memcmp(target + n - 4, ".tmp", 4) == 0) {
    int m = ::open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (m >= 0) ::close(m);
    timespec held{30, 0};
    ::nanosleep(&held, nullptr);
  }
  return real != nullptr ? real(fd) : -1;
}
