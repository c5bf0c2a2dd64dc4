// The folder tree and the contents list with real widgets: what the window
// adds to the model's rules (placement, messages, marks, drops).
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/icons/icon_picker_dialog.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "shell/navigator.h"
#include "shell/quick_filter_box.h"
#include "storage/navigation_logic.h"
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
    app.Parts().Navigation().RebuildTree();
    app.Parts().Navigation().ShowFolder(0);
  }

  QTreeWidgetItem* Node(const QString& key) { return app.Parts().Tree().Node(key); }
  Navigator& nav() { return app.Parts().Navigation(); }
  MainWindow& window() { return app.Parts().Window(); }
  void Tool(const char* key) { window().Commands().Tool(kMainBar, key)->trigger(); }
  // The keys of the contents list's entries, top down.
  QStringList Listed() {
    QStringList keys;
    for (int i = 0; i < window().ContentsList().count(); ++i)
      keys << window().ContentsList().item(i)->data(Qt::UserRole).toString();
    return keys;
  }
};

}  // namespace

class NavigationTest : public QObject {
  Q_OBJECT

 private slots:
  // A folder's node is filled when first opened; the list shows the
  // folder's line of folders, a separator, its records, then its sub-folders.
  void folderViewAndLazyTree() {
    Fixture f;
    f.Build({-1, 0, 0, 1}, {1, 0, 1, 1});
    f.window().MainList().collapseAll();  // a rebuild keeps open folders open
    f.nav().RebuildTree();
    QCOMPARE(f.Node("root0")->childCount(), 1);  // a placeholder until expanded
    QVERIFY(!f.app.Parts().Tree().Loaded(0));
    f.window().MainList().expandItem(f.Node("root0"));
    QVERIFY(f.app.Parts().Tree().Loaded(0));

    f.nav().ShowFolder(1);
    QCOMPARE(f.Listed(),
             (QStringList{"root0", "root1", "root2", "xxxx0", "item0", "item2", "item3", "root3"}));
    QCOMPARE(f.window().RootText().text(), QString("Folder 1"));
  }

