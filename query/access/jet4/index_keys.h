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

// Whether the sort order's table has a code for c: every character of a
// single-byte code page has one. Names of tables are restricted to them.
bool IsKeyCharacter(QChar c);

// Text key of a value made of key characters only: the text section (base
// letters, case folded), then the accents, then the unprintable characters
// with their places, so that keys sort as the sort order compares texts.
QByteArray TextKey(QStringView text);
QByteArray LongKey(std::int32_t value);

}  // namespace orbo::jet4
