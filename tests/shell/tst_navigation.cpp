// The folder tree and the contents list with real widgets: opening, stepping,
// adding and deleting records and folders, marks, moves and drag and drop.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "shell/app.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "shell/main_window.h"
#include "shell/navigation_logic.h"
#include "storage/database_file.h"
#include "test_install.h"

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
    app.RebuildTree();
    app.ShowFolder(0);
  }

  QTreeWidgetItem* Node(const QString& key) { return app.Tree().Node(key); }
  QStringList ChildKeys(const QString& key) {
    QStringList keys;
    QTreeWidgetItem* node = Node(key);
    for (int i = 0; node && i < node->childCount(); ++i) keys << FolderTree::KeyOf(node->child(i));
    return keys;
  }
  QStringList ListKeys() {
    QStringList keys;
    QListWidget& list = app.Window().ListView1();
    for (int i = 0; i < list.count(); ++i) keys << list.item(i)->data(Qt::UserRole).toString();
    return keys;
  }
  void Tool(const char* key) { app.Window().Commands().Tool(kMainBar, key)->trigger(); }
};

}  // namespace

class NavigationTest : public QObject {
  Q_OBJECT

 private slots:
  void steppingButtons() {
    Fixture f;
    f.Build({-1, -1, -1}, {0, 2, 0, 2});
    f.app.ShowRecord(1);
    f.Tool("dbnext");
    QCOMPARE(f.app.state.CurRecord, 3);
    f.Tool("dbfirst");
    QCOMPARE(f.app.state.CurRecord, 1);
    f.Tool("tofolder");
    QCOMPARE(f.app.state.CurRecord, -1);
    QCOMPARE(f.app.state.CurFolder, 2);
    QVERIFY(!f.app.Window().Commands().Tool(kMainBar, "dbnext")->isEnabled());
  }

  void folderViewAndLazyTree() {
    Fixture f;
    f.Build({-1, 0, 0, 1}, {1, 0, 1, 1});
    f.db.MaxListString = 4;
    f.db.Folders[2].Name = "A long folder name";
    f.app.RebuildTree();
    QCOMPARE(f.ChildKeys("root0"), QStringList{f.ChildKeys("root0")[0]});  // the placeholder only
    QVERIFY(!f.app.Tree().Loaded(0));
    f.app.Window().MainList().expandItem(f.Node("root0"));
    QCOMPARE(f.ChildKeys("root0"), (QStringList{"root1", "root2", "item1"}));
    QCOMPARE(f.Node("root2")->text(0), QString("A lo.."));

    f.app.ShowFolder(1);
    QCOMPARE(f.ListKeys(), (QStringList{"root0", "root1", "root2", "xxxx0", "item0", "item2", "item3", "root3"}));
    QCOMPARE(f.app.Window().RootText().text(), QString("Folder 1"));
    f.app.ShowFolder(2);
    QCOMPARE(f.app.Window().RootText().text(), QString("A long folder name"));
  }

  void deletingRecordsAndReusingTheFreeSlot() {
    Fixture f;
    std::vector<int> folders(30, 1);
    folders[0] = folders[1] = 0;
    f.Build({-1, -1}, folders);
    // Near the end: the table shrinks and later nodes are renumbered.
    f.app.ShowRecord(27);
    f.Tool("del");
    QCOMPARE(f.db.RecordCount, 29);
    QVERIFY(f.app.Tree().NodeExists("item28"));
    QVERIFY(!f.app.Tree().NodeExists("item29"));
    QCOMPARE(f.app.Tree().Node("item27")->text(0), QString("R28"));

    // More than 20 before the end: the slot stays free.
    f.app.ShowRecord(2);
    f.Tool("del");
    QCOMPARE(f.db.RecordCount, 29);
    QCOMPARE(f.db.BufferCount, 1);
    QCOMPARE(f.db.Records[2].Folder, BufferFolder);
    QCOMPARE(f.app.Window().StatusPanel("main").text().section(':', 1, 1).trimmed().section(' ', 0, 0),
             QString("28"));
    // Folder 0's records all lie before the slot, so a new one reuses it.
    f.app.ShowFolder(0);
    QVERIFY(f.app.AddRecord(0, 0, false));
    QCOMPARE(f.app.state.CurRecord, 2);
    QCOMPARE(f.db.BufferCount, 0);
    QVERIFY(f.db.Modified);
  }

