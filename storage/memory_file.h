// A file that lives only in memory, for the classic file inside an encrypted
// one: the storage library reads and writes it by path like any file, and
// its plain bytes never reach a disk.
#pragma once

#include <QByteArrayView>
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
  // Adds bytes at the end.
  void Append(const char* data, qsizetype size);
  // The whole file, without a copy, for as long as it lives and no more is
  // appended.
  QByteArrayView Map();

 private:
  int fd_ = -1;
  void* map_ = nullptr;
  qsizetype mapped_ = 0;
};

}  // namespace orbo
