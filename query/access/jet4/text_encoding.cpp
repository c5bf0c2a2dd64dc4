#include "query/access/jet4/text_encoding.h"

#include <algorithm>

namespace orbo::jet4 {

namespace {

constexpr qsizetype kMinCompressed = 3;
constexpr qsizetype kMaxCompressed = 1024;

bool Compresses(QStringView text) {
  return text.size() >= kMinCompressed && text.size() <= kMaxCompressed &&
         std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c.unicode() >= 0x01 && c.unicode() <= 0xFF; });
}

}  // namespace

QByteArray EncodeUcs2(QStringView text) {
  QByteArray out(text.size() * 2, '\0');
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    out[2 * i] = static_cast<char>(unit & 0xFF);
    out[2 * i + 1] = static_cast<char>(unit >> 8);
  }
  return out;
}

QByteArray EncodeText(QStringView text, bool compressible) {
  if (!compressible || !Compresses(text)) return EncodeUcs2(text);
  QByteArray out(text.size() + 2, '\0');
  out[0] = '\xFF';
  out[1] = '\xFE';
  for (qsizetype i = 0; i < text.size(); ++i) out[i + 2] = static_cast<char>(text[i].unicode());
  return out;
}

}  // namespace orbo::jet4
