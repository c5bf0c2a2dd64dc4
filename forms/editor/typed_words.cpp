#include "forms/editor/typed_words.h"

#include <algorithm>

namespace orbo {

bool StartsNewWord(const QString& before, const QString& after) {
  if (after.size() <= before.size()) return false;
  qsizetype prefix = 0;
  while (prefix < before.size() && before[prefix] == after[prefix]) ++prefix;
  // What was typed begins where the two values part.
  return prefix > 0 && after[prefix].isSpace() && !after[prefix - 1].isSpace();
}

}  // namespace orbo
