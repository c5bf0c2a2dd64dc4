// How long the folder tree and contents list take with a large database:
// 32000 records in one folder and 2000 folders, real widgets offscreen; and
// the quick filter's keys over 31999 records; deleting folders of 32000, of
// 16000 interleaved and of 3000 records, with undo and redo; the records
// of a folder of 32000 as a table.
//   QT_QPA_PLATFORM=offscreen navigation_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

#include "app/main_window.h"
#include "bench_app.h"
#include "query/table/folder_table.h"
#include "shell/navigator.h"
#include "shell/quick_filter_box.h"
#include "shell/record_table_model.h"
#include "storage/navigation_logic.h"

namespace {

template <typename Work>
void Time(const char* what, Work work) {
  QElapsedTimer timer;
  timer.start();
  work();
  QApplication::processEvents();
  std::printf("  %-42s %8.1f ms\n", what, timer.nsecsElapsed() / 1e6);
}

// Folders 0 and 1 at the top; record i lies in folderOf(i). Folder 1 is
// opened, so deleting it is the user's "del".
void FillTwoFolders(orbo::App& app, int records, int (*folderOf)(int)) {
  orbo::Database& db = app.db;
  orbo::SetCount(db, orbo::kFoldersKind, 2);
  for (int f = 0; f < 2; ++f) orbo::NewFolder(db, f);
  orbo::SetCount(db, orbo::kRecordsKind, static_cast<std::int16_t>(records));
  for (int r = 0; r < records; ++r) {
    orbo::NewRecord(db, r);
    db.Records[r].Folder = static_cast<std::int16_t>(folderOf(r));
    db.Records[r].TextValue[0] = QStringLiteral("Record number %1").arg(r);
  }
  orbo::RecountBuffers(db);
  app.Funnel().Reset();
  app.Parts().Navigation().RefreshTree();
  app.Parts().Navigation().ShowFolder(1);
}

// Taking the last step back and doing it again, as the Edit menu does.
void TimeUndoAndRedo(orbo::App& app, const char* undoWhat, const char* redoWhat) {
  orbo::CommandFunnel& funnel = app.Funnel();
  Time(undoWhat, [&] { funnel.Run([&] { funnel.Undo(); }); });
  Time(redoWhat, [&] { funnel.Run([&] { funnel.Redo(); }); });
}

// Each key typed into the quick filter, until the contents list shows the
// matches among the 31999 records of folder 1.
void TimeQuickFilter(orbo::App& app) {
  const auto lastInFolder0 = [](int r) { return r == 31999 ? 0 : 1; };
  FillTwoFolders(app, 32000, lastInFolder0);
  QLineEdit& box = app.Parts().QuickFilterBar().Box();
  const auto typeEach = [&](const char* what, const QString& keys, bool erase) {
    double total = 0;
    double worst = 0;
    for (QChar key : keys) {
      QElapsedTimer timer;
      timer.start();
      if (erase) {
        QTest::keyClick(&box, Qt::Key_Backspace);
      } else {
        QTest::keyClick(&box, key.toLatin1());
      }
      QApplication::processEvents();
      const double ms = timer.nsecsElapsed() / 1e6;
      total += ms;
      worst = std::max(worst, ms);
    }
    std::printf("  %-42s mean %5.1f ms, worst %5.1f ms\n", what, total / keys.size(), worst);
  };
  const QString typed = QStringLiteral("number 12");
  typeEach("quick filter: a key typed (titles)", typed, false);
  typeEach("quick filter: a key erased (titles)", typed, true);
  app.Parts().QuickFilterBar().AllTexts().trigger();
  typeEach("quick filter: a key typed (every text)", typed, false);
  box.clear();
  QApplication::processEvents();
}

void TimeFolderDeletions(orbo::App& app) {
  const auto lastInFolder0 = [](int r) { return r == 31999 ? 0 : 1; };
  const auto interleaved = [](int r) { return r % 2 == 0 ? 1 : 0; };
  FillTwoFolders(app, 32000, lastInFolder0);
  Time("delete a folder of 31999 records", [&] { app.Parts().Navigation().DeleteCurrentFolder(); });
  TimeUndoAndRedo(app, "undo it", "redo it");
  FillTwoFolders(app, 32000, lastInFolder0);
  app.Parts().Navigation().ExpandFolder(1);
  Time("the same with its tree node expanded",
       [&] { app.Parts().Navigation().DeleteCurrentFolder(); });
  FillTwoFolders(app, 32000, interleaved);
  Time("delete a folder of 16000 interleaved records",
       [&] { app.Parts().Navigation().DeleteCurrentFolder(); });
  FillTwoFolders(app, 32000, interleaved);
  for (int f : {0, 1}) app.Parts().Navigation().ExpandFolder(f);
  Time("the same with both folder nodes expanded",
       [&] { app.Parts().Navigation().DeleteCurrentFolder(); });
  TimeUndoAndRedo(app, "undo it", "redo it");
  FillTwoFolders(app, 32000, [](int r) { return r % 10 == 3 && r < 30000 ? 1 : 0; });
  Time("delete a folder of 3000 of 32000 records",
       [&] { app.Parts().Navigation().DeleteCurrentFolder(); });
  TimeUndoAndRedo(app, "undo it", "redo it");
}

// The records as a table: 32000 records of one form in folder 1.
void TimeRecordTable(orbo::App& app) {
  FillTwoFolders(app, 32000, [](int) { return 1; });
  orbo::MainWindow& window = app.Parts().Window();
  std::printf("the records as a table, 32000 records in one folder\n");
  Time("show the table", [&] { window.RootButton("RootTable").click(); });
  Time("open the folder with the table shown", [&] { app.Parts().Navigation().ShowFolder(1); });
  QHeaderView& header = *window.RecordTable().horizontalHeader();
  Time("a header click: by title, descending",
       [&] { header.setSortIndicator(0, Qt::DescendingOrder); });
  Time("order as stored again", [&] { header.setSortIndicator(-1, Qt::AscendingOrder); });
  header.setSortIndicator(0, Qt::DescendingOrder);
  Time("make the order shown the stored one",
       [&] { app.Funnel().Run([&] { app.Parts().Table().SortAsShown(); }); });
  TimeUndoAndRedo(app, "its undo", "its redo");
  Time("add a record with the table shown",
       [&] { app.Parts().Navigation().AddRecord(1, 0, false); });
  QTableView& table = window.RecordTable();
  Time("select every row", [&] { table.selectAll(); });
  std::vector<int> all(app.Parts().Table().Model().Rows());
  Time("move them to another folder",
       [&] { app.Funnel().Run([&] { app.Parts().Navigation().MoveRecordsToFolder(all, 0); }); });
  TimeUndoAndRedo(app, "its undo", "its redo");
  app.Funnel().Run([&] { app.Funnel().Undo(); });
  table.selectAll();
  Time("delete every record shown but one", [&] {
    all = app.Parts().Table().Model().Rows();
    all.pop_back();
    app.Funnel().Run([&] { app.Parts().Navigation().DeleteRecords(all); });
  });
  TimeUndoAndRedo(app, "its undo", "its redo");
  Time("show the list again", [&] { window.RootButton("RootTable").click(); });
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  BenchApp bench;
  if (!bench.Start(1000, 700)) return 1;
  orbo::App& app = bench.app;

  constexpr int kFolders = 2000;
  constexpr int kRecords = 32000;
  constexpr int kBigFolder = 1;
  orbo::Database& db = app.db;
  orbo::SetCount(db, orbo::kFoldersKind, kFolders);
  for (int f = 0; f < kFolders; ++f) {
    orbo::NewFolder(db, f);
    db.Folders[f].Parent = static_cast<std::int16_t>(f < 100 ? -1 : f % 100);
  }
  orbo::SetCount(db, orbo::kRecordsKind, kRecords - 1);
  for (int r = 0; r < kRecords - 1; ++r) {
    orbo::NewRecord(db, r);
    db.Records[r].Folder = kBigFolder;
    db.Records[r].TextValue[0] = QStringLiteral("Record number %1").arg(r);
  }
  orbo::RecountBuffers(db);

  std::printf("navigation_bench: %d records in one folder, %d folders\n", kRecords - 1, kFolders);
  Time("rebuild the tree", [&] { app.Parts().Navigation().RefreshTree(); });
  Time("open the big folder (contents list)",
       [&] { app.Parts().Navigation().ShowFolder(kBigFolder); });
  Time("expand its tree node", [&] { app.Parts().Navigation().ExpandFolder(kBigFolder); });
  Time("add a record to it", [&] { app.Parts().Navigation().AddRecord(kBigFolder, 0, false); });
  Time("show a record in the middle", [&] { app.Parts().Navigation().ShowRecord(kRecords / 2); });
  Time("delete the shown record (free slot)",
       [&] { app.Parts().Navigation().DeleteCurrentRecord(); });
  Time("add a record reusing the free slot",
       [&] { app.Parts().Navigation().AddRecord(kBigFolder, 0, false); });
  Time("delete the last record", [&] {
    app.Parts().Navigation().ShowRecord(db.RecordCount - 1);
    app.Parts().Navigation().DeleteCurrentRecord();
  });
  Time("open the big folder again", [&] { app.Parts().Navigation().ShowFolder(kBigFolder); });
  Time("add a folder", [&] { app.Parts().Navigation().AddFolder(); });
  Time("delete that folder", [&] { app.Parts().Navigation().DeleteCurrentFolder(); });
  TimeQuickFilter(app);
  TimeFolderDeletions(app);
  TimeRecordTable(app);
  return 0;
}
