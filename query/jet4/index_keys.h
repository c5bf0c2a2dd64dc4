// Index keys in sort order 1033 "General (legacy)", the one sort order
// whose key codes are published. Every file uses it, whatever locale was
// asked for: a Cyrillic sort order (1049) would need codes nobody documents.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QStringView>
#include <cstdint>

namespace orbo::jet4 {

inline constexpr std::uint16_t kSortOrderLcid = 0x0409;

// Only the "simple" characters (fixed inline codes, no extra section) are
// encodable: ASCII letters, digits, space, most punctuation and the Russian
// alphabet without Ё. Names of tables are restricted to them.
bool IsKeyCharacter(QChar c);

// Text key of a value made of key characters only.
QByteArray TextKey(QStringView text);
QByteArray LongKey(std::int32_t value);

}  // namespace orbo::jet4
