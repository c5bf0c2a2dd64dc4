#include "storage/memory_file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "storage/storage_error.h"

namespace orbo {

MemoryFile::MemoryFile() : fd_(::memfd_create("orbo-plain", MFD_CLOEXEC)) {
  if (fd_ < 0) throw StorageError(QStringLiteral("no file in memory can be made"));
}

MemoryFile::~MemoryFile() {
  if (map_) ::munmap(map_, static_cast<std::size_t>(mapped_));
  // Truncating gives the pages back before the descriptor closes.
  (void)::ftruncate(fd_, 0);
  ::close(fd_);
}

QString MemoryFile::Path() const { return QStringLiteral("/proc/self/fd/%1").arg(fd_); }

void MemoryFile::Append(const char* data, qsizetype size) {
  while (size > 0) {
    const ssize_t put = ::write(fd_, data, static_cast<std::size_t>(size));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw StorageError(QStringLiteral("a file in memory cannot be written"));
    data += put;
    size -= put;
  }
}

QByteArrayView MemoryFile::Map() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0)
    throw StorageError(QStringLiteral("a file in memory cannot be read"));
  if (map_) ::munmap(map_, static_cast<std::size_t>(mapped_));
  map_ = nullptr;
  mapped_ = static_cast<qsizetype>(info.st_size);
  if (mapped_ == 0) return {};
  void* map = ::mmap(nullptr, static_cast<std::size_t>(mapped_), PROT_READ,
                     MAP_SHARED | MAP_POPULATE, fd_, 0);
  if (map == MAP_FAILED) throw StorageError(QStringLiteral("a file in memory cannot be read"));
  map_ = map;
  return {static_cast<const char*>(map_), mapped_};
}

}  // namespace orbo
