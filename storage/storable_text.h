// The texts of a model that a file cannot hold as they are: characters the
// code page lacks, and NUL, which the stream would cut the text at.
#pragma once

#include <vector>

#include "storage/code_page.h"
#include "storage/database_model.h"

namespace orbo {

// Where a text lives, so the user can be told which one it is.
struct TextPlace {
  enum Kind { kRecordValue, kFolder, kForm, kElement, kDatabaseFont };
  Kind kind;
  int index = -1;  // record, folder or form
  int type = -1;   // element type, for record values and elements
  int slot = -1;

  friend bool operator==(const TextPlace&, const TextPlace&) = default;
};

// The places of texts holding a character the code page cannot hold, in
// file order, at most limit of them.
std::vector<TextPlace> FindUnstorableTexts(const Database& db, CodePage& codePage, int limit);

// Replaces each such character by "?" and each NUL by a space, as the file
// would hold them; returns how many texts changed.
int MakeTextsStorable(Database& db, CodePage& codePage);

}  // namespace orbo
