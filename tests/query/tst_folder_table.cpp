// The records as a table in the window: the folder header's toggle and its
// setting, an order by a column that changes nothing stored, made the
// stored order as one undo step, and a row that opens its record.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QShortcut>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "query/table/folder_table.h"
#include "shell/navigator.h"
#include "shell/record_table_model.h"
#include "shell/settings_store.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

using namespace orbo;

namespace {

struct Fixture : RunningApp {
  Database& db = app.db;

  // Folder 0 with records titled by texts, in that stored order.
  void Build(const QStringList& titles) {
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(titles.size()));
    for (int r = 0; r < titles.size(); ++r) {
      NewRecord(db, r);
      db.Records[r].Folder = 0;
      db.Records[r].TextValue[0] = titles[r];
    }
    RecountBuffers(db);
    app.Parts().Navigation().RefreshTree();
    app.Parts().Navigation().ShowFolder(0);
  }

  QStringList Shown() {
    QStringList titles;
    const RecordTableModel& model = app.Parts().Table().Model();
    for (int row = 0; row < model.rowCount(); ++row)
      titles << model.index(row, 0).data().toString();
    return titles;
  }

  QStringList Stored() {
    QStringList titles;
    for (int r : RecordsOf(db, 0)) titles << RecordTitle(db, r);
    return titles;
  }

  MainWindow& window() { return app.Parts().Window(); }
  // An entry of the table's menu.
  void TableCommand(const char* name) {
    window().findChild<QAction*>(QString::fromLatin1(name))->trigger();
  }
  QHeaderView& header() { return *window().RecordTable().horizontalHeader(); }
};

}  // namespace

class FolderTableTest : public QObject {
  Q_OBJECT

 private slots:
  // The toggle puts the table in the list's place and back, and the choice
  // is written with the settings.
  void theToggleShowsTheTableAndIsRemembered() {
    Fixture f;
    f.Build({"b", "a"});
    QToolButton& toggle = f.window().RootButton("RootTable");
    const auto* views = qobject_cast<QStackedWidget*>(f.window().ContentsList().parentWidget());
    QVERIFY(views && views->currentWidget() == &f.window().ContentsList());
    toggle.click();
    QVERIFY(views->currentWidget()->isAncestorOf(&f.window().RecordTable()));
    QVERIFY(f.app.settings.RecordTable);
    SaveIni(f.app.Files(), f.install.SettingsPath(), f.app.settings);
    AppSettings read;
    LoadIni(f.app.Files(), f.install.SettingsPath(), &read);
    QVERIFY(read.RecordTable);
    toggle.click();
    QVERIFY(views->currentWidget() == &f.window().ContentsList());
    QVERIFY(!f.app.settings.RecordTable);
  }

  // The next start shows what was chosen, and the table's words are the
  // language file's.
  void aStartShowsTheChoiceInWords() {
    TestInstall install;
    FakeDialogs dialogs;
    {
      App first{install.Path(), install.SettingsPath(), dialogs};
      first.Main("x");
      first.Parts().Window().RootButton("RootTable").click();
      SaveIni(first.Files(), install.SettingsPath(), first.settings);
    }
    App next{install.Path(), install.SettingsPath(), dialogs};
    next.Main("x");
    MainWindow& window = next.Parts().Window();
    QVERIFY(window.RootButton("RootTable").isChecked());
    const auto* views = qobject_cast<QStackedWidget*>(window.ContentsList().parentWidget());
    QVERIFY(views->currentWidget()->isAncestorOf(&window.RecordTable()));
    QVERIFY(!window.RootButton("RootTable").toolTip().isEmpty());
    for (const char* name : {"mnuSortAsShown", "mnuTableDelete", "mnuTableMark", "mnuTableMove"})
      QVERIFY(!window.findChild<QAction*>(QString::fromLatin1(name))->text().isEmpty());
  }

  // A header click orders the rows, a second the other way, a third as
  // stored; the database is not changed. Made the stored order it is one
  // undo step, which takes it back.
  void aColumnOrderBecomesTheStoredOrderAsOneStep() {
    Fixture f;
    f.Build({"b", "C", "a"});
    f.header().setSortIndicator(0, Qt::AscendingOrder);
    QCOMPARE(f.Shown(), QStringList({"a", "b", "C"}));
    f.header().setSortIndicator(0, Qt::DescendingOrder);
    QCOMPARE(f.Shown(), QStringList({"C", "b", "a"}));
    QVERIFY(!f.app.Funnel().Modified());
    f.header().setSortIndicator(-1, Qt::AscendingOrder);
    QCOMPARE(f.Shown(), QStringList({"b", "C", "a"}));

    f.header().setSortIndicator(0, Qt::AscendingOrder);
    QVERIFY(f.app.Funnel().Run([&] { f.app.Parts().Table().SortAsShown(); }));
    QCOMPARE(f.Stored(), QStringList({"a", "b", "C"}));
    QCOMPARE(f.header().sortIndicatorSection(), -1);
    QCOMPARE(f.Shown(), QStringList({"a", "b", "C"}));
    QCOMPARE(f.app.Funnel().Stack().Count(), 1);
    f.Trigger("mnuUndo");
    QCOMPARE(f.Stored(), QStringList({"b", "C", "a"}));
    QCOMPARE(f.Shown(), QStringList({"b", "C", "a"}));
    QVERIFY(!f.app.Funnel().Modified());
  }

