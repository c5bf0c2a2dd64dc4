#include "forms/canvas/text_change.h"

#include <algorithm>

namespace orbo {

int ChangedTextEnd(const QString& before, const QString& after) {
  const qsizetype shorter = std::min(before.size(), after.size());
  qsizetype prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  // The common end may not reach into the common beginning: "aa" to "aaa"
  // inserted one "a" after the first two.
  qsizetype suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return static_cast<int>(after.size() - suffix);
}

}  // namespace orbo
