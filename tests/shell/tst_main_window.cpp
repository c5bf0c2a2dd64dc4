// The main window's modes, element tools, title, status bar, splitter, the
// add-record drop-down and help, with real widgets offscreen.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/mode_switch.h"
#include "shell/folder_tree_widget.h"
#include "shell/help_window.h"
#include "shell/navigator.h"
#include "storage/database_commands.h"
#include "test_install.h"

using namespace orbo;

namespace {

struct Fixture : RunningApp {
  MainWindow* window = &app.Parts().Window();
  MainCommands& c = window->Commands();

  bool Visible(const char* menu) { return c.Submenu(menu)->menuAction()->isVisible(); }
  QAction* EditTool(const char* key) { return c.Tool(kEditBar, key); }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void switchingModes() {
    Fixture f;
    QTest::mouseClick(&f.window->StatusPanel("worktype"), Qt::LeftButton);
    QVERIFY(f.app.state.EditMode == WorkMode::Edit);
    QVERIFY(f.c.Bar(kMainBar)->isHidden() && !f.c.Bar(kEditBar)->isHidden());
    QVERIFY(f.EditTool("arrow")->isChecked());
    QVERIFY(!f.window->StatusPanel("grid").isHidden());
    QVERIFY(!f.Visible("mnuDatabase") && f.Visible("mnuEditor"));
    QCOMPARE(f.window->StatusPanel("worktype").text(), f.app.texts.Get(10, 4));
    f.c.Menu("mnuMode2_1")->trigger();  // already there: stays ticked
    QVERIFY(f.c.Menu("mnuMode2_1")->isChecked());

    f.EditTool("workmode")->trigger();
    QVERIFY(f.app.state.EditMode == WorkMode::Database);
    QVERIFY(!f.c.Bar(kMainBar)->isHidden() && f.window->StatusPanel("grid").isHidden());
    QCOMPARE(f.app.state.CurRecord, 0);  // a new database shows its first record
    f.dialogs.savePath = f.install.Path("saved.2db");
    QVERIFY(SaveDatabaseAs(f.app.db, f.app.Storage()));
    f.app.Parts().Modes().Switch(WorkMode::Edit);
    f.app.Parts().Modes().Switch(WorkMode::Database);
    QCOMPARE(f.app.state.CurRecord, -1);  // a saved one opens folder 0
    QCOMPARE(f.app.state.CurFolder, 0);
  }

  // One element tool at a time; a click in the tree picks the database
  // and the arrow, and opens nothing.
  void elementToolsActAsAGroup() {
    Fixture f;
    f.app.Parts().Modes().Switch(WorkMode::Edit);
    f.EditTool("addt")->trigger();
    QCOMPARE(f.app.Parts().Canvas().FormArea().cursor().shape(), Qt::CrossCursor);
    f.EditTool("addc")->trigger();
    QVERIFY(!f.EditTool("addt")->isChecked() && f.EditTool("addc")->isChecked() &&
            !f.EditTool("arrow")->isChecked());
    emit f.window->MainList().itemClicked(f.window->MainList().topLevelItem(0), 0);
    QCOMPARE(f.app.state.SelType, -2);
    QVERIFY(!f.EditTool("addc")->isChecked() && f.EditTool("arrow")->isChecked());
    QCOMPARE(f.app.Parts().Canvas().FormArea().cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.app.state.CurRecord, 0);
  }

  // A toolbar button and its menu item are one command: a click on the
  // button runs it once and ticks both.
  void buttonAndMenuItemAreOneCommand() {
    Fixture f;
    f.app.Parts().Modes().Switch(WorkMode::Edit);
    const bool grid = f.app.settings.ShowGrid;
    auto* button = f.c.Bar(kEditBar)->findChild<QToolButton*>("grid");
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(f.app.settings.ShowGrid, !grid);
    QCOMPARE(f.c.Menu("mnuGrid")->isChecked(), !grid);
    QCOMPARE(button->isChecked(), !grid);
    f.c.Menu("mnuGrid")->trigger();
    QCOMPARE(button->isChecked(), grid);
  }

