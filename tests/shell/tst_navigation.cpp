// The folder tree and the contents list with real widgets: what the window
// adds to the model's rules (placement, undo steps, marks, drops).
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "forms/icons/icon_picker_dialog.h"
#include "shell/file_commands.h"
#include "shell/folder_tree_model.h"
#include "shell/folder_tree_view.h"
#include "shell/navigator.h"
#include "storage/navigation_logic.h"

using namespace orbo;

namespace {

struct Fixture : RunningApp {
  Database& db = app.db;

  // Folders with the given parents; records with the given folders; text
  // element 0 holds "R" and the index, so titles name the records.
  void Build(const std::vector<int>& parents, const std::vector<int>& recordFolders) {
    SetCount(db, kFoldersKind, static_cast<std::int16_t>(parents.size()));
    for (size_t f = 0; f < parents.size(); ++f) {
      NewFolder(db, static_cast<int>(f));
      db.Folders[f].Parent = static_cast<std::int16_t>(parents[f]);
    }
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(recordFolders.size()));
    for (size_t r = 0; r < recordFolders.size(); ++r) {
      NewRecord(db, static_cast<int>(r));
      db.Records[r].Folder = static_cast<std::int16_t>(recordFolders[r]);
      db.Records[r].TextValue[0] = QStringLiteral("R%1").arg(r);
    }
    RecountBuffers(db);
    app.Parts().Navigation().RefreshTree();
    app.Parts().Navigation().ShowFolder(0);
  }

  QModelIndex Node(const QString& key) { return app.Parts().Tree().IndexOfKey(key); }
  void Expand(const QString& key) { window().MainList().expand(Node(key)); }
  bool Expanded(const QString& key) { return window().MainList().isExpanded(Node(key)); }
  Navigator& nav() { return app.Parts().Navigation(); }
  MainWindow& window() { return app.Parts().Window(); }
};

}  // namespace

class NavigationTest : public QObject {
  Q_OBJECT

 private slots:
  // Typing a folder's name is one undo step; taking it back shows the old
  // name in the header and the list without closing the folders the user
  // opened.
  void typingANameIsOneStep() {
    Fixture f;
    f.Build({-1, 0, -1}, {1, 1});
    f.Expand("root0");
    f.Expand("root1");
    f.nav().ShowFolder(2);
    QLineEdit& name = f.window().RootText();
    name.selectAll();
    const int stepBefore = f.app.Funnel().Stack().Index();
    QTest::keyClicks(&name, "Work");
    QCOMPARE(f.db.Folders[2].Name, QString("Work"));
    QCOMPARE(f.app.Funnel().Stack().Index(), stepBefore + 1);
    f.Trigger("mnuUndo");
    QCOMPARE(f.db.Folders[2].Name, QString("Folder 2"));
    QCOMPARE(name.text(), QString("Folder 2"));
    QVERIFY(f.Expanded("root0") && f.Expanded("root1") && f.Node("item1").isValid());
    const QAbstractItemModel& list = *f.window().ContentsList().model();
    QCOMPARE(list.match(list.index(0, 0), Qt::DisplayRole, "Folder 2", -1, Qt::MatchExactly).size(),
             1);
  }

  // The folders opened belong to the database shown: a load starts with
  // every folder closed, even a load of the same file.
  void aLoadStartsWithEveryFolderClosed() {
    Fixture f;
    f.Build({-1, 0, -1}, {1, 1, 0});
    const QString path = f.install.Path("open.2db");
    f.dialogs.savePath = path;
    SaveDatabaseAs(f.db, f.app.Storage());
    f.Expand("root0");
    f.Expand("root1");
    LoadDatabase(f.db, path, f.app.Storage());
    QCOMPARE(f.db.FolderCount, 3);
    QVERIFY(!f.Expanded("root0") && !f.Expanded("root1"));
  }

  // Choosing a folder's icon is one undo step that keeps the steps before it.
  void choosingAnIconIsOneStep() {
    Fixture f;
    f.Build({-1, -1}, {0});
    f.nav().ShowFolder(1);
    QTest::keyClicks(&f.window().RootText(), "s");
    const int stepBefore = f.app.Funnel().Stack().Index();
    // The icon chosen is one the user imports in the picker.
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.save(f.install.Path("holiday.png"));
    f.dialogs.openPath = f.install.Path("holiday.png");
    const QString chosen = QStringLiteral("New\\holiday.bmp");
    f.dialogs.onModal = [&f, &chosen](QDialog& dialog) {
      auto& picker = static_cast<IconPickerDialog&>(dialog);
      picker.findChild<QPushButton*>("AddIconButt")->click();
      picker.Select(f.window().Icons().IndexOf(chosen) + 1);
      picker.findChild<QPushButton*>("OkButt")->click();
      return picker.result();
    };
    f.window().RootButton("RootImage").click();
    QCOMPARE(f.db.Folders[1].Icon, chosen);
    QCOMPARE(f.app.Funnel().Stack().Index(), stepBefore + 1);
    f.Trigger("mnuUndo");
    QCOMPARE(f.db.Folders[1].Icon, QString("root"));
  }

