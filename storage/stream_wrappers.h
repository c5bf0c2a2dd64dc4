// The application's items on top of the record stream: strings as a
// character count followed by a string record, Booleans as 16-bit -1/0,
// fonts as name, bold, italic, size.
#pragma once

#include <vector>

#include "storage/code_page.h"
#include "storage/database_model.h"

namespace orbo {

class StreamWriter {
 public:
  explicit StreamWriter(CodePage& codePage) : codePage_(codePage) {}

  // Throws StorageError for a character the code page cannot hold or a
  // text longer than a reader accepts.
  void WriteStr(const QString& s);
  void WriteInt(std::int16_t v);
  void WriteFlag(bool v);
  void WriteLong(std::int32_t v);
  void WriteFont(const FontSpec& f);

 private:
  CodePage& codePage_;
  QByteArray bytes_;
};

class StreamReader {
 public:
  explicit StreamReader(CodePage& codePage);

  // Throws StorageError for a negative count or one above the longest
  // string record; the result has exactly the stored count of characters.
  QString ReadStr();
  std::int16_t ReadInt();
  bool ReadFlag();
  std::int32_t ReadLong();
  FontSpec ReadFont();

 private:
  CodePage& codePage_;
  // Room for the longest record the library copies, whatever the count says.
  std::vector<char> buffer_;
};

}  // namespace orbo