  // Deleting moves records of other folders into the hole: every node
  // must follow its record, in the tree as in the model.
  void nodesFollowTheRecordsThatMove() {
    Fixture f;
    std::vector<int> folders;
    for (int r = 0; r < 40; ++r) folders.push_back(r % 3);
    f.Build({-1, -1, -1}, folders);
    for (int k = 0; k < 3; ++k) f.app.Window().MainList().expandItem(f.Node(FolderKey(k)));
    for (int r : {0, 5, 17, 30, 3}) {
      f.app.ShowRecord(r);
      f.Tool("del");
    }
    QVERIFY(f.db.Records[0].TextValue[0] != "R0");  // records moved down
    for (int r = 0; r < f.db.RecordCount; ++r) {
      if (f.db.Records[r].Folder == BufferFolder) {
        QVERIFY(!f.app.Tree().NodeExists(RecordKey(r)));
        continue;
      }
      QTreeWidgetItem* node = f.Node(RecordKey(r));
      QVERIFY(node);
      QCOMPARE(node->text(0), f.db.Records[r].TextValue[0]);
      QCOMPARE(FolderTree::KeyOf(node->parent()), FolderKey(f.db.Records[r].Folder));
    }
  }

  // Record 0 becomes a free slot. The mode switch used to show it, which
  // made the current folder -100, the next folder's parent -100 and the
  // saved file unreadable.
  void aFreeSlotIsNeverShown() {
    Fixture f;
    f.Build({-1}, std::vector<int>(25, 0));
    f.app.ShowRecord(0);
    f.Tool("del");
    QCOMPARE(f.db.Records[0].Folder, BufferFolder);
    f.app.Window().Commands().Menu("mnuMode2_1")->trigger();
    f.app.Window().Commands().Menu("mnuMode2_0")->trigger();
    QCOMPARE(f.app.state.CurRecord, 1);
    QCOMPARE(f.app.state.CurFolder, 0);
    f.Tool("addroot");
    QCOMPARE(f.db.Folders[1].Parent, 0);
    f.dialogs.savePath = f.install.Path("slot.2db");
    f.app.Window().Commands().Menu("mnuSave")->trigger();
    QVERIFY(!f.db.Modified);
    CodePage codePage;
    QCOMPARE(ReadDatabaseFile(f.install.Path("slot.2db"), codePage, {}).status, ReadOutcome::kLoaded);
  }

