#include "storage/database_model.h"

#include "storage/secret_text.h"

namespace orbo {
namespace {

// Room the tables have at start-up.
constexpr std::size_t kInitialEntries = 5;

// Re-dimensions a table (keeping its contents) to upper bound count + margin
// when its upper bound is below count + 10.
template <typename Table>
void GrowTable(Table& table, int count, int margin) {
  const long upperBound = static_cast<long>(table.size()) - 1;
  if (upperBound < count + 10) table.resize(static_cast<std::size_t>(count + margin + 1));
}

}  // namespace

Database::Database()
    : Forms(kInitialEntries),
      Records(kInitialEntries),
      RecordMarks(kInitialEntries),
      Folders(kInitialEntries) {}

void SetCount(Database& db, int kind, std::int16_t count) {
  // A negative count needs no room; the tables keep their size.
  const int needed = count < 0 ? 0 : count;
  switch (kind) {
    case kRecordsKind:
      GrowTable(db.Records, needed, 100);
      GrowTable(db.RecordMarks, needed, 100);
      db.RecordCount = count;
      break;
    case kFoldersKind:
      GrowTable(db.Folders, needed, 50);
      db.FolderCount = count;
      break;
    case kFormsKind:
      GrowTable(db.Forms, needed, 20);
      db.FormCount = count;
      break;
    default:
      break;
  }
}

void ClearDatabase(Database& db, const FontSpec& defaultFont) {
  db.DatabasePath = QStringLiteral("noname");
  SetCount(db, kRecordsKind, 0);
  SetCount(db, kFoldersKind, 0);
  db.SplitterPos = 2500;
  db.MaxListString = 20;
  db.DatabaseFont = defaultFont;
  db.PasswordOn = false;
  WipePassword(db);
}

void RecountBuffers(Database& db) {
  std::int16_t free = 0;
  for (int r = 0; r < db.RecordCount; ++r) {
    if (db.Records[static_cast<std::size_t>(r)].Folder == BufferFolder) ++free;
  }
  db.BufferCount = free;
}

}  // namespace orbo
