// Whether two databases hold the same file: what a save writes of them,
// and nothing a file does not store (slots above the first free one, the
// values of elements a record's form does not have, the path or the marks).
#pragma once

#include <QString>

#include "storage/database_model.h"

namespace orbo {

// Where the stored content of two databases first differs (counts, forms
// with their stored slots, settings, records' stored values, folders);
// empty when it does not.
QString StoredDifference(const Database& a, const Database& b);

}  // namespace orbo
