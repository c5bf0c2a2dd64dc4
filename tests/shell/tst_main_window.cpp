// The main window's modes, toolbars, menus, title, status bar, splitter,
// help and merging, with real widgets offscreen.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QtTest>

#include "forms/form_canvas.h"
#include "shell/app.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "storage/database_commands.h"
#include "test_install.h"

using namespace orbo;

namespace {

struct Fixture : RunningApp {
  MainWindow* window = &app.Window();

  MainCommands& Commands() { return window->Commands(); }
  bool Visible(const char* menu) { return Commands().Submenu(menu)->menuAction()->isVisible(); }
  void SaveAs(const QString& name) {
    dialogs.savePath = install.Path(name);
    QVERIFY(SaveDatabaseAs(app.db, app));
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void switchingModes() {
    Fixture f;
    MainCommands& c = f.Commands();
    c.Menu("mnuMode2_1")->trigger();  // F6
    QCOMPARE(f.app.state.EditMode, 1);
    QVERIFY(c.Bar(kMainBar)->isHidden());
    QVERIFY(!c.Bar(kEditBar)->isHidden());
    QVERIFY(c.Tool(kEditBar, "arrow")->isChecked());
    QVERIFY(!f.window->StatusPanel("grid").isHidden());
    QVERIFY(!f.Visible("mnuDatabase"));
    QVERIFY(f.Visible("mnuEditor"));
    QVERIFY(!c.Submenu("mnuFile")->menuAction()->isEnabled());
    QVERIFY(f.window->windowTitle().endsWith(" - " + f.app.texts.Get(15, 0)));
    QCOMPARE(f.window->StatusPanel("worktype").text(), f.app.texts.Get(10, 4));

    c.Tool(kEditBar, "workmode")->trigger();
    QCOMPARE(f.app.state.EditMode, 0);
    QVERIFY(!c.Bar(kMainBar)->isHidden());
    QVERIFY(f.window->StatusPanel("grid").isHidden());
    QCOMPARE(f.app.state.CurRecord, 0);  // a new database shows record 0

    f.SaveAs("saved.2db");
    f.app.SwitchMode(1);
    f.app.SwitchMode(0);
    QCOMPARE(f.app.state.CurRecord, -1);  // a saved one opens folder 0
    QCOMPARE(f.app.state.CurFolder, 0);
  }

  void ignoredModeSwitches() {
    Fixture f;
    MainCommands& c = f.Commands();
    c.Menu("mnuMode2_0")->trigger();  // already in database mode
    QCOMPARE(f.app.state.EditMode, 0);
    QVERIFY(c.Menu("mnuMode2_0")->isChecked());
    f.app.ShowProgress(10, QString());
    c.Menu("mnuMode2_1")->trigger();
    QCOMPARE(f.app.state.EditMode, 0);
    QVERIFY(!c.Menu("mnuMode2_1")->isChecked());
    f.app.ShowProgress(200, QString());
    QTest::mouseClick(&f.window->StatusPanel("worktype"), Qt::LeftButton);
    QCOMPARE(f.app.state.EditMode, 1);
  }

  void elementToolsActAsAGroup() {
    Fixture f;
    f.app.SwitchMode(1);
    MainCommands& c = f.Commands();
    c.Tool(kEditBar, "addt")->trigger();
    QVERIFY(c.Tool(kEditBar, "addt")->isChecked());
    QVERIFY(!c.Tool(kEditBar, "arrow")->isChecked());
    QCOMPARE(f.app.Canvas().MainPic().cursor().shape(), Qt::CrossCursor);
    c.Tool(kEditBar, "addc")->trigger();
    QVERIFY(!c.Tool(kEditBar, "addt")->isChecked());
    QVERIFY(c.Tool(kEditBar, "addc")->isChecked());
    // A click in the tree picks the database and the arrow, and opens nothing.
    QTreeWidgetItem* folder = f.window->MainList().topLevelItem(0);
    emit f.window->MainList().itemClicked(folder, 0);
    QCOMPARE(f.app.state.SelType, -2);
    QVERIFY(!c.Tool(kEditBar, "addc")->isChecked());
    QCOMPARE(f.app.state.CurRecord, 0);
    c.Tool(kEditBar, "addc")->trigger();
    c.Tool(kEditBar, "arrow")->trigger();
    QVERIFY(!c.Tool(kEditBar, "addc")->isChecked());
    QVERIFY(c.Tool(kEditBar, "arrow")->isChecked());
    QCOMPARE(f.app.Canvas().MainPic().cursor().shape(), Qt::ArrowCursor);
  }

  void titleAndStatusBar() {
    Fixture f;
    f.SaveAs("mydata.2db");
    f.app.db.Records[0].TextValue[0] = "Smith";
    f.app.ShowRecord(0);
    f.app.SetModified(true);
    QCOMPARE(f.window->windowTitle(), QString("mydata.2db* - Corvane Database v1.18 - [Smith]"));
    SetCount(f.app.db, kRecordsKind, 10);
    SetCount(f.app.db, kFoldersKind, 3);
    f.app.db.BufferCount = 2;
    f.app.UpdateStatusBar();
    QCOMPARE(f.window->StatusPanel("main").text(),
             f.app.texts.Get(100, 1) + ": 8          " + f.app.texts.Get(100, 2) + ": 3");
  }

  void addRecordDropDown() {
    Fixture f;
    SetCount(f.app.db, kFormsKind, 2);
    f.app.db.Forms[1] = f.app.db.Forms[0];
    f.app.db.Forms[1].Name = "Second";
    f.app.ToDatabaseMode();
    QMenu* dropDown = f.Commands().AddRecordMenu();
    QStringList names;
    for (QAction* entry : dropDown->actions()) names << (entry->isSeparator() ? "-" : entry->objectName());
    QCOMPARE(names, (QStringList{"form0", "form1", "-", "newform"}));
    dropDown->actions()[1]->trigger();
    QCOMPARE(f.app.db.RecordCount, 2);
    QCOMPARE(f.app.db.Records[1].Form, 1);
    QCOMPARE(f.Commands().Submenu("mnuAddRec")->actions().size(), 2);
  }

  void splitterWidthGoesIntoTheDatabase() {
    Fixture f;
    f.app.SetModified(false);
    const int before = f.app.db.SplitterPos;
    f.window->onSplitterMoved(400);
    QVERIFY(f.app.db.SplitterPos > before);
    QVERIFY(f.app.db.Modified);
  }

  void helpTopics() {
    Fixture f;
    QFile page(QStringLiteral(ORBO_SOURCE_DIR "/resources/help/index.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    for (int topic : {10, 11, 13, 16, 17, 18, 19, 20, 21}) {
      QVERIFY2(html.contains(QStringLiteral("id=\"topic%1\"").arg(topic).toUtf8()), qPrintable(QString::number(topic)));
    }
    QDir(f.install.Path()).mkpath("help");
    f.install.Copy(page.fileName(), "help/index.html");
    f.Commands().Menu("mnuHelp2")->trigger();
    auto* help = f.window->findChild<HelpWindow*>("HelpForm");
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->Anchor(), QString("topic11"));
  }

  void mergeIntoItself() {
    Fixture f;
    f.SaveAs("self.2db");
    const int forms = f.app.db.FormCount;
    const int records = f.app.db.RecordCount;
    const int folders = f.app.db.FolderCount;
    f.dialogs.openPath = f.install.Path("self.2db");
    f.Commands().Menu("mnuImOrbo")->trigger();
    QCOMPARE(f.app.db.FormCount, 2 * forms);
    QCOMPARE(f.app.db.RecordCount, 2 * records);
    QCOMPARE(f.app.db.FolderCount, 2 * folders);
    QCOMPARE(f.app.db.Records[records].Form, forms);
    QCOMPARE(f.app.db.Records[records].Folder, folders);
    QVERIFY(f.app.db.Modified);
    QCOMPARE(f.app.db.DatabasePath, f.install.Path("self.2db"));
    QVERIFY(f.app.Tree().NodeExists("root1"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
