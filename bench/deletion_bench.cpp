// Record deletion on the model alone, with tables of the largest size:
// emptying a folder record by record and a single deletion in the middle.
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "storage/navigation_logic.h"

using namespace orbo;

namespace {

constexpr int kRepeats = 3;
constexpr int kSpreadFolders = 200;

// A table of kMaxRecords records; record i lies in folderOf(i).
Database MakeTable(int folders, const std::function<int(int)>& folderOf) {
  Database db;
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(folders));
  for (int k = 0; k < folders; ++k) NewFolder(db, k);
  SetCount(db, kRecordsKind, kMaxRecords);
  for (int i = 0; i < kMaxRecords; ++i) {
    NewRecord(db, i);
    db.Records[static_cast<std::size_t>(i)].Folder = static_cast<std::int16_t>(folderOf(i));
    db.Records[static_cast<std::size_t>(i)].TextValue[0] = QStringLiteral("Record %1").arg(i);
  }
  RecountBuffers(db);
  return db;
}

// Best of a few runs on fresh tables, in milliseconds; building the table is not timed.
double BestMs(const std::function<Database()>& makeTable,
              const std::function<void(Database&)>& work) {
  double best = 1e300;
  for (int run = 0; run < kRepeats; ++run) {
    Database db = makeTable();
    QElapsedTimer timer;
    timer.start();
    work(db);
    best = std::min(best, timer.nsecsElapsed() / 1e6);
  }
  return best;
}

void DeleteFolder(Database& db, int folder) { DeleteRecordsInModel(db, RecordsOf(db, folder)); }

}  // namespace

int main() {
  // Folder 0 holds every record but the last, which lies in folder 1.
  const auto oneBigFolder = [] {
    return MakeTable(2, [](int i) { return i == kMaxRecords - 1 ? 1 : 0; });
  };
  const auto alternating = [] { return MakeTable(2, [](int i) { return i % 2; }); };
  const auto spread = [] {
    return MakeTable(kSpreadFolders, [](int i) { return i % kSpreadFolders; });
  };

  std::printf("deletion_bench: %d records (best of %d runs)\n", kMaxRecords, kRepeats);
  std::printf("  %-46s %8.1f ms\n", "delete a folder of all records but one",
              BestMs(oneBigFolder, [](Database& db) { DeleteFolder(db, 0); }));
  std::printf("  %-46s %8.1f ms\n", "delete every other record (folders A, B, A, ..)",
              BestMs(alternating, [](Database& db) { DeleteFolder(db, 0); }));
  std::printf("  %-46s %8.1f ms\n", "delete one record in the middle (200 folders)",
              BestMs(spread, [](Database& db) { DeleteRecordInModel(db, kMaxRecords / 2); }));
  return 0;
}
