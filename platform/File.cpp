#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace platform {

std::string NativePath(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes) {
  bytes.clear();
  int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::uint64_t>(info.st_size) <= maxBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    // One read normally takes it all; the loop only covers short reads.
    while (done < bytes.size()) {
      ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

static void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                     std::string* error) {
  const std::string target = NativePath(path);
  std::random_device random;
  const std::string temp = target + ".tmp" + std::to_string(random() % 1000000);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    SetError(error, std::strerror(errno));
    return false;
  }
  // Keep the permissions of the file being replaced.
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) ::fchmod(fd, info.st_mode & 07777);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  bool ok = true;
  while (done < size) {
    ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  int savedErrno = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    SetError(error, std::strerror(savedErrno));
  }
  return ok;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool CreateEmptyFile(const std::string& path, std::string* error) {
  int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    SetError(error, std::strerror(errno));
    return false;
  }
  ::close(fd);
  return true;
}

std::string ExecutableFolder() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string path(buffer, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace platform