  // Selected records are marked, unmarked, moved and deleted, each as one
  // step that undo takes back whole; moved, they follow the folder's own
  // records in their stored order with their marks. Every record of the
  // table is not deleted.
  void severalRecordsAtOnce() {
    Fixture f;
    f.Build({"a", "b", "c", "d"});
    SetCount(f.db, kFoldersKind, 2);
    NewFolder(f.db, 1);
    SetCount(f.db, kRecordsKind, 5);
    NewRecord(f.db, 4);
    f.db.Records[4].Folder = 1;
    f.db.Records[4].TextValue[0] = "e";
    RecountBuffers(f.db);
    f.app.Parts().Navigation().RefreshTree();
    f.app.Parts().Navigation().ShowFolder(0);
    QTableView& table = f.window().RecordTable();
    const auto select = [&](std::initializer_list<int> rows) {
      table.clearSelection();
      for (int row : rows)
        table.selectionModel()->select(table.model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    const Database before = f.db;
    f.window().RootButton("RootTable").click();
    select({3, 1});
    QCOMPARE(f.window().TableSelection().text(), QString("2 of 4 records selected"));
    QVERIFY(f.window().TableSelection().isVisibleTo(&f.window()));
    f.TableCommand("mnuTableMark");
    QVERIFY(f.db.RecordMarks[1] && f.db.RecordMarks[3] && !f.db.RecordMarks[0]);
    select({1, 2});
    f.TableCommand("mnuTableMark");
    QVERIFY(f.db.RecordMarks[2]);
    f.TableCommand("mnuTableMark");
    QVERIFY(!f.db.RecordMarks[1] && !f.db.RecordMarks[2] && f.db.RecordMarks[3]);
    QCOMPARE(f.app.Funnel().Stack().Count(), 3);

    select({3, 0});
    f.app.Parts().Navigation().MoveRecordsToFolder({3, 0}, 1);
    QCOMPARE(f.Stored(), QStringList({"b", "c"}));
    QStringList moved;
    for (int r : RecordsOf(f.db, 1))
      moved << RecordTitle(f.db, r) + (f.db.RecordMarks[r] ? "*" : "");
    QCOMPARE(moved, QStringList({"e", "a", "d*"}));
    QCOMPARE(f.Shown(), QStringList({"b", "c"}));

    select({0, 1});
    auto* deleteKey = table.findChild<QShortcut*>();
    QCOMPARE(deleteKey->key(), QKeySequence(QKeySequence::Delete));
    emit deleteKey->activated();
    QCOMPARE(f.Stored(), QStringList());
    QCOMPARE(f.app.Funnel().Stack().Count(), 5);
    for (int step = 0; step < 5; ++step) f.Trigger("mnuUndo");
    QVERIFY(f.db.Records == before.Records && f.db.RecordMarks == before.RecordMarks);
    QCOMPARE(f.Shown(), QStringList({"a", "b", "c", "d"}));

    QVERIFY(!f.app.Parts().Navigation().DeleteRecords({0, 1, 2, 3, 4}));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.db.RecordCount, 5);
  }

  // At the record limit a move that would grow the table is refused after
  // saying so, the records where they were; one that fits is done, and no
  // record is lost either way.
  void aMoveAtTheLimitLosesNothing() {
    Fixture f;
    QStringList titles;
    for (int r = 0; r < kMaxRecords; ++r) titles << QString::number(r);
    f.Build(titles);
    SetCount(f.db, kFoldersKind, 4);
    for (int folder : {1, 2, 3}) NewFolder(f.db, folder);
    QRandomGenerator random(46);
    for (int r = 0; r < kMaxRecords; ++r) f.db.Records[r].Folder = std::int16_t(random.bounded(3));
    Navigator& navigator = f.app.Parts().Navigation();
    // An empty folder shown: the lists need not follow thousands of records.
    navigator.RefreshTree();
    navigator.ShowFolder(3);
    int refused = 0;
    for (int trial = 0; trial < 8; ++trial) {
      const Database before = f.db;
      std::vector<int> moved;
      for (int r = 0; r < f.db.RecordCount; ++r) {
        if (f.db.Records[r].Folder != BufferFolder && random.bounded(trial % 2 ? 30 : 300) == 0)
          moved.push_back(r);
      }
      const int folder = random.bounded(3);
      const auto messages = f.dialogs.messages.size();
      QVERIFY(f.app.Funnel().Run([&] { navigator.MoveRecordsToFolder(moved, folder); }));
      QVERIFY(f.db.RecordCount <= kMaxRecords);
      QCOMPARE(f.db.RecordCount - f.db.BufferCount, before.RecordCount - before.BufferCount);
      if (f.dialogs.messages.size() > messages) {
        ++refused;
        QVERIFY(f.db.Records == before.Records && f.db.RecordMarks == before.RecordMarks);
      }
    }
    // Both ways were taken.
    QVERIFY(refused > 0 && refused < 8);
  }

  // Return or a double click on a row opens its record.
  void aRowOpensItsRecord() {
    Fixture f;
    f.Build({"b", "a"});
    f.window().RecordTable().setFocus();
    emit f.window().RecordTable().activated(f.app.Parts().Table().Model().index(1, 0));
    QCOMPARE(f.app.state.CurRecord, 1);
  }
};

QTEST_MAIN(FolderTableTest)
#include "tst_folder_table.moc"