  void whatCannotBeDeleted() {
    Fixture f;
    f.nav().ShowRecord(0);
    f.Tool("del");
    QCOMPARE(f.db.RecordCount, 1);
    QCOMPARE(f.dialogs.messages, QStringList{f.app.texts.Get(520, 0)});

    f.Build({-1, -1, 0}, {1, 1, 0});
    f.Tool("del");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(620, 0));
    QCOMPARE(f.db.FolderCount, 3);
    f.nav().ShowFolder(1);  // with records: asks first, naming the folder
    f.dialogs.answers = {kAnswerNo};
    f.Tool("del");
    QVERIFY(f.dialogs.messages.last().contains("Folder 1"));
    QCOMPARE(f.db.FolderCount, 3);
    f.Tool("del");
    QCOMPARE(f.db.FolderCount, 2);
    QCOMPARE(f.db.RecordCount, 1);
  }

  void newFolderPlacement() {
    Fixture f;
    f.Build({-1, 0}, {1, 1});
    f.nav().ShowRecord(1);
    f.Tool("addroot");
    QCOMPARE(f.db.Folders[2].Parent, 1);  // under the shown record's folder
    QCOMPARE(f.app.state.CurFolder, 2);
    f.Tool("addroot");
    QCOMPARE(f.db.Folders[3].Parent, 1);  // beside the open folder
    QCOMPARE(f.window().ContentsList().currentItem()->data(Qt::UserRole).toString(),
             QString("root3"));
  }

  void cloning() {
    Fixture f;
    f.Build({-1}, {0, 0});
    f.nav().ShowRecord(1);
    f.Tool("clonerecord");
    QCOMPARE(f.db.RecordCount, 3);
    QCOMPARE(f.db.Records[2].TextValue[0], QString("R1"));
    QCOMPARE(f.app.state.CurRecord, 2);
    f.nav().ShowFolder(0);
    f.Tool("clonerecord");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(650, 0));
  }

  // Typing a folder's name is one undo step; taking it back shows the old
  // name in the header and the list without closing the folders the user
  // opened.
  void typingANameIsOneStep() {
    Fixture f;
    f.Build({-1, 0, -1}, {1, 1});
    f.Node("root0")->setExpanded(true);
    f.Node("root1")->setExpanded(true);
    f.nav().ShowFolder(2);
    QLineEdit& name = f.window().RootText();
    name.selectAll();
    const int stepBefore = f.app.Funnel().Stack().index();
    QTest::keyClicks(&name, "Work");
    QCOMPARE(f.db.Folders[2].Name, QString("Work"));
    QCOMPARE(f.app.Funnel().Stack().index(), stepBefore + 1);
    f.Trigger("mnuUndo");
    QCOMPARE(f.db.Folders[2].Name, QString("Folder 2"));
    QCOMPARE(name.text(), QString("Folder 2"));
    QVERIFY(f.Node("root0")->isExpanded() && f.Node("root1")->isExpanded() && f.Node("item1"));
    QVERIFY(!f.Node("root2")->isExpanded());
    QCOMPARE(f.window().ContentsList().findItems("Folder 2", Qt::MatchExactly).size(), 1);
    QTest::keyClicks(&name, "x");
    QCOMPARE(f.window().ContentsList().findItems("Folder 2x", Qt::MatchExactly).size(), 1);
  }

  // Choosing a folder's icon is one undo step that keeps the steps before it.
  void choosingAnIconIsOneStep() {
    Fixture f;
    f.Build({-1, -1}, {0});
    f.nav().ShowFolder(1);
    QTest::keyClicks(&f.window().RootText(), "s");
    const int stepBefore = f.app.Funnel().Stack().index();
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
    QCOMPARE(f.app.Funnel().Stack().index(), stepBefore + 1);
    f.Trigger("mnuUndo");
    QCOMPARE(f.db.Folders[1].Icon, QString("root"));
    QCOMPARE(f.app.Funnel().Stack().index(), stepBefore);
  }

  // The quick filter lists the records of the folder shown and the folders
  // below it whose title holds the text, never a free slot; the tree marks
  // the folders leading to them; Return opens the first match, Escape gives
  // the folder's contents back. Which records match is the filter logic's.
  void quickFilter() {
    Fixture f;
    f.Build({-1, 0, 1, -1}, {0, 1, 2, 3, 1, BufferFolder});
    f.db.Records[5].TextValue[0] = QStringLiteral("R5, a free slot");
    QuickFilterBox& filter = f.app.Parts().QuickFilterBar();
    const auto listed = [&f] {
      QCoreApplication::processEvents();  // the keys are filtered once they stop
      return f.Listed().filter(QRegularExpression("^item"));
    };
    const auto marked = [&f] {
      QStringList folders;
      for (int folder = 0; folder < 4; ++folder) {
        QTreeWidgetItem* node = f.Node(FolderKey(folder));
        if (node && node->font(0).bold()) folders << FolderKey(folder);
      }
      return folders;
    };
    f.window().MainList().expandAll();
    QTest::keyClicks(&filter.Box(), "r");
    QCOMPARE(listed(), (QStringList{"item0", "item1", "item2", "item4"}));
    QCOMPARE(marked(), (QStringList{"root0", "root1", "root2"}));
    QTest::keyClicks(&filter.Box(), "1");
    QCOMPARE(listed(), QStringList{"item1"});
    QCOMPARE(marked(), (QStringList{"root0", "root1"}));
    QTest::keyClick(&filter.Box(), Qt::Key_Return);
    QCOMPARE(f.app.state.CurRecord, 1);
    f.nav().ShowFolder(0);
    QTest::keyClick(&filter.Box(), Qt::Key_Escape);
    QCOMPARE(filter.Box().text(), QString());
    QCOMPARE(listed(), QStringList{"item0"});
    QCOMPARE(marked(), QStringList());
    QVERIFY(!f.db.Modified);
  }

  void dragAndDropKeepsMarks() {
    Fixture f;
    f.Build({-1, 0, 1, -1}, {0, 3, 3});
    f.nav().DropNode("root1", "root3");
    QCOMPARE(f.db.Folders[1].Parent, 3);

    f.nav().ShowFolder(0);
    f.app.Parts().Tree().Reveal(f.db, "item0");
    f.nav().ToggleMark(0);
    QVERIFY(f.Node("item0")->font(0).bold());
    QVERIFY(f.window().ContentsList().findItems("R0", Qt::MatchExactly).value(0)->font().bold());
    f.nav().DropNode("item0", "item2");  // onto a record: into its folder
    const int moved = f.app.state.CurRecord;
    QCOMPARE(f.db.Records[moved].Folder, 3);
    QCOMPARE(f.db.Records[moved].TextValue[0], QString("R0"));
    QVERIFY(f.db.RecordMarks[moved]);
    QVERIFY(f.Node(RecordKey(moved))->font(0).bold());
  }
};

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
