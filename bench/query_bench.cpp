// Find and sort with tables of the largest size, beside the plain quadratic
// sorts whose orders they give; then the same through the window, tree and
// list included, and the undo and redo of those sorts.
#include <QApplication>
#include <cstdio>
#include <functional>

#include "../tests/storage/plain_sort.h"
#include "bench_app.h"
#include "bench_timing.h"
#include "forms/designer/mode_switch.h"
#include "query/sort/sorter.h"
#include "shell/navigator.h"
#include "storage/find_logic.h"
#include "storage/navigation_logic.h"
#include "storage/sort_logic.h"

using namespace orbo;

namespace {

constexpr int kSiblingFolders = 5000;

// Titles with many duplicates: "Name 0" to "Name 999", in a scrambled order.
QString Title(int i) { return QStringLiteral("Name %1").arg((i * 7919) % 1000); }

// kMaxRecords records of the first form in folder 0.
void FillRecords(Database& db) {
  SetCount(db, kRecordsKind, kMaxRecords);
  for (int i = 0; i < kMaxRecords; ++i) {
    NewRecord(db, i);
    db.Records[static_cast<std::size_t>(i)].TextValue[0] = Title(i);
  }
  RecountBuffers(db);
}

// kSiblingFolders top-level folders besides folder 0.
void FillFolders(Database& db) {
  SetCount(db, kFoldersKind, kSiblingFolders + 1);
  for (int f = 1; f <= kSiblingFolders; ++f) {
    NewFolder(db, f);
    db.Folders[static_cast<std::size_t>(f)].Name = Title(f);
  }
}

std::vector<QString> Keys(int n) {
  std::vector<QString> keys;
  for (int i = 0; i < n; ++i) keys.push_back(Title(i).toLower());
  return keys;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  BenchApp bench;
  if (!bench.Start(1000, 700)) return 1;
  App& app = bench.app;
  FillRecords(app.db);
  FillFolders(app.db);
  app.Parts().Modes().ToDatabaseMode();

  std::printf("query_bench: %d records in one folder, %d sibling folders\n", kMaxRecords,
              kSiblingFolders);
  const std::vector<QString> recordKeys = Keys(kMaxRecords);
  const std::vector<QString> folderKeys = Keys(kSiblingFolders + 1);
  Row("record order, O(n log n)", Ms([&] { RecordSortOrder(recordKeys, true); }));
  Row("record order, plain selection sort", Ms([&] { plain::RecordSortOrder(recordKeys, true); }));
  Row("folder order, O(n log n)", Ms([&] { FolderSortOrder(folderKeys, true); }));
  Row("folder order, plain exchange sort of n passes",
      Ms([&] { plain::FolderSortOrder(folderKeys, true); }));

  Database model = app.db;
  Row("sort the records in the model",
      Ms([&] { Rearrange(model, RecordSortPermutation(model, 0, false)); }));
  Row("sort the folders in the model",
      Ms([&] { Rearrange(model, FolderSortPermutation(model, TopLevelParent, false)); }));
  FindSettings nowhere{.text = QStringLiteral("absent")};
  Row("find without a hit, text fields", Ms([&] { SearchRecords(model, nowhere, 0); }));
  nowhere.fieldType = -1;
  Row("find without a hit, every field type", Ms([&] { SearchRecords(model, nowhere, 0); }));
  nowhere.wholeWord = true;
  nowhere.text = QStringLiteral("ame");
  Row("find without a hit, whole words (every value holds it)",
      Ms([&] { SearchRecords(model, nowhere, 0); }));

  app.Parts().Navigation().ShowFolder(0);
  Row("window: sort the records of the shown folder",
      Ms([&] { app.Parts().Sorting().Sort(false, 0, true); }));
  Row("window: undo of the record sort", Ms([&] { app.Funnel().Undo(); }));
  Row("window: redo of the record sort", Ms([&] { app.Funnel().Redo(); }));
  Row("window: sort the top-level folders",
      Ms([&] { app.Parts().Sorting().Sort(true, TopLevelParent, true); }));
  Row("window: undo of the folder sort", Ms([&] { app.Funnel().Undo(); }));
  Row("window: redo of the folder sort", Ms([&] { app.Funnel().Redo(); }));
  return 0;
}