  void theLastRecordAndFolderStay() {
    Fixture f;
    f.app.ShowRecord(0);
    f.Tool("del");
    QCOMPARE(f.db.RecordCount, 1);
    QCOMPARE(f.dialogs.messages, QStringList{f.app.texts.Get(520, 0)});
    f.app.ShowFolder(0);
    f.Tool("del");
    QCOMPARE(f.db.FolderCount, 1);
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(600, 0));
  }

  void deletingFolders() {
    Fixture f;
    f.Build({-1, -1, 0, -1, 3, 4}, {4, 5, 0, 3, 5});
    f.app.ShowFolder(3);
    f.Tool("del");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(620, 0));
    QCOMPARE(f.db.FolderCount, 6);

    // Folder 2 is empty and childless; 4 and 5 become 3 and 4... after 3 goes.
    f.app.ShowFolder(5);
    f.dialogs.answers = {kAnswerNo};
    f.Tool("del");
    QCOMPARE(f.db.FolderCount, 6);  // the question was declined
    QVERIFY(f.dialogs.messages.last().contains("Folder 5"));
    f.dialogs.answers = {kAnswerYes};
    f.app.ShowFolder(5);
    f.Tool("del");
    QCOMPARE(f.db.FolderCount, 5);
    QCOMPARE(f.db.RecordCount, 3);
    f.app.ShowFolder(2);
    f.Tool("del");
    QCOMPARE(f.db.FolderCount, 4);
    QCOMPARE(f.db.Folders[3].Parent, 2);  // old folder 4 under old folder 3
    QCOMPARE(f.db.Records[0].Folder, 3);  // the record of old folder 4
    QVERIFY(f.app.Tree().NodeExists("root3"));
    QVERIFY(!f.app.Tree().NodeExists("root4"));
  }

  void newFolderPlacement() {
    Fixture f;
    f.Build({-1, 0}, {1, 1});
    f.app.ShowRecord(1);
    f.Tool("addroot");
    QCOMPARE(f.db.FolderCount, 3);
    QCOMPARE(f.db.Folders[2].Parent, 1);  // under the shown record's folder
    QCOMPARE(f.app.state.CurFolder, 2);
    f.Tool("addroot");
    QCOMPARE(f.db.Folders[3].Parent, 1);  // beside the open folder
    QCOMPARE(f.app.Window().ListView1().currentItem()->data(Qt::UserRole).toString(), QString("root3"));
  }

  void folderHeader() {
    Fixture f;
    f.Build({-1, -1, 0, 0}, {2, 3});
    f.app.ShowFolder(3);
    f.app.Window().RootButton("RootUp").click();
    QCOMPARE(f.db.Folders[2].Name, QString("Folder 3"));
    QCOMPARE(f.db.Records[1].Folder, 2);  // the record followed its folder
    QCOMPARE(f.db.Records[0].Folder, 3);
    QCOMPARE(f.app.state.CurFolder, 2);
    f.app.Window().RootButton("RootToRootButt").click();
    QCOMPARE(f.db.Folders[2].Parent, -1);
    QTest::keyClicks(&f.app.Window().RootText(), "!");
    QCOMPARE(f.db.Folders[2].Name, QString("Folder 3!"));
    QCOMPARE(f.Node("root2")->text(0), QString("Folder 3!"));
  }

  void marksAndCloning() {
    Fixture f;
    f.Build({-1}, {0, 0});
    f.app.Tree().Reveal(f.db, "item1");
    f.app.ToggleMark(1);
    QVERIFY(f.Node("item1")->font(0).bold());
    QVERIFY(f.app.Window().ListView1().item(f.ListKeys().indexOf("item1"))->font().bold());
    f.app.ShowRecord(1);
    f.Tool("clonerecord");
    QCOMPARE(f.db.RecordCount, 3);
    QCOMPARE(f.db.Records[2].TextValue[0], QString("R1"));
    QCOMPARE(f.app.state.CurRecord, 2);
    f.app.ShowFolder(0);
    f.Tool("clonerecord");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(650, 0));
  }

  void dragAndDrop() {
    Fixture f;
    f.Build({-1, 0, 1, -1}, {0, 3, 3});
    f.app.DropNode("root0", "root2");  // into its own sub-tree
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(610, 0));
    QCOMPARE(f.db.Folders[0].Parent, -1);
    f.app.DropNode("root1", "root1");
    QCOMPARE(f.db.Folders[1].Parent, 0);
    f.app.DropNode("root1", "root3");
    QCOMPARE(f.db.Folders[1].Parent, 3);
    QVERIFY(f.db.Modified);

    f.db.RecordMarks[0] = true;
    f.app.DropNode("item0", "item2");  // onto a record: into its folder
    const int moved = f.app.state.CurRecord;
    QCOMPARE(f.db.Records[moved].Folder, 3);
    QCOMPARE(f.db.Records[moved].TextValue[0], QString("R0"));
    QVERIFY(f.db.RecordMarks[moved]);
    QVERIFY(f.Node(RecordKey(moved))->font(0).bold());
  }
};

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
