// Random sequences of the user's commands through the real window offscreen.
// After every command the model keeps its rules, the tree shows the model,
// the save button follows the mark, and an unmodified database equals its
// file. A longer run: ORBO_SEQUENCE_COMMANDS=100000 tst_command_sequences
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <functional>
#include <optional>
#include <random>

#include "../test_files.h"
#include "app/recovery_keeper.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/form_designer.h"
#include "forms/editor/record_editor.h"
#include "random_run.h"
#include "shell/quick_filter_box.h"
#include "storage/backups.h"
#include "storage/storable_text.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr int kDefaultCommands = 3000;
constexpr int kCommandsPerRun = 500;

// Commands whose changes are not undo steps yet: each clears the stack.
const QStringList kNotYetUndoable{"hand-over inside a command"};
// The movable export goes on with the database saved under the name
// chosen, its paths rewritten and saved at once, even when the name is the
// open file's own: like a load, it leaves nothing to take back. Closing
// leaves a new database, under the same name when the closed one was new.
const QStringList kNewModel{"open", "new", "close", "hand-over inside a command",
                            "export to a movable database"};

// A command runs only in its mode, when it has one: what the user cannot
// reach in the current mode is not tried.
struct Command {
  const char* name;
  int weight;
  std::optional<WorkMode> mode;
  std::function<void()> run;
};

constexpr std::optional<WorkMode> kAnyMode;
constexpr WorkMode kDb = WorkMode::Database;
constexpr WorkMode kEdit = WorkMode::Edit;

// One program run driven by random commands.
class Session : public RandomSession {
 public:
  explicit Session(quint32 seed) : RandomSession(seed, nullptr, 25) {
    // Every other run starts from the example.
    if (seed % 2 == 0) LoadTheExample();
    dialogs_.worked +=
        QStringList{"BackupsForm", "ExAccForm", "ExCsvForm", "ImForm",  "PrinterForm2",
                    "PrinterForm", "FindForm",  "SortForm",  "MoveForm"};
    BuildCommands();
  }

  // Empty when every command kept every rule; else what broke and the
  // commands that led there.
  QString Run(int commands) {
    states_.assign(1, db());
    for (int i = 0; i < commands && failure_.isEmpty(); ++i) {
      const Command& command = commands_[pickCommand_(random_)];
      Log(command.name);
      const Database before = db();
      const int stepBefore = Stack().Index();
      if (!command.mode || app_.state.EditMode == *command.mode) command.run();
      Check();
      CheckUndo(command.name, before, stepBefore);
      ++done_;
    }
    if (failure_.isEmpty()) UndoAndRedoAll();
    return Outcome();
  }

 private:
  Database& db() { return app_.db; }
  FolderTreeView& tree() { return window().MainList(); }
  QAction* Tool(const char* key) { return window().Commands().Tool(kMainBar, key); }
  QAction* Menu(const QString& name) { return window().Commands().Menu(name); }
  FormCanvas& canvas() { return app_.Parts().Canvas(); }
  const StepStack& Stack() { return app_.Funnel().Stack(); }

  // Takes back or does again one step as the user does, through the menu.
  // Called only while every rule held.
  void Step(bool undo) {
    const QString step =
        (undo ? "undoing " : "redoing ") + Stack().At(Stack().Index() - undo).Text();
    Menu(undo ? "mnuUndo" : "mnuRedo")->trigger();
    Check();
    if (!failure_.isEmpty()) failure_ += " (" + step + ")";
  }

  // The database properties read the file again in another code page: like
  // a load, that leaves nothing to take back.
  bool ReadAgain(QLatin1String command, const Database& before) {
    return command == u"database properties" && db().CodePageName != before.CodePageName;
  }

