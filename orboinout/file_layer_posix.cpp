#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "orboinout/file_layer.h"
#ifdef ORBOINOUT_WRITE_FAULTS
#include "orboinout/write_faults.h"
#endif

namespace oio {
namespace {

int Fd(FileHandle file) { return static_cast<int>(file); }

bool WriteAll(FileHandle file, const char* bytes, std::size_t n) {
  while (n > 0) {
    ssize_t done = ::write(Fd(file), bytes, n);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes += done;
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

}  // namespace

std::string DiskSubfolder(std::string stored) {
  for (char& c : stored) {
    if (c == '\\') c = '/';
  }
  return stored;
}

FileHandle FileCreate(const char* path) {
  int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? kInvalidFile : fd;
}

FileHandle FileOpenRead(const char* path) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kInvalidFile;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return kInvalidFile;
  }
  return fd;
}

bool FileWrite(FileHandle file, const void* data, std::size_t n) {
  const char* bytes = static_cast<const char*>(data);
#ifdef ORBOINOUT_WRITE_FAULTS
  const std::size_t allowed = AllowedWriteBytes(n);
  if (allowed < n) {
    const int reason = errno;
    WriteAll(file, bytes, allowed);
    errno = reason;
    return false;
  }
#endif
  return WriteAll(file, bytes, n);
}

std::int64_t FileRead(FileHandle file, void* data, std::size_t n) {
  char* bytes = static_cast<char*>(data);
  std::size_t total = 0;
  while (total < n) {
    ssize_t done = ::read(Fd(file), bytes + total, n - total);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return -1;
    if (done == 0) break;
    total += static_cast<std::size_t>(done);
  }
  return static_cast<std::int64_t>(total);
}

std::int64_t FileRemaining(FileHandle file) {
  struct stat info {};
  off_t here = ::lseek(Fd(file), 0, SEEK_CUR);
  if (here < 0 || ::fstat(Fd(file), &info) != 0) return -1;
  return info.st_size > here ? info.st_size - here : 0;
}

bool FileSync(FileHandle file) {
  // Devices and pipes cannot be synced; that is no failure of the data.
  return ::fsync(Fd(file)) == 0 || errno == EINVAL || errno == EROFS;
}

bool FileClose(FileHandle file) { return ::close(Fd(file)) == 0; }

bool FileIsSameAs(FileHandle open, const char* path) {
  struct stat openInfo {};
  struct stat pathInfo {};
  return ::fstat(Fd(open), &openInfo) == 0 && ::stat(path, &pathInfo) == 0 &&
         openInfo.st_dev == pathInfo.st_dev && openInfo.st_ino == pathInfo.st_ino;
}

bool MakeFolder(const char* path) {
  std::string folder(path);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (::mkdir(folder.c_str(), 0777) == 0) return true;
  struct stat info {};
  return errno == EEXIST && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace oio
