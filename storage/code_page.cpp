#include "storage/code_page.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "storage/storage_error.h"

namespace orbo {
namespace {

// Copies text into out byte for byte while it is ASCII; false at the first
// character that is not. A save passes every text through here, so sixteen
// characters are checked and narrowed at a time.
bool NarrowAscii(QStringView text, char* out) {
  const char16_t* in = text.utf16();
  const qsizetype n = text.size();
  qsizetype i = 0;
#ifdef __SSE2__
  const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  for (; i + 16 <= n; i += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 8));
    const __m128i beyond = _mm_and_si128(_mm_or_si128(low, high), nonAscii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())) != 0xFFFF) return false;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < n; ++i) {
    if (in[i] >= 0x80) return false;
    out[i] = static_cast<char>(in[i]);
  }
  return true;
}

}  // namespace

CodePage::CodePage(const QString& name)
    : name_(name),
      encoder_(name.toLatin1().constData(), QStringConverter::Flag::Stateless),
      decoder_(name.toLatin1().constData(), QStringConverter::Flag::Stateless) {
  if (!encoder_.isValid() || !decoder_.isValid()) {
    throw StorageError(QStringLiteral("unknown code page %1").arg(name));
  }
  // Texts are stored and read with every ASCII character as its own byte.
  for (int c = 1; c < 0x80; ++c) {
    const QByteArray bytes = encoder_.encode(QString(QChar(c)));
    if (bytes != QByteArray(1, static_cast<char>(c))) {
      throw StorageError(
          QStringLiteral("%1 does not store every ASCII character as its own byte: U+%2 becomes %3")
              .arg(name)
              .arg(c, 4, 16, QLatin1Char('0'))
              .arg(bytes.isEmpty()
                       ? QStringLiteral("nothing")
                       : QStringLiteral("byte 0x") + QString::fromLatin1(bytes.toHex())));
    }
  }
  if (!IsSingleByte())
    throw StorageError(QStringLiteral("%1 is not a single-byte code page").arg(name));
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
  // Into the caller's array, which keeps its room from text to text.
  bytes->resize(text.size());
  if (NarrowAscii(text, bytes->data())) return true;
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

QString Utf8Text(QByteArrayView bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  return decoder.decode(bytes);
}

}  // namespace orbo
