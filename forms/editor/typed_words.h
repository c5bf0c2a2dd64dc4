// Typing is taken back a word at a time: where one typed word ends and the
// next begins, without widgets.
#pragma once

#include <QString>

namespace orbo {

// Whether a value typed from before to after begins a new word: a blank
// typed right after a non-blank. Deleting, and blanks after blanks, go on
// with the word before.
bool StartsNewWord(const QString& before, const QString& after);

}  // namespace orbo