  // The model at each place of the undo stack must be what undo and redo
  // give: after every command its step is taken back and done again.
  void CheckUndo(const char* name, const Database& before, int stepBefore) {
    const QLatin1String command(name);
    const int step = Stack().Index();
    if (Stack().Count() == 0) {
      // A new model, or a change no step takes back: nothing before it can
      // be taken back either.
      if (!ModelDifference(db(), before).isEmpty() && db().DatabasePath == before.DatabasePath &&
          !kNewModel.contains(command) && !ReadAgain(command, before)) {
        Fail(QStringLiteral("%1 changed the model without an undo step").arg(name));
      }
      states_.assign(1, db());
      return;
    }
    if (command == u"undo" || command == u"redo") {
      if (static_cast<std::size_t>(step) < states_.size())
        Expect(step, "the menu's " + QString(name));
      return;
    }
    if (step == stepBefore && ModelDifference(db(), before).isEmpty()) return;
    if (kNotYetUndoable.contains(command)) {
      // As a change outside the stack: nothing before it can be taken back,
      // and the database stays modified.
      app_.Funnel().MarkChangedOutside();
      states_.assign(1, db());
      return;
    }
    if (step < 1)
      return Fail(QStringLiteral("%1 changed the model without an undo step").arg(name));
    const Database after = db();
    // A command makes one step or several (typing two words); the models
    // between them are kept, the latest first.
    std::vector<Database> between;
    while (failure_.isEmpty() && Stack().Index() > stepBefore) {
      Step(true);
      between.push_back(db());
    }
    int first = Stack().Index();
    if (failure_.isEmpty() && !ModelDifference(db(), before).isEmpty() && first > 0) {
      // Its first change folded into the step before it (typing on in a word).
      Step(true);
      --first;
    } else if (!between.empty()) {
      between.pop_back();  // the model before the command
    }
    states_.resize(static_cast<std::size_t>(first) + 1);
    Expect(first, QStringLiteral("undo of ") + name);
    states_.insert(states_.end(), between.rbegin(), between.rend());
    states_.push_back(after);
    for (int s = first + 1; s <= step && failure_.isEmpty(); ++s) {
      Step(false);
      Expect(s, QStringLiteral("redo of ") + name);
    }
  }

  void Expect(int step, const QString& what) {
    if (Stack().Index() != step) return Fail(what + " stopped at another step");
    const QString difference = ModelDifference(db(), states_[static_cast<std::size_t>(step)]);
    if (!difference.isEmpty()) Fail(what + " gave another model: " + difference);
  }

  // At the end of a run every step is taken back, then done again.
  void UndoAndRedoAll() {
    const int top = Stack().Index();
    while (failure_.isEmpty() && Stack().CanUndo()) Step(true);
    if (failure_.isEmpty()) Expect(0, "undoing every step");
    while (failure_.isEmpty() && Stack().Index() < top) Step(false);
    if (failure_.isEmpty()) Expect(top, "redoing every step");
  }

  QModelIndex RandomNode() {
    const QList<QModelIndex> rows = ReachableRows(tree());
    return rows.isEmpty() ? QModelIndex() : rows[random_.bounded(rows.size())];
  }

  template <typename T>
  T Pick(const QList<T>& items) {
    return items[random_.bounded(static_cast<int>(items.size()))];
  }

