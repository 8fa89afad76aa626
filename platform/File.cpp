#include "platform/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

std::string NativePath(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes) {
  bytes.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

namespace {

thread_local std::string lastError;

bool Fail(std::string* error, const std::string& text) {
  lastError = text;
  if (error) *error = text;
  return false;
}

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Opens and locks the one temporary file of target. A leftover of an
// earlier write that died (a crash, a kill during fsync) is taken over and
// truncated, so there is never more than one. The lock keeps two writers
// of the same file from writing into each other's temporary file; a writer
// that waited on the lock finds the file renamed away and opens anew.
int OpenTemporary(const std::string& temp) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    // A link in the temporary file's place is never written through.
    if (fd < 0 && errno == ELOOP && ::unlink(temp.c_str()) == 0) continue;
    if (fd < 0) return -1;
    struct stat held {};
    struct stat named {};
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
        ::lstat(temp.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev) {
      if (::ftruncate(fd, 0) == 0) return fd;
    }
    int saved = errno;
    ::close(fd);
    errno = saved;
    if (!S_ISREG(held.st_mode) && held.st_ino != 0) {
      errno = EISDIR;
      return -1;
    }
  }
  errno = EBUSY;
  return -1;
}

}  // namespace

std::string LastFileError() { return lastError; }

void LastFileError(const std::string& reason) { lastError = reason; }

std::string TemporaryPath(const std::string& path) { return path + ".tmp"; }

bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                     std::string* error) {
  const std::string& target = path;
  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0;
  // A file without any write permission is one the user locked: like a
  // read-only file on Windows, it is refused, even to a user (root) whom
  // the permissions would not stop.
  if (replacing && (existing.st_mode & 0222) == 0) return Fail(error, "the file is read-only");
  if (replacing && ::access(target.c_str(), W_OK) != 0) return Fail(error, std::strerror(errno));

  const std::string temp = TemporaryPath(target);
  int fd = OpenTemporary(temp);
  if (fd < 0) return Fail(error, std::strerror(errno));
  // The new file takes the place of the old one, so it keeps the old one's
  // mode and owner; one that cannot be kept is a reason not to replace it.
  int failure = 0;
  const char* reason = nullptr;
  if (replacing) {
    if ((existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      reason = "cannot keep the file's owner";
    } else if (::fchmod(fd, existing.st_mode & 07777) != 0) {
      failure = errno;
    }
  } else {
    // A new file gets the usual permissions, less the user's umask.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) failure = errno;
  }
  if (failure == 0 && reason == nullptr) {
    if (!WriteAll(fd, static_cast<const std::uint8_t*>(data), size)) failure = errno ? errno : EIO;
  }
  if (failure == 0 && reason == nullptr && ::fsync(fd) != 0) failure = errno;
  if (failure == 0 && reason == nullptr && ::rename(temp.c_str(), target.c_str()) != 0) {
    failure = errno;
  }
  // Still under the lock: no other writer can have taken the name over.
  if (failure != 0 || reason != nullptr) ::unlink(temp.c_str());
  ::close(fd);
  if (reason != nullptr) return Fail(error, reason);
  if (failure != 0) return Fail(error, std::strerror(failure));
  return true;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const auto ns = [](const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
  };
  identity.device = static_cast<std::uint64_t>(info.st_dev);
  identity.inode = static_cast<std::uint64_t>(info.st_ino);
  identity.size = static_cast<std::uint64_t>(info.st_size);
  identity.modifiedNs = ns(info.st_mtim);
  identity.changedNs = ns(info.st_ctim);
  return true;
}

bool CreateEmptyFile(const std::string& path, std::string* error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    return Fail(error, std::strerror(errno));
  }
  ::close(fd);
  return true;
}

bool IsWritableFolder(const std::string& path) {
  struct stat info {};
  const std::string& native = path;
  return ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         ::access(native.c_str(), W_OK | X_OK) == 0;
}

bool MakeFolders(const std::string& path, std::string* error) {
  const std::string& native = path;
  // Each parent in turn, so that the one that fails is the one named.
  for (std::size_t at = native.find('/', 1);; at = native.find('/', at + 1)) {
    const std::string part = native.substr(0, at);
    struct stat info {};
    if (!part.empty() && ::stat(part.c_str(), &info) != 0) {
      if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
        return Fail(error, part + ": " + std::strerror(errno));
      }
    } else if (!part.empty() && !S_ISDIR(info.st_mode)) {
      return Fail(error, part + ": " + std::strerror(ENOTDIR));
    }
    if (at == std::string::npos) return true;
  }
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  if (argc <= 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
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
