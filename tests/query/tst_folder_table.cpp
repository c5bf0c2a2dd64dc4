// The records as a table in the window: the folder header's toggle and its
// setting, an order by a column that changes nothing stored, made the
// stored order as one undo step, and a row that opens its record.
#include <QComboBox>
#include <QHeaderView>
#include <QListView>
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
