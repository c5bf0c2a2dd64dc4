// The main window's mode switch, the tree in edit mode, the splitter, the
// add-record and title field entries and help, with real widgets offscreen.
#include <QAction>
#include <QContextMenuEvent>
#include <QDialog>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "../test_install.h"
#include "../window_actions.h"
#include "app/app.h"
#include "app/app_services.h"
#include "app/main_window.h"
#include "forms/designer/mode_switch.h"
#include "shell/file_commands.h"
#include "shell/folder_tree_view.h"
#include "shell/help_pages.h"
#include "shell/missing_files_offer.h"
#include "storage/model_defaults.h"

using namespace orbo;

namespace {

struct Fixture : RunningApp {
  MainWindow* window = &app.Parts().Window();
  MainCommands& c = window->Commands();

  void SwitchThereAndBack() {
    app.Parts().Modes().Switch(WorkMode::Edit);
    app.Parts().Modes().Switch(WorkMode::Database);
  }
};

// Where two entries of actions, or of a menu below them, share an
// accelerator letter: "menu: Entry / Other".
void AddAcceleratorClashes(const QString& where, const QList<QAction*>& actions,
                           QStringList& clashes) {
  QHash<QKeySequence, QString> taken;
  for (const QAction* action : actions) {
    if (action->isSeparator()) continue;
    const QKeySequence key = QKeySequence::mnemonic(action->text());
    if (!key.isEmpty()) {
      if (taken.contains(key)) clashes << where + ": " + taken.value(key) + " / " + action->text();
      taken.insert(key, action->text());
    }
    if (action->menu()) AddAcceleratorClashes(action->text(), action->menu()->actions(), clashes);
  }
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Back in database mode a new database shows its first record, a saved
  // one its root folder. Moving the splitter changes the database.
  void switchingModes() {
    Fixture f;
    f.SwitchThereAndBack();
    QCOMPARE(f.app.state.CurRecord, 0);
    f.dialogs.savePath = f.install.Path("saved.2db");
    QVERIFY(SaveDatabaseAs(f.app.db, f.app.Storage()));
    f.SwitchThereAndBack();
    QCOMPARE(f.app.state.CurRecord, -1);
    QCOMPARE(f.app.state.CurFolder, 0);
    const int before = f.app.db.SplitterPos;
    f.window->onSplitterMoved(400);
    QVERIFY(f.app.db.SplitterPos > before);
  }

  // Alt and a letter reach one entry: no two entries of the menu bar, or of
  // one menu, share a letter, in any language.
  void noAcceleratorLetterIsUsedTwice() {
    Fixture f;
    const QList<QAction*> languages = f.c.Submenu("mnuLang")->actions();
    QVERIFY(languages.size() >= 2);
    for (QAction* language : languages) {
      language->trigger();
      QStringList clashes;
      AddAcceleratorClashes("menu bar", f.window->menuBar()->actions(), clashes);
      QVERIFY2(clashes.isEmpty(), qPrintable(language->text() + ": " + clashes.join("; ")));
    }
  }

  // Qt's own words, such as the standard dialogs' buttons, follow the
  // language chosen; the note on the choice is in the new language.
  void theStandardDialogsSpeakTheLanguageChosen() {
    Fixture f;
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    QCOMPARE(cancel(), QString("Cancel"));
    f.c.Submenu("mnuLang")->actions().last()->trigger();
    QCOMPARE(cancel(), QString::fromUtf8("\u041e\u0442\u043c\u0435\u043d\u0430"));
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(995, 1));
    f.c.Submenu("mnuLang")->actions().first()->trigger();
    QCOMPARE(cancel(), QString("Cancel"));
  }

  // Ctrl+W closes the database, after the question on unsaved changes,
  // and leaves a new one as a start without a file does; Cancel keeps it.
  void closingLeavesANewDatabase() {
    Fixture f;
    f.window->show();
    Database& db = f.app.db;
    f.dialogs.savePath = f.install.Path("kept.2db");
    SaveDatabaseAs(db, f.app.Storage());
    f.c.Menu("mnuAddFolder")->trigger();
    const int folders = db.FolderCount;
    f.dialogs.answers = {kAnswerCancel};
    QTest::keySequence(f.window, QKeySequence::Close);
    QCOMPARE(db.FolderCount, folders);
    QCOMPARE(db.DatabasePath, f.install.Path("kept.2db"));
    f.dialogs.answers = {kAnswerNo};
    QTest::keySequence(f.window, QKeySequence::Close);
    QCOMPARE(db.DatabasePath, QString("noname"));
    QCOMPARE(db.FolderCount, 1);
    QVERIFY(!db.Modified);
  }

