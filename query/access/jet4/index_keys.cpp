#include "query/access/jet4/index_keys.h"

#include "query/access/jet4/general_sort_codes.h"
#include "query/access/jet4/page_bytes.h"

namespace orbo::jet4 {

namespace {

constexpr char kNotNull = 0x7F;
constexpr char kEndOfSection = 0x01;
constexpr char kEndOfKey = 0x00;
// The accent of a character that has none, where a later one has one.
constexpr char kNoAccent = 0x02;

// The accent section: one accent for each character of the text section up
// to the last accented one.
class Accents {
 public:
  // `place`: the characters in the text section before this one.
  void Add(int place, const QByteArray& accent) {
    PadTo(place);
    bytes_ += accent;
    ++characters_;
  }

  // A combining mark changes the accent of the character before it, so
  // "e" followed by U+0301 keys like "é".
  void Raise(int place, const QByteArray& increment) {
    PadTo(place);
    if (bytes_.isEmpty()) {
      bytes_ += increment;
    } else {
      bytes_.back() = static_cast<char>(bytes_.back() + increment.front());
    }
  }

  // Characters after the last accented one add nothing: padding only comes
  // before an accent, and no accent of the table is as low as kNoAccent.
  const QByteArray& Section() const { return bytes_; }

 private:
  void PadTo(int place) {
    for (; characters_ < place; ++characters_) bytes_ += kNoAccent;
  }

  QByteArray bytes_;
  int characters_ = 0;
};

// An unprintable character: its place, big-endian with the top bit set,
// then 06 and its code.
QByteArray UnprintableEntry(int place, const QByteArray& code) {
  const auto value = static_cast<std::uint16_t>((7 + 4 * place) | 0x8000);
  QByteArray entry;
  entry += static_cast<char>(value >> 8);
  entry += static_cast<char>(value & 0xFF);
  entry += '\x06';
  return entry + code;
}

}  // namespace

bool IsKeyCharacter(QChar c) { return GeneralSortCode(c.unicode()) != nullptr; }

QByteArray TextKey(QStringView text) {
  QByteArray key(1, kNotNull);
  Accents accents;
  QByteArray unprintables;
  int place = 0;
  for (QChar c : text) {
    const CharCode* code = GeneralSortCode(c.unicode());
    if (!code) continue;
    switch (code->kind) {
      case CodeKind::Simple:
        key += code->text;
        ++place;
        break;
      case CodeKind::Accented:
        key += code->text;
        accents.Add(place++, code->extra);
        break;
      case CodeKind::Mark:
        accents.Raise(place, code->extra);
        break;
      case CodeKind::Unprintable:
        // Every accent is one byte: its place in the accent section is its
        // place in the text section.
        unprintables += UnprintableEntry(place, code->extra);
        break;
      case CodeKind::Ignored:
        break;
    }
  }
  key += kEndOfSection;
  key += accents.Section();
  if (!unprintables.isEmpty()) key += QByteArray(3, kEndOfSection) + unprintables;
  key += kEndOfKey;
  return key;
}

QByteArray LongKey(std::int32_t value) {
  QByteArray key(1, kNotNull);
  AppendU32BigEndian(key, static_cast<std::uint32_t>(value) ^ 0x80000000u);
  return key;
}

}  // namespace orbo::jet4
