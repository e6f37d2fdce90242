#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "documents/writers.h"

namespace torvane::documents {
namespace {

[[noreturn]] void failed(const std::string& path, int error) {
  const ErrorKind kind = error == ENOSPC || error == EDQUOT ? ErrorKind::DiskFull
                         : error == EACCES || error == EPERM || error == EROFS
                             ? ErrorKind::NoPermission
                             : ErrorKind::WriteFailed;
  const char* why = kind == ErrorKind::DiskFull       ? "the disk is full"
                    : kind == ErrorKind::NoPermission ? "permission denied"
                                                      : std::strerror(error);
  throw DocumentError(kind, "cannot write " + path + ": " + why);
}

}  // namespace

void saveAtomically(const std::string& path, std::string_view bytes) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  // In the target's folder, so the rename never crosses a file system.
  std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temporary.data());
  if (fd < 0) failed(path, errno);
  auto abandon = [&](int error) {
    close(fd);
    unlink(temporary.c_str());
    failed(path, error);
  };
  // The mode a new file would get, or the old file's own.
  struct stat old;
  mode_t mode = 0666;
  if (stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }
  if (fchmod(fd, mode) != 0) abandon(errno);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      abandon(errno);
    }
    written += static_cast<std::size_t>(n);
  }
  if (fsync(fd) != 0) abandon(errno);
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    failed(path, error);
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    failed(path, error);
  }
}

}  // namespace torvane::documents
