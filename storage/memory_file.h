// A file that lives only in memory, for the classic file inside an encrypted
// one: the storage library reads and writes it by path like any file, and
// its plain bytes never reach a disk.
#pragma once

#include <QByteArray>
#include <QString>

namespace orbo {

class MemoryFile {
 public:
  // Throws StorageError when the system gives no memory file.
  MemoryFile();
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // A path that opens this file, for as long as it lives.
  QString Path() const;
  // Throw StorageError when the system refuses.
  QByteArray ReadAll() const;
  void Replace(const QByteArray& bytes);

 private:
  int fd_ = -1;
};

}  // namespace orbo