  // Move to folder: the shown record, else the shown folder, goes into the
  // folder chosen in the tree, as one step; the tree starts where it is
  // now; a folder cannot be chosen for itself or below itself; cancelled,
  // nothing moves.
  void movingThroughTheFolderDialog() {
    Fixture f;
    f.Build({-1, 0, 1, -1}, {0, 3, 3});
    QStringList enabled;
    int startedAt = -1;  // the folder chosen when the dialog opened
    int choose = 3;
    f.dialogs.onModal = [&](QDialog& dialog) {
      auto& tree = Child<QTreeWidget>(dialog, "FolderList");
      const QList<QTreeWidgetItem*> start = tree.selectedItems();
      startedAt = start.isEmpty() ? -1 : start.front()->data(0, Qt::UserRole).toInt();
      enabled.clear();
      for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if (!(*it)->isDisabled()) enabled << (*it)->text(0);
      for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == choose) tree.setCurrentItem(*it);
      Child<QPushButton>(dialog, choose < 0 ? "CancelButt" : "OkButt").click();
      return dialog.result();
    };
    f.nav().ShowRecord(0);
    f.Trigger("mnuMoveTo");
    QCOMPARE(startedAt, 0);
    const int moved = f.app.state.CurRecord;
    QCOMPARE(f.db.Records[moved].Folder, 3);
    QCOMPARE(f.db.Records[moved].TextValue[0], QString("R0"));
    f.Trigger("mnuUndo");
    QCOMPARE(f.db.Records[0].Folder, 0);

    f.nav().ShowFolder(1);
    f.Trigger("mnuMoveTo");
    QCOMPARE(startedAt, 0);       // where the folder is now
    QCOMPARE(enabled.size(), 2);  // folders 0 and 3, not 1 nor 2 below it
    QCOMPARE(f.db.Folders[1].Parent, 3);
    choose = -1;
    f.Trigger("mnuMoveTo");
    QCOMPARE(f.db.Folders[1].Parent, 3);
  }

  // A full table still takes a record where a free slot behind the
  // folder's records holds it; without one the add is refused with the
  // limit's message and nothing changes.
  void aFullTableTakesARecordIntoAFreeSlot() {
    Fixture f;
    std::vector<int> folders(kMaxRecords, 0);
    folders.back() = 1;
    f.Build({-1, -1}, folders);
    f.db.Records[kMaxRecords - 2].Folder = BufferFolder;
    RecountBuffers(f.db);
    f.dialogs.messages.clear();
    QVERIFY(!f.nav().AddRecord(1, 0, false));  // folder 1's record lies behind the slot
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.db.RecordCount, kMaxRecords);
    QCOMPARE(f.db.BufferCount, 1);
    QVERIFY(f.nav().AddRecord(0, 0, false));
    QCOMPARE(f.db.Records[kMaxRecords - 2].Folder, 0);
    QCOMPARE(f.db.RecordCount, kMaxRecords);
    QCOMPARE(f.dialogs.messages.size(), 1);
  }

  // A deleted record's place shows the record below it in the tree, else
  // the one above, else its folder, wherever the deletion moved them.
  void aDeletedRecordShowsItsNeighbour() {
    Fixture f;
    f.Build({-1, -1}, {0, 0, 1, 0});
    const auto shownTitle = [&f] { return f.db.Records[f.app.state.CurRecord].TextValue[0]; };
    f.nav().ShowRecord(1);
    f.nav().DeleteCurrentRecord();
    QCOMPARE(shownTitle(), QString("R3"));
    f.nav().DeleteCurrentRecord();
    QCOMPARE(shownTitle(), QString("R0"));
    f.nav().DeleteCurrentRecord();
    QCOMPARE(f.app.state.CurRecord, -1);
    QCOMPARE(f.app.state.CurFolder, 0);
  }

  // Undoing a step that showed a record goes back to the folder's list,
  // not only to its name in the tree and the title.
  void undoShowsTheListAgain() {
    Fixture f;
    f.Build({-1, -1}, {0, 1});
    f.nav().DropNode("item1", "root0");
    QVERIFY(f.window().CanvasPage().isVisibleTo(&f.window()));
    f.Trigger("mnuUndo");
    QCOMPARE(f.app.state.CurRecord, -1);
    QCOMPARE(f.db.Records[1].Folder, 1);
    QVERIFY(f.window().ContentsList().isVisibleTo(&f.window()));
    QVERIFY(!f.window().CanvasPage().isVisibleTo(&f.window()));
  }

  void dragAndDropKeepsMarks() {
    Fixture f;
    f.Build({-1, 0, 1, -1}, {0, 3, 3});
    f.nav().DropNode("root1", "root3");
    QCOMPARE(f.db.Folders[1].Parent, 3);

    f.nav().ShowFolder(0);
    f.nav().ToggleMark(0);
    f.nav().DropNode("item0", "item2");  // onto a record: into its folder
    const int moved = f.app.state.CurRecord;
    QCOMPARE(f.db.Records[moved].Folder, 3);
    QCOMPARE(f.db.Records[moved].TextValue[0], QString("R0"));
    QVERIFY(f.db.RecordMarks[moved]);
  }
};

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
