// A flat, unscrambled container of files, each with an optional subfolder.
// Entries: S, subfolder (only when S >= 2), N, name, Z, content; then a 0.
#pragma once

#include <cstdint>
#include <string>

#include "orboinout/file_layer.h"

namespace oio {

class FileArchive {
 public:
  FileArchive() = default;
  ~FileArchive();
  FileArchive(const FileArchive&) = delete;
  FileArchive& operator=(const FileArchive&) = delete;

  // Results are the OIO_* codes of the public header.
  std::int32_t Start(const char* archiveName, const char* base);
  std::int32_t Add(const char* name, const char* subfolder);
  std::int32_t Close();

  static std::int32_t Extract(const char* archiveName, const char* target);

 private:
  FileHandle file_ = kInvalidFile;
  std::string base_;
};

}  // namespace oio
