#include "storage/database_merge.h"

#include <limits>

#include "storage/storage_error.h"

namespace orbo {
namespace {

std::int16_t Combined(int have, int add, const QString& what) {
  const int total = have + add;
  if (total > std::numeric_limits<std::int16_t>::max()) {
    throw StorageError(QStringLiteral("the merged database would have %1 %2, more than %3")
                           .arg(total)
                           .arg(what)
                           .arg(std::numeric_limits<std::int16_t>::max()));
  }
  return static_cast<std::int16_t>(total);
}

std::int16_t Shifted(std::int16_t value, int by) { return static_cast<std::int16_t>(value + by); }

}  // namespace

void AppendDatabase(Database& db, const Database& imported) {
  if (&db == &imported) {
    // Growing the tables would move the entries being copied.
    const Database copy = imported;
    AppendDatabase(db, copy);
    return;
  }
  const int oldF = db.FormCount;
  const int oldR = db.RecordCount;
  const int oldD = db.FolderCount;
  const std::int16_t formCount = Combined(oldF, imported.FormCount, QStringLiteral("forms"));
  const std::int16_t recordCount = Combined(oldR, imported.RecordCount, QStringLiteral("records"));
  const std::int16_t folderCount = Combined(oldD, imported.FolderCount, QStringLiteral("folders"));

  SetCount(db, kFormsKind, formCount);
  std::copy_n(imported.Forms.begin(), imported.FormCount, db.Forms.begin() + oldF);

  SetCount(db, kFoldersKind, folderCount);
  SetCount(db, kRecordsKind, recordCount);
  for (int j = 0; j < imported.RecordCount; ++j) {
    const auto i = static_cast<std::size_t>(oldR + j);
    RecordData& record = db.Records[i];
    record = imported.Records[static_cast<std::size_t>(j)];
    record.Form = Shifted(record.Form, oldF);
    if (record.Folder != BufferFolder) record.Folder = Shifted(record.Folder, oldD);
    db.RecordMarks[i] = false;
  }
  for (int d = 0; d < imported.FolderCount; ++d) {
    FolderDef& folder = db.Folders[static_cast<std::size_t>(oldD + d)];
    folder = imported.Folders[static_cast<std::size_t>(d)];
    if (folder.Parent != TopLevelParent) folder.Parent = Shifted(folder.Parent, oldD);
  }
  RecountBuffers(db);
}

MergeOutcome MergeDatabaseFile(Database& db, const QString& path, CodePage& codePage,
                               const QString& password, const RecordProgress::ShowFn& showProgress,
                               const RepairNames& names) {
  const RecordProgress progress(showProgress, db.RecordCount);
  ReadOutcome read = ReadDatabaseFile(path, codePage, password, progress, names);
  MergeOutcome outcome;
  outcome.status = read.status;
  outcome.error = read.error;
  outcome.passwordTried = read.passwordTried;
  outcome.fault = read.fault;
  outcome.systemError = read.systemError;
  outcome.repairs = read.repairs;
  if (read.status != ReadOutcome::kLoaded) return outcome;
  try {
    AppendDatabase(db, read.db);
  } catch (const StorageError& e) {
    outcome.status = ReadOutcome::kFailed;
    outcome.fault = ReadOutcome::kDamaged;
    outcome.error = e.Message();
  }
  return outcome;
}

}  // namespace orbo