  void BuildCommands() {
    // One of the tools of a toolbar, when the toolbar shows it, as often as
    // asked; a tool of the form editor on what a click on the form selected.
    auto tool = [this](int bar, QList<const char*> keys, int times = 1) {
      return [this, bar, keys, times] {
        if (bar == kEditBar) ClickOnTheForm();
        QAction* action = window().Commands().Tool(bar, Pick(keys));
        for (int i = 0; i < times && action->isVisible(); ++i) action->trigger();
      };
    };
    // A menu's entry, when the menu is open to the user.
    auto menu = [this](const char* name) {
      return [this, name] {
        QAction* item = Menu(name);
        const auto* parent = qobject_cast<QMenu*>(item->parent());
        if (!parent || (parent->menuAction()->isVisible() && parent->menuAction()->isEnabled()))
          item->trigger();
      };
    };
    commands_ = {
        {"addrecord", 8, kDb, tool(kMainBar, {"addrecord"})},
        {"25 records", 1, kDb, tool(kMainBar, {"addrecord"}, 25)},
        {"record of a form, or a new form", 3, kDb,
         [this] {
           QList<QAction*> entries = window().Commands().AddRecordMenu()->actions();
           entries.removeIf(
               [](const QAction* entry) { return entry->isSeparator() || !entry->isEnabled(); });
           if (!entries.isEmpty()) Pick(entries)->trigger();
         }},
        {"clonerecord", 3, kDb, tool(kMainBar, {"clonerecord"})},
        {"del", 7, kDb, tool(kMainBar, {"del"})},
        {"mnuDelFolder", 1, kAnyMode, menu("mnuDelFolder")},
        {"addroot", 4, kDb, tool(kMainBar, {"addroot"})},
        {"click a node", 8, kAnyMode,
         [this] {
           if (const QModelIndex node = RandomNode(); node.isValid()) emit tree().clicked(node);
         }},
        {"expand a node", 3, kAnyMode,
         [this] {
           if (const QModelIndex node = RandomNode(); node.isValid()) tree().expand(node);
         }},
        {"click a list item", 4, kAnyMode,
         [this] {
           QListView& list = window().ContentsList();
           const int rows = list.model()->rowCount();
           if (rows > 0 && list.isVisible())
             emit list.clicked(list.model()->index(random_.bounded(rows), 0));
         }},
        {"records as a table or a list", 1, kAnyMode,
         [this] {
           QToolButton& toggle = window().RootButton("RootTable");
           if (toggle.isVisible()) toggle.click();
         }},
        {"click a table header", 2, kAnyMode,
         [this] {
           QTableView& table = window().RecordTable();
           const int columns = table.model()->columnCount();
           table.horizontalHeader()->setSortIndicator(
               random_.bounded(-1, columns),
               random_.bounded(2) ? Qt::AscendingOrder : Qt::DescendingOrder);
         }},
        {"open a table row", 2, kDb,
         [this] {
           QTableView& table = window().RecordTable();
           const int rows = table.model()->rowCount();
           if (rows > 0 && table.isVisible())
             emit table.activated(table.model()->index(random_.bounded(rows), 0));
         }},
        {"sort the records as the table shows them", 1, kDb,
         [this] { app_.Funnel().Run([this] { app_.Parts().Table().SortAsShown(); }); }},
        {"several records at once", 3, kDb, [this] { ActOnSeveralRecords(); }},
        {"choose the table's form", 1, kAnyMode,
         [this] {
           QComboBox& forms = window().TableForms();
           if (forms.count() > 0) emit forms.activated(random_.bounded(forms.count()));
         }},
        {"step or back to the folder", 6, kDb,
         tool(kMainBar, {"dbfirst", "dbprev", "dbnext", "dblast", "tofolder"})},
        {"mark", 1, kDb, menu("mnuMarkRec")},
        {"move to a folder", 3, kDb, menu("mnuMoveTo")},
        {"right button on a node", 3, kAnyMode,
         [this] {
           if (const QModelIndex node = RandomNode(); node.isValid())
             tree().onRightPress(node, QPoint());
           window().Commands().Submenu("mnSort")->hide();
         }},
        {"drop", 5, kAnyMode,
         [this] {
           const QModelIndex dragged = RandomNode();
           const QModelIndex target = RandomNode();
           if (dragged.isValid() && target.isValid()) tree().onDrop(dragged, target);
         }},
        {"folder up, down or to the top", 3, kAnyMode,
         [this] {
           QToolButton& button =
               window().RootButton(Pick<const char*>({"RootUp", "RootDown", "RootToRootButt"}));
           if (button.isVisible()) button.click();
         }},
        {"rename the folder", 2, kAnyMode,
         [this] {
           const QString name =
               Pick<QString>({"Docs", "Caf\u00e9", "arrow \u2192", QString("nul") + QChar(0),
                              "\u041f\u0430\u043f\u043a\u0430"});
           if (window().RootText().isVisible()) emit window().RootText().textEdited(name);
         }},
        {"F5, F6 or both", 8, kAnyMode,
         [this] {
           const int pick = random_.bounded(3);
           if (pick != 1) Menu("mnuMode2_1")->trigger();
           if (pick != 0) Menu("mnuMode2_0")->trigger();
         }},
        {"keys", 2, kAnyMode,
         [this] { emit Pick(tree().findChildren<QShortcut*>())->activated(); }},
        {"save", 3, kAnyMode, menu("mnuSave")},
        {"save onto a read-only file", 1, kAnyMode, [this] { SaveOntoAReadOnlyFile(); }},
        {"switch the language", 1, kAnyMode, [this] { SwitchTheLanguage(); }},
        {"undo", 4, kAnyMode, menu("mnuUndo")},
        {"redo", 3, kAnyMode, menu("mnuRedo")},
        {"save as", 1, kAnyMode, menu("mnuSaveAs")},
        {"open", 2, kAnyMode, menu("mnuLoad")},
        {"new", 1, kAnyMode, menu("mnuNew")},
        {"close", 1, kAnyMode, menu("mnuClose")},
        {"merge", 1, kAnyMode, menu("mnuImOrbo")},
        {"restore a backup", 1, kAnyMode, menu("mnuRestore")},
        {"another program dates the file", 1, kAnyMode, [this] { DateTheFile(); }},
        {"export to a movable database", 1, kAnyMode, menu("mnuExMove")},
        {"hand-over inside a command", 1, kAnyMode, [this] { HandOverInsideACommand(); }},
        {"type into a field", 8, kDb, [this] { TypeIntoAField(); }},
        {"choose, check or press", 6, kDb, [this] { UseAControl(); }},
        {"picture", 2, kDb, [this] { UseAPicture(); }},
        {"quick list", 2, kDb, [this] { UseTheQuickList(); }},
        {"media buttons", 1, kDb, tool(kMainBar, {"mciPlay", "mciPause", "mciStop"})},
        {"title field", 1, kAnyMode,
         [this] {
           QMenu* titles = window().Commands().Submenu(
               app_.state.EditMode == WorkMode::Edit ? "mnuTitleField" : "mnuMainField");
           emit titles->aboutToShow();
           if (titles->menuAction()->isEnabled() && !titles->isEmpty())
             Pick(titles->actions())->trigger();
         }},
        {"find", 4, kDb, menu("mnuFind")},
        {"find next", 2, kDb, menu("mnuFindNext")},
        {"quick sort", 2, kDb,
         [this] { Menu(QStringLiteral("mnSort2_%1").arg(random_.bounded(4)))->trigger(); }},
        {"sort", 2, kDb, menu("mnuSort")},
        {"add an element", 4, kEdit, [this] { AddAnElement(); }},
        {"drag an element", 4, kEdit,
         [this] {
           const QPoint from = RandomPointIn(canvas().FormArea());
           Drag(&canvas().FormArea(), from, from + RandomShift());
         }},
        {"resize with a handle", 3, kEdit,
         [this] {
           ClickOnTheForm();
           QLabel& handle = canvas().SelectionHandle(random_.bounded(8));
           if (handle.isVisible()) Drag(&handle, QPoint(1, 1), QPoint(1, 1) + RandomShift());
         }},
        {"a designer key", 4, kEdit, [this] { PressADesignerKey(); }},
        {"delete an element", 2, kEdit, tool(kEditBar, {"delete"})},
        {"add, clone or delete a form", 2, kEdit,
         tool(kEditBar, {"addform", "cloneform", "delform"})},
        {"choose a form", 1, kEdit,
         [this] {
           if (random_.bounded(2))
             return dialogs_.WorkControl(&app_.Parts().Designer().FormCombo());
           Pick(window().Commands().Submenu("mnuSelForm")->actions())->trigger();
         }},
        {"grid", 1, kEdit, tool(kEditBar, {"grid"})},
        {"properties", 4, kEdit, tool(kEditBar, {"elprops"})},
        {"database properties", 2, kDb,
         [this] { (random_.bounded(2) ? Tool("dbpass") : Menu("mnuDBProps"))->trigger(); }},
        {"options", 1, kAnyMode, menu("mnuPref")},
        {"recovery copy", 1, kAnyMode, [this] { WriteARecoveryCopy(); }},
        {"print dialog and preview", 2, kDb, menu("mnuPrint")},
        {"export to Access", 1, kDb, menu("mnuExAccess")},
        {"export to CSV", 1, kDb, menu("mnuExCsv")},
        {"import from Access or CSV", 4, kDb, menu("mnuImAccess")},
        {"quick filter", 3, kDb, [this] { UseTheQuickFilter(); }},
    };
    std::vector<int> weights;
    for (const Command& command : commands_) weights.push_back(command.weight);
    pickCommand_ = std::discrete_distribution<std::size_t>(weights.begin(), weights.end());
  }