  // Moving the splitter changes the database; free slots are no records.
  void titleStatusBarAndSplitter() {
    Fixture f;
    f.dialogs.savePath = f.install.Path("mydata.2db");
    QVERIFY(SaveDatabaseAs(f.app.db, f.app.Storage()));
    f.app.db.Records[0].TextValue[0] = "Smith";
    f.app.Parts().Navigation().ShowRecord(0);
    const int before = f.app.db.SplitterPos;
    f.window->onSplitterMoved(400);
    QVERIFY(f.app.db.SplitterPos > before);
    QCOMPARE(f.window->windowTitle(), QString("mydata.2db* - Corvane Database v1.18 - [Smith]"));
    SetCount(f.app.db, kRecordsKind, 10);
    SetCount(f.app.db, kFoldersKind, 3);
    f.app.db.BufferCount = 2;
    f.app.Services().UpdateStatusBar();
    QCOMPARE(f.window->StatusPanel("main").text(),
             f.app.texts.Get(100, 1) + ": 8          " + f.app.texts.Get(100, 2) + ": 3");
  }

  void addRecordDropDown() {
    Fixture f;
    SetCount(f.app.db, kFormsKind, 2);
    f.app.db.Forms[1] = f.app.db.Forms[0];
    f.app.Parts().Modes().ToDatabaseMode();
    QStringList names;
    for (QAction* entry : f.c.AddRecordMenu()->actions())
      names << (entry->isSeparator() ? "-" : entry->objectName());
    QCOMPARE(names, (QStringList{"form0", "form1", "-", "newform"}));
    f.c.AddRecordMenu()->actions()[1]->trigger();
    QCOMPARE(f.app.db.RecordCount, 2);
    QCOMPARE(f.app.db.Records[1].Form, 1);
    QCOMPARE(f.c.Submenu("mnuAddRec")->actions().size(), 2);

    // Inside another command (its question is open) the entries start none.
    f.dialogs.whileAsking = [&] {
      f.c.AddRecordMenu()->actions()[0]->trigger();
      f.c.Submenu("mnuAddRec")->actions()[1]->trigger();
    };
    f.dialogs.answers = {kAnswerCancel};
    f.c.Menu("mnuNew")->trigger();
    QVERIFY(f.dialogs.messages.size() == 1 && !f.dialogs.whileAsking);
    QCOMPARE(f.app.db.RecordCount, 2);
  }

  // An entry of the title field menu made for one form chooses nothing for
  // another: the shown record changed while the menu was filled.
  void titleFieldEntryOfAnotherForm() {
    Fixture f;
    SetCount(f.app.db, kFormsKind, 2);
    f.app.db.Forms[1] = f.app.db.Forms[0];
    f.app.db.Forms[1].ElementCount[kMultiline] = 0;
    f.app.Parts().Modes().ToDatabaseMode();
    QMenu* menu = f.c.Submenu("mnuMainField");
    emit menu->aboutToShow();
    QAction* multiline =
        menu->findChild<QAction*>(QStringLiteral("mnuMainField2_%1").arg(kMultiline * 1000));
    QVERIFY(multiline);
    f.c.AddRecordMenu()->actions()[1]->trigger();
    QCOMPARE(f.app.db.Records[f.app.state.CurRecord].Form, 1);
    const ElementRef title = f.app.db.Forms[1].TitleElement;
    multiline->trigger();
    QCOMPARE(f.app.db.Forms[1].TitleElement, title);
  }

  // Every topic the program opens is in the shipped help.
  void helpTopics() {
    Fixture f;
    QFile page(QStringLiteral(ORBO_SOURCE_DIR "/resources/help/index.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    for (int topic : {10, 11, 13, 16, 17, 18, 19, 20, 21}) {
      QVERIFY2(html.contains(QStringLiteral("id=\"topic%1\"").arg(topic).toUtf8()),
               qPrintable(QString::number(topic)));
    }
    QDir(f.install.Path()).mkpath("help");
    f.install.Copy(page.fileName(), "help/index.html");
    f.c.Menu("mnuHelp2")->trigger();
    auto* help = f.window->findChild<HelpWindow*>("HelpForm");
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->Anchor(), QString("topic11"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
