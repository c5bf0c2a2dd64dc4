#include "storage/text_difference.h"

#include <algorithm>

namespace orbo {

TextDifference DifferenceOf(const QString& before, const QString& after) {
  const qsizetype shorter = std::min(before.size(), after.size());
  TextDifference d;
  while (d.prefix < shorter && before[d.prefix] == after[d.prefix]) ++d.prefix;
  while (d.suffix < shorter - d.prefix &&
         before[before.size() - 1 - d.suffix] == after[after.size() - 1 - d.suffix]) {
    ++d.suffix;
  }
  return d;
}

int ChangedTextEnd(const QString& before, const QString& after) {
  return static_cast<int>(after.size() - DifferenceOf(before, after).suffix);
}

}  // namespace orbo
