#include "storage/stream_wrappers.h"

#include <algorithm>
#include <cstring>

#include "storage/storage_error.h"
#include "storage/stream_library.h"

namespace orbo {

void StreamWriter::WriteStr(const QString& s) {
  if (!codePage_.Encode(s, &bytes_)) throw StorageError(codePage_.DescribeUnencodable(s));
  // The stream ends a text at a zero byte, which would leave the count and
  // the bytes disagreeing.
  bytes_.replace('\0', ' ');
  if (bytes_.size() > stream::kMaxStringBytes) {
    throw StorageError(QStringLiteral("a text of %1 characters is longer than the %2 a file holds")
                           .arg(bytes_.size())
                           .arg(stream::kMaxStringBytes));
  }
  stream::Write4(static_cast<std::int32_t>(bytes_.size()));
  if (!bytes_.isEmpty()) stream::WriteS(bytes_.constData());
}

void StreamWriter::WriteInt(std::int16_t v) { stream::Write2(v); }

void StreamWriter::WriteFlag(bool v) { stream::Write2(v ? -1 : 0); }

void StreamWriter::WriteLong(std::int32_t v) { stream::Write4(v); }

void StreamWriter::WriteFont(const FontSpec& f) {
  WriteStr(f.Name);
  WriteFlag(f.Bold);
  WriteFlag(f.Italic);
  WriteInt(f.Size);
}

StreamReader::StreamReader(CodePage& codePage)
    : codePage_(codePage), buffer_(stream::kMaxStringBytes) {}

QString StreamReader::ReadStr() {
  std::int32_t count = 0;
  stream::Input4(&count);
  if (count == 0) return {};
  if (count < 0 || count > stream::kMaxStringBytes) {
    throw StorageError(QStringLiteral("impossible text length %1").arg(count));
  }
  // Characters the record does not supply stay spaces.
  std::memset(buffer_.data(), ' ', static_cast<std::size_t>(count));
  stream::InputS(buffer_.data());
  // A zero byte ends the copied text and fills the rest with zeros; spaces
  // keep the text what the next save writes back.
  std::replace(buffer_.begin(), buffer_.begin() + count, '\0', ' ');
  return codePage_.Decode(buffer_.data(), count);
}

std::int16_t StreamReader::ReadInt() {
  std::int16_t v = 0;
  stream::Input2(&v);
  return v;
}

bool StreamReader::ReadFlag() { return ReadInt() != 0; }

std::int32_t StreamReader::ReadLong() {
  std::int32_t v = 0;
  stream::Input4(&v);
  return v;
}

FontSpec StreamReader::ReadFont() {
  FontSpec f;
  f.Name = ReadStr();
  f.Bold = ReadFlag();
  f.Italic = ReadFlag();
  f.Size = ReadInt();
  return f;
}

}  // namespace orbo
