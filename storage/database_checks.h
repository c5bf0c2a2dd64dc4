// What a file must satisfy to be read at all: counts in range and forms
// that exist, since they decide how the bytes that follow are read. Each
// check throws StorageError naming the place.
#pragma once

#include "storage/database_model.h"

namespace orbo {

void CheckCount(int count, const QString& what);
void CheckElementCount(int count, int form, int type);
void CheckRecordForm(const Database& db, int record, int form);

}  // namespace orbo
