// The body of a database file, field by field, in the order and widths the
// file stores. The stream must be open and past its header word.
#pragma once

#include "storage/database_model.h"
#include "storage/record_progress.h"
#include "storage/stream_wrappers.h"

namespace orbo {

void WriteDatabaseBody(const Database& db, StreamWriter& out, const RecordProgress& progress);

// Reads a whole body into a fresh database; throws StorageError for
// anything the body cannot hold (see the checks in the .cpp).
Database ReadDatabaseBody(StreamReader& in, const RecordProgress& progress);

}  // namespace orbo
