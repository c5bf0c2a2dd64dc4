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
  // Truncating gives the pages back before the descriptor closes.
  (void)::ftruncate(fd_, 0);
  ::close(fd_);
}

QString MemoryFile::Path() const { return QStringLiteral("/proc/self/fd/%1").arg(fd_); }

QByteArray MemoryFile::ReadAll() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0)
    throw StorageError(QStringLiteral("a file in memory cannot be read"));
  QByteArray bytes(static_cast<qsizetype>(info.st_size), '\0');
  for (qsizetype at = 0; at < bytes.size();) {
    const ssize_t got =
        ::pread(fd_, bytes.data() + at, static_cast<std::size_t>(bytes.size() - at), at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw StorageError(QStringLiteral("a file in memory cannot be read"));
    at += got;
  }
  return bytes;
}

void MemoryFile::Replace(const QByteArray& bytes) {
  if (::ftruncate(fd_, 0) != 0)
    throw StorageError(QStringLiteral("a file in memory cannot be written"));
  for (qsizetype at = 0; at < bytes.size();) {
    const ssize_t put =
        ::pwrite(fd_, bytes.constData() + at, static_cast<std::size_t>(bytes.size() - at), at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw StorageError(QStringLiteral("a file in memory cannot be written"));
    at += put;
  }
}

}  // namespace orbo
