// The part of a text one edit replaced: what the texts before and after
// share at their start and at their end.
#pragma once

#include <QString>

namespace orbo {

struct TextDifference {
  qsizetype prefix = 0;
  qsizetype suffix = 0;  // never reaching into the prefix
};

// "aa" to "aaa" inserted one "a" after the first two: prefix 2, suffix 0.
TextDifference DifferenceOf(const QString& before, const QString& after);

// The position in after just past the part that changed, where the text
// cursor stands after typing it: the end of what was inserted, or where
// text was taken out.
int ChangedTextEnd(const QString& before, const QString& after);

}  // namespace orbo