  // A key on the design surface: selects, moves, resizes, places an armed
  // tool's element or opens the properties.
  void PressADesignerKey() {
    static const QList<QKeyCombination> keys{Qt::Key_Tab,    Qt::SHIFT | Qt::Key_Tab,
                                             Qt::Key_Left,   Qt::Key_Down,
                                             Qt::Key_Right,  Qt::SHIFT | Qt::Key_Right,
                                             Qt::Key_Up,     Qt::SHIFT | Qt::Key_Down,
                                             Qt::Key_Return, Qt::Key_Escape};
    if (random_.bounded(4) == 0)
      window()
          .Commands()
          .Tool(kEditBar, kElementTools[random_.bounded(kElementTypeCount)])
          ->trigger();
    const QKeyCombination key = Pick(keys);
    QTest::keyClick(&canvas().FormArea(), key.key(), key.keyboardModifiers());
  }

  // A click at a random point of the form: selects what lies there.
  void ClickOnTheForm() {
    QTest::mouseClick(&canvas().FormArea(), Qt::LeftButton, {}, RandomPointIn(canvas().FormArea()));
  }

  // Rows of the table selected at random, then deleted, marked or moved.
  void ActOnSeveralRecords() {
    QTableView& table = window().RecordTable();
    const int rows = table.model()->rowCount();
    if (rows == 0) return;
    table.clearSelection();
    for (int pick = random_.bounded(1, 6); pick > 0; --pick) {
      const int first = random_.bounded(rows);
      const QItemSelection range(table.model()->index(first, 0),
                                 table.model()->index(random_.bounded(first, rows), 0));
      table.selectionModel()->select(range,
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const char* name = Pick<const char*>({"mnuTableDelete", "mnuTableMark", "mnuTableMove"});
    window().findChild<QAction*>(QString::fromLatin1(name))->trigger();
  }

  QPoint RandomShift() { return {random_.bounded(-120, 121), random_.bounded(-120, 121)}; }

  // With a tool of the toolbar or of the Editor menu.
  void AddAnElement() {
    const int type = random_.bounded(kElementTypeCount);
    (random_.bounded(2) ? Menu(QStringLiteral("mnuAddEl_%1").arg(type))
                        : window().Commands().Tool(kEditBar, kElementTools[type]))
        ->trigger();
    ClickOnTheForm();
  }

  // The elements of the record shown that are of one of those kinds.
  template <typename... Kinds>
  QList<QWidget*> VisibleOnCanvas() {
    QList<QWidget*> shown;
    for (QWidget* widget : canvas().FormArea().findChildren<QWidget*>()) {
      if (widget->isVisible() && widget->property("elementType").isValid() &&
          (qobject_cast<Kinds*>(widget) || ...))
        shown << widget;
    }
    return shown;
  }

  void TypeIntoAField() {
    const QString text = QString::fromUtf8(
        Pick<const char*>({"Smith", " and more", "caf\u00e9", "\u2192", "\u0416\u0443\u043a"}));
    const QList<QWidget*> fields = VisibleOnCanvas<QLineEdit, QTextEdit>();
    if (fields.isEmpty()) return;
    QWidget* field = Pick(fields);
    if (random_.bounded(3) == 0) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    // Typed as the keyboard would, beyond Latin-1 too.
    for (QChar c : text)
      QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }

  // A list's entry chosen, a flag checked, a button pressed with either
  // button.
  void UseAControl() {
    const QList<QWidget*> controls = VisibleOnCanvas<QComboBox, QAbstractButton>();
    if (controls.isEmpty()) return;
    QWidget* control = Pick(controls);
    if (qobject_cast<QPushButton*>(control) && random_.bounded(3) == 0) {
      QTest::mousePress(control, Qt::RightButton);
    } else {
      dialogs_.WorkControl(control);
    }
  }

  // A double click, or a command of the record menu, on an image.
  void UseAPicture() {
    const QList<QWidget*> images = VisibleOnCanvas<QLabel>();
    if (images.isEmpty()) return;
    QWidget* image = Pick(images);
    if (image->property("elementType").toInt() != kImage) return;
    if (random_.bounded(2) == 0) {
      QTest::mouseDClick(image, Qt::LeftButton);
    } else {
      QTest::mousePress(image, Qt::LeftButton);
      Pick(app_.Parts().Editor().RecordMenu().actions())->trigger();
    }
  }

  // Offered when a quick-enter box gets the focus; an entry is taken.
  void UseTheQuickList() {
    const QList<QWidget*> lines = VisibleOnCanvas<QLineEdit>();
    if (lines.isEmpty()) return;
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(Pick(lines), &focus);
    if (!canvas().QuickListButton().isVisible()) return;
    emit canvas().QuickListButton().pressed();
    QListWidget& list = canvas().QuickList();
    if (list.count() > 0) emit list.itemClicked(list.item(random_.bounded(list.count())));
  }

  // The copy written as the focus goes, as the timer would: it loads back
  // as the database it copies would save.
  void WriteARecoveryCopy() {
    app_.Recovery().WriteNow();
    app_.Recovery().Wait();
    const QString copy = install_.Path(
        QStringLiteral("config/orbo-recovery/copy-%1.2db").arg(QCoreApplication::applicationPid()));
    if (!db().Modified || app_.settings.RecoveryMinutes == 0) {
      if (QFileInfo::exists(copy)) Fail("a recovery copy is left with nothing to recover");
      return;
    }
    Database storable = db();
    CodePage codePage(storable.CodePageName);
    MakeTextsStorable(storable, codePage);
    const QString difference = DifferenceFromFile(storable, copy);
    if (!difference.isEmpty()) Fail("the recovery copy " + difference);
  }

  // Keys into the quick filter, the toggle, Return or Escape: the model
  // stays as it was, and the list holds only records that match.
  void UseTheQuickFilter() {
    QuickFilterBox& filter = app_.Parts().QuickFilterBar();
    const int pick = random_.bounded(5);
    // Keys where QTest has them; the rest as typed text.
    if (pick == 0) QTest::keyClicks(&filter.Box(), Pick<const char*>({"r", "e", "1", "zzz"}));
    if (pick == 1) filter.Box().insert(Pick<QString>({"Caf\u00e9", "\u0416"}));
    if (pick == 2) filter.AllTexts().trigger();
    if (pick > 2) QTest::keyClick(&filter.Box(), pick == 3 ? Qt::Key_Return : Qt::Key_Escape);
    QCoreApplication::processEvents();
  }

  // A save, or a save as, onto a saved file made read-only is refused: the
  // file, its mode and the model stay as they were.
  void SaveOntoAReadOnlyFile() {
    if (dialogs_.savedPaths.isEmpty()) return;
    const QString path = Pick(dialogs_.savedPaths);
    if (!QFileInfo(path).isFile()) return;
    const QByteArray bytes = ReadBytes(path);
    const Database before = db();
    const QFile::Permissions permissions = QFile::permissions(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    // A save that asks for a name (the file was changed by another program,
    // and the answer is to save under another name) is given the same one.
    dialogs_.nextSavePath = path;
    Menu(path == before.DatabasePath && random_.bounded(2) == 0 ? "mnuSave" : "mnuSaveAs")
        ->trigger();
    dialogs_.nextSavePath.clear();
    const bool keptMode =
        !(QFile::permissions(path) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    QFile::setPermissions(path, permissions);
    if (ReadBytes(path) != bytes || !keptMode) return Fail("a save replaced the read-only " + path);
    if (db().DatabasePath != before.DatabasePath || db().Modified != before.Modified)
      Fail(QStringLiteral("a refused save changed the database: %1 (modified %2) became %3 (%4)")
               .arg(before.DatabasePath)
               .arg(before.Modified)
               .arg(db().DatabasePath)
               .arg(db().Modified));
  }

  // A copy with `cp -p`, an unpacked archive or a clock set wrong dates the
  // open file long ago or far ahead; saves and backups go on by their own
  // count.
  void DateTheFile() {
    QFile file(db().DatabasePath);
    if (db().DatabasePath == u"noname" || !file.open(QIODevice::ReadWrite)) return;
    const int year = Pick<int>({1999, 2099});
    file.setFileTime(QDateTime(QDate(year, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime);
  }

  // The backups of the open file: never more than the options keep (a
  // lowered count prunes at the next backup), each a whole database or
  // sealed, none the live file under another name.
  QString BackupProblems() {
    const QString& path = db().DatabasePath;
    const bool open = path != u"noname" && QFileInfo::exists(path);
    // A command that left the file (new, close) may have saved it first:
    // what that kept is counted then, under the count kept then.
    const QString counted = open ? path : backupsOf_;
    if (counted.isEmpty() || !QFileInfo::exists(counted)) return {};
    const std::vector<Backup> backups = ListBackups(counted);
    // Another file's backups are what they were.
    if (std::exchange(backupsOf_, counted) != counted) backupCount_ = backups.size();
    const std::size_t before = std::exchange(backupCount_, backups.size());
    if (backups.size() > before && backups.size() > std::size_t(app_.settings.BackupsKept))
      return QStringLiteral("%1 backups kept").arg(backups.size());
    if (!open) return {};
    const FileIdentity live = IdentityOfDatabaseFile(path);
    for (const Backup& backup : backups) {
      const FileIdentity kept = IdentityOf(backup.path);
      if (kept.device == live.device && kept.inode == live.inode)
        return "a backup is the live file: " + backup.path;
      if (IsEncryptedDatabaseFile(backup.path)) continue;
      CodePage codePage(db().CodePageName);
      const ReadOutcome read = ReadDatabaseFile(backup.path, codePage, QString());
      if (read.status == ReadOutcome::kFailed && !read.passwordTried)
        return "a backup does not load: " + read.error;
    }
    return {};
  }

  // The open database keeps its code page whatever language is chosen.
  void SwitchTheLanguage() {
    const QString codePage = db().CodePageName;
    Pick(window().Commands().Submenu("mnuLang")->actions())->trigger();
    if (db().CodePageName != codePage)
      Fail("choosing a language changed the open database's code page");
  }

  // A second instance asks to load a file while a command runs (its
  // question is open): the request waits for the tick after the command.
  void HandOverInsideACommand() {
    if (dialogs_.savedPaths.isEmpty()) return;
    install_.Write("data/multiprog.dat", ("LOAD" + Pick(dialogs_.savedPaths) + "\r\n").toUtf8());
    bool handedOverInside = false;
    dialogs_.duringQuestion = [&] {
      app_.UpdateTick();
      Tool("addroot")->trigger();
      handedOverInside = install_.FirstLine("data/multiprog.dat").isEmpty();
    };
    // Every deletion of a folder with records asks first.
    Menu("mnuDelFolder")->trigger();
    dialogs_.duringQuestion = nullptr;
    if (handedOverInside) Fail("the hand-over ran inside a command");
    app_.UpdateTick();
  }

  void Check() {
    for (auto problems :
         {WindowProblems, ListDifference, TableDifference, TitleOrCountsDifference}) {
      if (const QString problem = problems(app_); !problem.isEmpty()) return Fail(problem);
    }
    if (const QString problem = BackupProblems(); !problem.isEmpty()) return Fail(problem);
    // A button the options hide is disabled with it.
    if (Tool("save")->isVisible() && Tool("save")->isEnabled() != db().Modified)
      Fail("the save button does not follow the mark");
  }

  std::vector<Command> commands_;
  std::discrete_distribution<std::size_t> pickCommand_;
  // The model at each place of the undo stack.
  std::vector<Database> states_;
  // How many backups the open file had after the last command.
  QString backupsOf_;
  std::size_t backupCount_ = 0;
  // Qt's own checks of a model, after every signal the tree and the list send.
  QAbstractItemModelTester treeChecker_{&app_.Parts().Tree(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest};
  QAbstractItemModelTester listChecker_{app_.Parts().Window().ContentsList().model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest};
  QAbstractItemModelTester tableChecker_{app_.Parts().Window().RecordTable().model(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class CommandSequencesTest : public QObject {
  Q_OBJECT

 private slots:
  // ORBO_SEQUENCE_RUN starts at a run a failure named (its seed less 0xC0DE0000).
  void randomCommandsKeepEveryRule() {
    RunSessions<Session>(
        "ORBO_SEQUENCE_COMMANDS", kDefaultCommands, kCommandsPerRun,
        0xC0DE0000u + static_cast<quint32>(qEnvironmentVariableIntValue("ORBO_SEQUENCE_RUN")));
  }
};

QTEST_MAIN(CommandSequencesTest)
#include "tst_command_sequences.moc"
