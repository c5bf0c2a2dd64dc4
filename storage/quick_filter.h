// The quick filter without widgets: which records of a folder and its
// sub-folders hold a text, and which folders lead to them.
#pragma once

#include <QString>
#include <vector>

#include "storage/database_model.h"

namespace orbo {

struct QuickFilter {
  QString text;          // empty: no filter
  bool anyText = false;  // every text value, not only the title
};

// The live records of folder and the folders below it, in table order, whose
// title line (with anyText also any text, multiline text, button value or
// chosen combo line of their form's elements) contains the text, letter case
// aside.
std::vector<int> QuickFilterMatches(const Database& db, int folder, const QuickFilter& filter);
// Whether every match of later is a match of earlier: later's text holds
// earlier's, letter case aside, over the same values.
bool QuickFilterNarrows(const QuickFilter& earlier, const QuickFilter& later);
// The records of candidates that match filter, in their order: the matches
// of a longer text are found among those of the text it grew from.
std::vector<int> NarrowQuickFilterMatches(const Database& db, const std::vector<int>& candidates,
                                          const QuickFilter& filter);

// For each folder, whether it holds one of records or lies above one that does.
std::vector<char> FoldersLeadingTo(const Database& db, const std::vector<int>& records);

}  // namespace orbo
