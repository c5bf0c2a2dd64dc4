// Merging another database file into the open one: its forms, records and
// folders are appended behind the open database's own, with every
// cross-reference renumbered. The open database keeps its path, password,
// settings and font.
#pragma once

#include "storage/database_file.h"

namespace orbo {

struct MergeOutcome {
  ReadOutcome::Status status = ReadOutcome::kFailed;
  QString error;
  bool passwordTried = false;
  ReadOutcome::Fault fault = ReadOutcome::kNone;
  int systemError = 0;
  // What the imported file needed mended before it was appended.
  ModelRepairs repairs;
};

// Appends imported behind db. Free record slots stay free; the records and
// folders of imported must reference its own entries (as a read file does).
// Throws StorageError, leaving db untouched, when a count would overflow.
void AppendDatabase(Database& db, const Database& imported);

// Reads the file at path whole and appends it; on failure, or when the file
// needs a password it was not given, db is exactly as before. The password
// is the imported file's only.
// Progress counts records by their index in db.
MergeOutcome MergeDatabaseFile(Database& db, const QString& path, CodePage& codePage,
                               const QString& password,
                               const RecordProgress::ShowFn& showProgress = {},
                               const RepairNames& names = {});

}  // namespace orbo