  // A new database's example speaks the interface's language, in texts its
  // code page holds.
  void theNewDatabaseSpeaksTheLanguageChosen() {
    Fixture f;
    f.c.Submenu("mnuLang")->actions().last()->trigger();
    f.c.Menu("mnuNew")->trigger();
    const Database& db = f.app.db;
    QCOMPARE(db.Folders[0].Name, QString::fromUtf8("\u041f\u0440\u043e\u0441\u0442\u0430\u044f "
                                                   "\u043f\u0430\u043f\u043a\u0430"));
    QVERIFY(db.Records[0].MemoValue[0].startsWith(f.app.texts.Get(997, 1) + "\r\n\r\n"));
    QCOMPARE(db.CodePageName, QString("windows-1251"));
  }

  // Without the toolbar or the mouse, keys step through the folder's
  // records, mark them and go back to the folder.
  void keysStepThroughTheRecords() {
    Fixture f;
    f.c.Menu("mnuAddSameRec")->trigger();
    f.c.Menu("mnuAddSameRec")->trigger();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window));
    const auto press = [&](Qt::Key key, Qt::KeyboardModifier modifier) {
      QTest::keyClick(f.window, key, modifier);
      return f.app.state.CurRecord;
    };
    QCOMPARE(press(Qt::Key_Home, Qt::AltModifier), 0);
    QCOMPARE(press(Qt::Key_PageDown, Qt::ControlModifier), 1);
    QCOMPARE(press(Qt::Key_End, Qt::AltModifier), 2);
    QCOMPARE(press(Qt::Key_PageUp, Qt::ControlModifier), 1);
    press(Qt::Key_M, Qt::ControlModifier);
    QVERIFY(f.app.db.RecordMarks[1]);
    QCOMPARE(press(Qt::Key_Up, Qt::AltModifier), -1);
    // In the folder's list the menu key marks the record chosen there.
    auto* list = f.window->findChild<QListView*>("ListView1");
    const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
    list->setFocus();
    list->setCurrentIndex(last);
    const QPoint at = list->visualRect(last).center();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &menuKey);
    QVERIFY(f.app.db.RecordMarks[2]);
    QVERIFY(last.data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!f.c.Menu("mnuMarkRec")->isEnabled());
  }

  // A database whose pictures are not where it says tells how many are
  // missing; the files found in the folder the user names replace the
  // names only when agreed, as one undo step.
  void missingPicturesAreLookedFor() {
    Fixture f;
    Database& db = f.app.db;
    ApplyNewElementDefaults(db.Forms[0], kImage, 0, f.app.settings.DefaultFont);
    db.Forms[0].ElementCount[kImage] = 1;
    db.Records[0].ImageValue[0] = "\\pics\\sea.png";
    f.dialogs.savePath = f.install.Path("moved.2db");
    SaveDatabaseAs(db, f.app.Storage());
    QVERIFY(QDir().mkpath(f.install.Path("found")));
    QFile picture(f.install.Path("found/sea.png"));
    QVERIFY(picture.open(QIODevice::WriteOnly));
    f.dialogs.folderPath = f.install.Path("found");

    f.dialogs.answers = {kAnswerNo};
    OpenDatabase(f.app.Context(), f.app.Storage(), f.install.Path("moved.2db"));
    QVERIFY(f.dialogs.messages.last().contains("sea.png"));
    QCOMPARE(db.Records[0].ImageValue[0], QString("\\pics\\sea.png"));
    QVERIFY(!db.Modified);

    f.dialogs.answers = {kAnswerYes, kAnswerNo};
    OpenDatabase(f.app.Context(), f.app.Storage(), f.install.Path("moved.2db"));
    QCOMPARE(db.Records[0].ImageValue[0], QString("\\pics\\sea.png"));

    f.dialogs.answers = {kAnswerYes, kAnswerYes};
    OpenDatabase(f.app.Context(), f.app.Storage(), f.install.Path("moved.2db"));
    QCOMPARE(db.Records[0].ImageValue[0], QString("\\found\\sea.png"));
    QVERIFY(db.Modified);
    f.c.Menu("mnuUndo")->trigger();
    QCOMPARE(db.Records[0].ImageValue[0], QString("\\pics\\sea.png"));
  }

  // Every command the window holds can be reached without the mouse: from
  // a menu (F10 or Alt opens the menu bar), by a key of its own, or as the
  // button twin of a menu item; the selection arrow by Esc on the canvas.
  void everyCommandHasAKeyboardPath() {
    Fixture f;
    FillEveryMenu(*f.window);
    QHash<QString, QString> twins{{"MainBar/save", "mnuSave"},
                                  {"MainBar/addrecord", "mnuAddSameRec"},
                                  {"MainBar/clonerecord", "mnuCloneRec"},
                                  {"MainBar/del", "mnuDelRec"},
                                  {"MainBar/editmode", "mnuMode2_1"},
                                  {"EditBar/workmode", "mnuMode2_0"},
                                  {"EditBar/help", "mnuHelp2"}};
    for (int type = 0; type < kElementTypeCount; ++type)
      twins.insert(QStringLiteral("EditBar/") + kElementTools[type],
                   QStringLiteral("mnuAddEl_%1").arg(type));
    QStringList without;
    for (QAction* action : WindowActions(*f.window)) {
      const QString name = ActionName(action);
      const QObjectList holders = action->associatedObjects();
      const bool inMenu = std::any_of(holders.begin(), holders.end(), [](QObject* holder) {
        return qobject_cast<QMenu*>(holder) || qobject_cast<QMenuBar*>(holder);
      });
      if (!inMenu && action->shortcut().isEmpty() && !f.c.Menu(twins.value(name)) &&
          name != u"EditBar/arrow")
        without << name;
    }
    QCOMPARE(without, QStringList());
  }

  // Each file dialog for a database file is titled for what it chooses
  // the file for, and its filter is in the interface's language.
  void databaseFileDialogsSayWhatTheyAreFor() {
    Fixture f;
    f.c.Submenu("mnuLang")->actions().last()->trigger();
    for (const char* command : {"mnuLoad", "mnuSaveAs", "mnuImOrbo", "mnuExMove"})
      f.c.Menu(command)->trigger();
    const LanguageTexts& texts = f.app.texts;
    QCOMPARE(f.dialogs.fileDialogTitles, (QStringList{texts.Get(960, 0), texts.Get(960, 1),
                                                      texts.Get(960, 2), texts.Get(995, 2)}));
    QCOMPARE(f.dialogs.fileDialogFilters,
             QStringList(4, QString::fromUtf8(
                                "\u0424\u0430\u0439\u043b\u044b Corvane Database (*.2db)|*.2db")));
  }

  // File dialogs open beside the open database; before it has a file, in
  // the user's documents (or home), not in the program's folder.
  void fileDialogsOpenBesideTheDatabase() {
    Fixture f;
    f.c.Menu("mnuLoad")->trigger();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(f.dialogs.fileDialogStarts.last(),
             QFileInfo(documents).isDir() ? documents : QDir::homePath());
    QVERIFY(QDir().mkpath(f.install.Path("kept")));
    f.dialogs.savePath = f.install.Path("kept/saved.2db");
    f.c.Menu("mnuSaveAs")->trigger();
    for (const char* command : {"mnuLoad", "mnuSaveAs", "mnuImOrbo"}) {
      f.c.Menu(command)->trigger();
      QCOMPARE(f.dialogs.fileDialogStarts.last(), QFileInfo(f.app.db.DatabasePath).absolutePath());
    }
  }

  // In edit mode a click in the tree picks the database and the arrow
  // tool, and opens nothing.
  void aTreeClickInEditModeSelectsTheDatabase() {
    Fixture f;
    f.app.Parts().Modes().Switch(WorkMode::Edit);
    f.c.Tool(kEditBar, "addc")->trigger();
    emit f.window->MainList().clicked(f.window->MainList().model()->index(0, 0));
    QCOMPARE(f.app.state.SelType, int(kSelectDatabase));
    QVERIFY(f.c.Tool(kEditBar, "arrow")->isChecked());
    QCOMPARE(f.app.state.CurRecord, 0);
  }

  // The add-record entries go through the command gate: inside another
  // command (its question is open) they start none.
  void addRecordEntriesWaitForTheCommandInProgress() {
    Fixture f;
    f.app.Storage().SetModified(true);
    f.dialogs.whileAsking = [&] {
      f.c.AddRecordMenu()->actions()[0]->trigger();
      f.c.Submenu("mnuAddRec")->actions()[0]->trigger();
    };
    f.dialogs.answers = {kAnswerCancel};
    f.c.Menu("mnuNew")->trigger();
    QVERIFY(f.dialogs.messages.size() == 1 && !f.dialogs.whileAsking);
    QCOMPARE(f.app.db.RecordCount, 1);
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

  // Help asked for from a modal dialog comes above it and takes input;
  // from the window, it leaves the window usable.
  void helpAboveTheDialogItIsAskedFrom() {
    Fixture f;
    QDialog dialog(f.window);
    dialog.setModal(true);
    dialog.show();
    QCOMPARE(QApplication::activeModalWidget(), &dialog);
    f.app.Parts().services->ShowHelp(help_topics::kDesign);
    QWidget* help = QApplication::activeModalWidget();
    QVERIFY(help != &dialog);
    QVERIFY(help->isVisible());
    help->close();
    dialog.close();
    f.app.Parts().services->ShowHelp(help_topics::kDesign);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
  }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
