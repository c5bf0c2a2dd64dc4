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

// Where two models first differ in anything below their counts: every
// field of every form, record and folder, free slots, marks and the
// database's settings (not its path, code page or modified mark); empty
// when they do not. What undo must give back exactly.
QString ModelDifference(const Database& a, const Database& b);

}  // namespace orbo
