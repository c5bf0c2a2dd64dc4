// Save and load of a database file at the format's limits (32767 records
// and 32767 folders) against writing the same rows into SQLite (a table of
// records and one of folders, one transaction, prepared statements) and
// reading them back into the model.
#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "bench_database.h"
#include "storage/database_file.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::bench;

namespace {

constexpr int kRepeats = 3;

// Best of a few runs, in milliseconds.
double BestMs(const std::function<bool()>& run) {
  double best = 1e300;
  for (int i = 0; i < kRepeats; ++i) {
    QElapsedTimer timer;
    timer.start();
    if (!run()) {
      std::fprintf(stderr, "storage_bench: a run failed\n");
      std::exit(1);
    }
    best = std::min(best, timer.nsecsElapsed() / 1e6);
  }
  return best;
}

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

const char kCreate[] =
    "CREATE TABLE records(id INTEGER PRIMARY KEY, form INTEGER, folder INTEGER, "
    "text0 TEXT, text1 TEXT, text2 TEXT, text3 TEXT, text4 TEXT, text5 TEXT, "
    "memo0 TEXT, memo1 TEXT, flag0 INTEGER, flag1 INTEGER, combo0 INTEGER, image0 TEXT)";
const char kInsert[] = "INSERT INTO records VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char kSelect[] = "SELECT * FROM records ORDER BY id";
const char kCreateFolders[] =
    "CREATE TABLE folders(id INTEGER PRIMARY KEY, name TEXT, parent INTEGER, icon TEXT, reserved "
    "INTEGER)";
const char kInsertFolder[] = "INSERT INTO folders VALUES(?,?,?,?,?)";
const char kSelectFolders[] = "SELECT * FROM folders ORDER BY id";

void BindText(sqlite3_stmt* statement, int column, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  sqlite3_bind_text(statement, column, utf8.constData(), static_cast<int>(utf8.size()),
                    SQLITE_TRANSIENT);
}

QString ColumnText(sqlite3_stmt* statement, int column) {
  return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                           sqlite3_column_bytes(statement, column));
}

bool SqliteSave(const Database& model, const QString& path) {
  QFile::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) return false;
  sqlite3_stmt* insert = nullptr;
  bool ok = Exec(db, kCreate) && Exec(db, "BEGIN") &&
            sqlite3_prepare_v2(db, kInsert, -1, &insert, nullptr) == SQLITE_OK;
  for (int r = 0; ok && r < model.RecordCount; ++r) {
    const RecordData& record = model.Records[r];
    int c = 1;
    sqlite3_bind_int(insert, c++, r);
    sqlite3_bind_int(insert, c++, record.Form);
    sqlite3_bind_int(insert, c++, record.Folder);
    for (int k = 0; k < kTexts; ++k) BindText(insert, c++, record.TextValue[k]);
    for (int k = 0; k < kMemos; ++k) BindText(insert, c++, record.MemoValue[k]);
    for (int k = 0; k < kFlags; ++k) sqlite3_bind_int(insert, c++, record.FlagValue[k] ? -1 : 0);
    sqlite3_bind_int(insert, c++, record.ComboValue[0]);
    BindText(insert, c++, record.ImageValue[0]);
    ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
  }
  sqlite3_finalize(insert);
  sqlite3_stmt* insertFolder = nullptr;
  ok = ok && Exec(db, kCreateFolders) &&
       sqlite3_prepare_v2(db, kInsertFolder, -1, &insertFolder, nullptr) == SQLITE_OK;
  for (int d = 0; ok && d < model.FolderCount; ++d) {
    const FolderDef& folder = model.Folders[d];
    sqlite3_bind_int(insertFolder, 1, d);
    BindText(insertFolder, 2, folder.Name);
    sqlite3_bind_int(insertFolder, 3, folder.Parent);
    BindText(insertFolder, 4, folder.Icon);
    sqlite3_bind_int(insertFolder, 5, folder.FolderReserved);
    ok = sqlite3_step(insertFolder) == SQLITE_DONE && sqlite3_reset(insertFolder) == SQLITE_OK;
  }
  sqlite3_finalize(insertFolder);
  ok = ok && Exec(db, "COMMIT");
  return sqlite3_close(db) == SQLITE_OK && ok;
}

