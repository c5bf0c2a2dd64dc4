// The 8-bit code page of the texts in a database file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace orbo {

inline constexpr char kDefaultCodePage[] = "windows-1252";

class CodePage {
 public:
  // Throws StorageError when the code page is unknown, does not store each
  // ASCII character as that very byte (IBM866 swaps some control characters)
  // or is not a single-byte code page.
  explicit CodePage(const QString& name = QString::fromLatin1(kDefaultCodePage));

  const QString& Name() const { return name_; }

  // False (and *bytes undefined) when a character cannot be held.
  bool Encode(const QString& text, QByteArray* bytes);
  QString Decode(const char* bytes, int length);

  // Names the first character of text that the code page cannot hold.
  QString DescribeUnencodable(const QString& text);

 private:
  bool IsSingleByte();

  QString name_;
  QStringEncoder encoder_;
  QStringDecoder decoder_;
};

// UTF-8 bytes as text. Unlike QString::fromUtf8, a leading U+FEFF is kept:
// it is the value's first character, never a mark of the whole file.
QString Utf8Text(QByteArrayView bytes);

}  // namespace orbo
