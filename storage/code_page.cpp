#include "storage/code_page.h"

#include <algorithm>

#include "storage/storage_error.h"

namespace orbo {
namespace {

bool IsAscii(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

}  // namespace

CodePage::CodePage(const QString& name)
    : name_(name),
      encoder_(name.toLatin1().constData(), QStringConverter::Flag::Stateless),
      decoder_(name.toLatin1().constData(), QStringConverter::Flag::Stateless) {
  if (!encoder_.isValid() || !decoder_.isValid()) {
    throw StorageError(QStringLiteral("unknown code page %1").arg(name));
  }
  QString ascii;
  QByteArray asciiBytes;
  for (int c = 1; c < 0x80; ++c) {
    ascii.append(QChar(c));
    asciiBytes.append(static_cast<char>(c));
  }
  if (QByteArray(encoder_.encode(ascii)) != asciiBytes || !IsSingleByte()) {
    throw StorageError(QStringLiteral("%1 is not a single-byte code page").arg(name));
  }
}

// The file counts characters and stores one byte each, so no two bytes may
// stand for one character.
bool CodePage::IsSingleByte() {
  char pair[2];
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    pair[0] = static_cast<char>(lead);
    for (int trail = 0x30; trail <= 0xFF; ++trail) {
      pair[1] = static_cast<char>(trail);
      decoder_.resetState();
      if (QString(decoder_.decode(QByteArrayView(pair, 2))).size() < 2) return false;
    }
  }
  return true;
}

// Plain ASCII converts byte for byte, which spares the converter.
bool CodePage::Encode(const QString& text, QByteArray* bytes) {
  if (IsAscii(text)) {
    // Into the caller's array, which keeps its room from text to text.
    bytes->resize(text.size());
    std::transform(text.cbegin(), text.cend(), bytes->begin(),
                   [](QChar c) { return static_cast<char>(c.unicode()); });
    return true;
  }
  *bytes = encoder_.encode(text);
  // The converters' error flag is not reliable (a new one misses the first
  // error, a used one keeps it after a reset, a best fit is no error), so
  // a text counts as held when its bytes give it back.
  decoder_.resetState();
  return QString(decoder_.decode(*bytes)) == text;
}

QString CodePage::Decode(const char* bytes, int length) {
  QByteArrayView view(bytes, length);
  if (std::all_of(view.begin(), view.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return QString::fromLatin1(view);
  }
  decoder_.resetState();
  return decoder_.decode(view);
}

QString CodePage::DescribeUnencodable(const QString& text) {
  QByteArray scratch;
  for (qsizetype i = 0; i < text.size(); ++i) {
    // A surrogate pair is one character.
    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
    if (!Encode(text.mid(i, pair ? 2 : 1), &scratch)) {
      const char32_t c = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
      return QStringLiteral("character U+%1 cannot be stored in %2")
          .arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'))
          .arg(name_);
    }
    if (pair) ++i;
  }
  return {};
}

}  // namespace orbo