bool SqliteLoad(const QString& path, Database& model) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
      SQLITE_OK) {
    return false;
  }
  sqlite3_stmt* select = nullptr;
  bool ok = sqlite3_prepare_v2(db, kSelect, -1, &select, nullptr) == SQLITE_OK;
  SetCount(model, kRecordsKind, 0);
  while (ok && sqlite3_step(select) == SQLITE_ROW) {
    const int r = sqlite3_column_int(select, 0);
    SetCount(model, kRecordsKind, static_cast<std::int16_t>(r + 1));
    RecordData& record = model.Records[r];
    int c = 1;
    record.Form = static_cast<std::int16_t>(sqlite3_column_int(select, c++));
    record.Folder = static_cast<std::int16_t>(sqlite3_column_int(select, c++));
    for (int k = 0; k < kTexts; ++k) record.TextValue[k] = ColumnText(select, c++);
    for (int k = 0; k < kMemos; ++k) record.MemoValue[k] = ColumnText(select, c++);
    for (int k = 0; k < kFlags; ++k) record.FlagValue[k] = sqlite3_column_int(select, c++) != 0;
    record.ComboValue[0] = static_cast<std::int16_t>(sqlite3_column_int(select, c++));
    record.ImageValue[0] = ColumnText(select, c++);
  }
  sqlite3_finalize(select);
  ok = ok && sqlite3_prepare_v2(db, kSelectFolders, -1, &select, nullptr) == SQLITE_OK;
  SetCount(model, kFoldersKind, 0);
  while (ok && sqlite3_step(select) == SQLITE_ROW) {
    const int d = sqlite3_column_int(select, 0);
    SetCount(model, kFoldersKind, static_cast<std::int16_t>(d + 1));
    FolderDef& folder = model.Folders[d];
    folder.Name = ColumnText(select, 1);
    folder.Parent = static_cast<std::int16_t>(sqlite3_column_int(select, 2));
    folder.Icon = ColumnText(select, 3);
    folder.FolderReserved = static_cast<std::int16_t>(sqlite3_column_int(select, 4));
  }
  sqlite3_finalize(select);
  return sqlite3_close(db) == SQLITE_OK && ok && model.RecordCount == kRecords &&
         model.FolderCount == kFolders;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  QTemporaryDir dir;
  const QString ours = dir.filePath(QStringLiteral("bench.2db"));
  const QString theirs = dir.filePath(QStringLiteral("bench.sqlite"));
  const Database model = BenchDatabase();
  CodePage codePage;

  const double save = BestMs([&] { return WriteDatabaseFile(model, ours, codePage).ok; });
  // Saves over a version that differs (one folder's name), so that each
  // keeps a backup and prunes the oldest, against the same saves keeping
  // none; and what syncing the folder after the rename costs alone.
  Database changed = model;
  changed.Folders[0].Name += QStringLiteral(" changed");
  int turn = 0;
  const auto alternating = [&](int keep) {
    return BestMs([&] {
      return WriteDatabaseFile(++turn % 2 ? changed : model, ours, codePage, {.keepBackups = keep})
          .ok;
    });
  };
  const double withoutBackups = alternating(0);
  const double withBackups = alternating(3);
  const double folderSync = BestMs([&] { return SyncFolder(dir.path()); });
  const double load =
      BestMs([&] { return ReadDatabaseFile(ours, codePage, {}).status == ReadOutcome::kLoaded; });
  const double sqliteSave = BestMs([&] { return SqliteSave(model, theirs); });
  const double sqliteLoad = BestMs([&] {
    Database loaded;
    return SqliteLoad(theirs, loaded);
  });

  std::printf("storage_bench: %d records, %d folders (best of %d runs)\n", kRecords, kFolders,
              kRepeats);
  std::printf("  .2db   save %8.1f ms   load %8.1f ms   file %lld bytes\n", save, load,
              static_cast<long long>(QFile(ours).size()));
  std::printf("  SQLite save %8.1f ms   load %8.1f ms   file %lld bytes\n", sqliteSave, sqliteLoad,
              static_cast<long long>(QFile(theirs).size()));
  std::printf("  ratio (SQLite / ours): save %.2f   load %.2f\n", sqliteSave / save,
              sqliteLoad / load);
  std::printf("  save over a changed version: no backups %8.1f ms   3 backups %8.1f ms   (%.2fx)\n",
              withoutBackups, withBackups, withBackups / withoutBackups);
  std::printf("  folder sync after the rename %8.2f ms\n", folderSync);
  return 0;
}
