// What a database must satisfy to be written or taken from a file: counts
// and indices in range, every cross-reference pointing at an entry.
// Each check throws StorageError naming the place.
#pragma once

#include "storage/database_model.h"

namespace orbo {

void CheckCount(int count, const QString& what);
void CheckElementCount(int count, int form, int type);
void CheckRecordForm(const Database& db, int record, int form);

// Every record's folder is a folder or a free slot; every folder's parent
// is a folder or the top, and no folder is its own ancestor.
void CheckReferences(const Database& db);

}  // namespace orbo
