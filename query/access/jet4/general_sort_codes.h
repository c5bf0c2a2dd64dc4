// The character codes of sort order 1033 "General (legacy)", which index
// keys of text are made of, for every character a single-byte code page
// holds.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace orbo::jet4 {

enum class CodeKind : std::uint8_t {
  Ignored,      // adds nothing to a key
  Simple,       // its code goes into the text section of the key
  Accented,     // the code of its base letter, and its accent into the accent section
  Unprintable,  // only its code and place, in the unprintable section (' and -)
  Mark,         // a combining mark: raises the accent of the character before it
};

struct CharCode {
  CodeKind kind = CodeKind::Ignored;
  QByteArray text;  // the code in the text section (Simple and Accented)
  // The accent (Accented), the code (Unprintable) or what a mark adds to
  // the accent before it (Mark).
  QByteArray extra;
};

// nullptr for a character the table does not hold.
const CharCode* GeneralSortCode(char16_t c);

}  // namespace orbo::jet4
