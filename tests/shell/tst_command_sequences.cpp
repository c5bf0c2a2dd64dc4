// Random sequences of the user's commands through the real window offscreen.
// After every command the model keeps its rules, the tree shows the model,
// the save button follows the mark, and an unmodified database equals its
// file. A longer run: ORBO_SEQUENCE_COMMANDS=100000 tst_command_sequences
#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>
#include <functional>
#include <optional>
#include <string_view>

#include "../test_files.h"
#include "app/recovery_keeper.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/form_designer.h"
#include "forms/editor/record_editor.h"
#include "query/find/find_dialog.h"
#include "query/find/finder.h"
#include "query/print/print_dialog.h"
#include "query/sort/sort_dialog.h"
#include "query/sort/sorter.h"
#include "random_run.h"
#include "shell/quick_filter_box.h"
#include "storage/storable_text.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr int kDefaultCommands = 3000;
constexpr int kCommandsPerRun = 500;

// Commands whose changes are not undo steps yet: each clears the stack.
const QStringList kNotYetUndoable{"hand-over inside a command"};

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
class Session : RandomSession {
 public:
  explicit Session(quint32 seed) : RandomSession(seed, nullptr, 25) {
    // Every other run starts from the example.
    if (seed % 2 == 0) LoadTheExample();
    BuildCommands();
  }

  // Empty when every command kept every rule; else what broke and the
  // commands that led there.
  QString Run(int commands) {
    states_.assign(1, db());
    for (int i = 0; i < commands && failure_.isEmpty(); ++i) {
      const Command& command = PickCommand();
      Log(command.name);
      const Database before = db();
      const int stepBefore = Stack().index();
      if (!command.mode || app_.state.EditMode == *command.mode) command.run();
      Check();
      CheckUndo(command.name, before, stepBefore);
      ++done_;
    }
    if (failure_.isEmpty()) UndoAndRedoAll();
    return Outcome("command", ", ");
  }

 private:
  Database& db() { return app_.db; }
  FolderTreeWidget& tree() { return window().MainList(); }
  QAction* Tool(const char* key) { return window().Commands().Tool(kMainBar, key); }
  QAction* EditTool(const char* key) { return window().Commands().Tool(kEditBar, key); }
  QAction* Menu(const QString& name) { return window().Commands().Menu(name); }
  FormCanvas& canvas() { return app_.Parts().Canvas(); }
  QUndoStack& Stack() { return app_.Funnel().Stack(); }

  // Takes back or does again one step as the user does, through the menu.
  void Step(bool undo) {
    const bool failedBefore = !failure_.isEmpty();
    const int at = Stack().index();
    const QString step = Stack().text(undo ? at - 1 : at);
    Menu(undo ? "mnuUndo" : "mnuRedo")->trigger();
    Check();
    if (!failedBefore && !failure_.isEmpty())
      failure_ += QStringLiteral(" (%1 step %2, \"%3\")")
                      .arg(undo ? "undoing" : "redoing")
                      .arg(at)
                      .arg(step);
  }

  // The model at each place of the undo stack must be what undo and redo
  // give: after every command its step is taken back and done again.
  void CheckUndo(const char* name, const Database& before, int stepBefore) {
    const int step = Stack().index();
    if (Stack().count() == 0) {
      // A new model, or a change no step takes back: nothing before it can
      // be taken back either.
      if (!ModelDifference(db(), before).isEmpty() && db().DatabasePath == before.DatabasePath &&
          !kNotYetUndoable.contains(QLatin1String(name)) && !IsNewModel(name)) {
        Fail(QStringLiteral("%1 changed the model without an undo step").arg(name));
      }
      states_.assign(1, db());
      return;
    }
    if (name == std::string_view("undo") || name == std::string_view("redo")) {
      if (static_cast<std::size_t>(step) < states_.size())
        Expect(step, "the menu's " + QString(name));
      return;
    }
    if (step == stepBefore && ModelDifference(db(), before).isEmpty()) return;
    if (kNotYetUndoable.contains(QLatin1String(name))) {
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
    while (failure_.isEmpty() && Stack().index() > stepBefore) {
      Step(true);
      between.push_back(db());
    }
    int first = Stack().index();
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
    if (Stack().index() != step) return Fail(what + " stopped at another step");
    const QString difference = ModelDifference(db(), states_[static_cast<std::size_t>(step)]);
    if (!difference.isEmpty()) Fail(what + " gave another model: " + difference);
  }

  // At the end of a run every step is taken back, then done again.
  void UndoAndRedoAll() {
    const int top = Stack().index();
    while (failure_.isEmpty() && Stack().canUndo()) Step(true);
    if (failure_.isEmpty()) Expect(0, "undoing every step");
    while (failure_.isEmpty() && Stack().index() < top) Step(false);
    if (failure_.isEmpty()) Expect(top, "redoing every step");
  }

  // The movable export goes on with the database saved under the name
  // chosen, its paths rewritten and saved at once, even when the name is
  // the open file's own: like a load, it leaves nothing to take back; so
  // does a backup restored.
  static bool IsNewModel(const char* name) {
    for (const char* replacing : {"open", "new", "hand-over inside a command",
                                  "export to a movable database", "restore a backup"}) {
      if (name == std::string_view(replacing)) return true;
    }
    return false;
  }

  QTreeWidgetItem* RandomNode() {
    const QList<QTreeWidgetItem*> items = TreeItems(tree());
    return items.isEmpty() ? nullptr : items[random_.bounded(items.size())];
  }

  template <typename T>
  T Pick(const QList<T>& items) {
    return items[random_.bounded(static_cast<int>(items.size()))];
  }

  void BuildCommands() {
    auto tool = [this](const char* key) { return [this, key] { Tool(key)->trigger(); }; };
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
        {"addrecord", 8, kDb, tool("addrecord")},
        {"25 records", 1, kDb,
         [this] {
           for (int i = 0; i < 25; ++i) Tool("addrecord")->trigger();
         }},
        {"record of a form", 2, kDb,
         [this] {
           QList<QAction*> entries = window().Commands().AddRecordMenu()->actions();
           entries.removeIf([](const QAction* entry) {
             return entry->objectName() == u"newform" || entry->isSeparator() ||
                    !entry->isEnabled();
           });
           if (!entries.isEmpty()) Pick(entries)->trigger();
         }},
        {"a new form from the record list", 1, kDb,
         [this] {
           for (QAction* entry : window().Commands().AddRecordMenu()->actions()) {
             if (entry->objectName() == u"newform" && entry->isEnabled()) entry->trigger();
           }
         }},
        {"clonerecord", 3, kDb, tool("clonerecord")},
        {"del", 7, kDb, tool("del")},
        {"mnuDelFolder", 1, kAnyMode, menu("mnuDelFolder")},
        {"addroot", 4, kDb, tool("addroot")},
        {"click a node", 8, kAnyMode,
         [this] {
           if (QTreeWidgetItem* node = RandomNode()) emit tree().itemClicked(node, 0);
         }},
        {"expand a node", 3, kAnyMode,
         [this] {
           if (QTreeWidgetItem* node = RandomNode()) tree().expandItem(node);
         }},
        {"click a list item", 4, kAnyMode,
         [this] {
           QListWidget& list = window().ContentsList();
           if (list.count() > 0 && list.isVisible())
             emit list.itemClicked(list.item(random_.bounded(list.count())));
         }},
        {"step or back to the folder", 6, kDb,
         [this] {
           Tool(Pick<const char*>({"dbfirst", "dbprev", "dbnext", "dblast", "tofolder"}))
               ->trigger();
         }},
        {"right button on a node", 2, kDb, [this] { RightPressOnANode(); }},
        {"right button on the database", 1, kEdit, [this] { RightPressOnANode(); }},
        {"drop", 5, kAnyMode,
         [this] {
           QTreeWidgetItem* dragged = RandomNode();
           QTreeWidgetItem* target = RandomNode();
           if (dragged && target) tree().onDrop(dragged, target);
         }},
        {"folder up, down or to the top", 3, kAnyMode,
         [this] {
           QToolButton& button =
               window().RootButton(Pick<const char*>({"RootUp", "RootDown", "RootToRootButt"}));
           if (button.isVisible()) button.click();
         }},
        {"rename the folder", 2, kAnyMode,
         [this] {
           QString name = QString::fromUtf8(
               Pick<const char*>({"Docs", "Caf\u00e9", "arrow \u2192", "nul\u0001",
                                  "\u041f\u0430\u043f\u043a\u0430"}));
           name.replace(QChar(1), QChar(0));
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
        {"merge", 1, kAnyMode, menu("mnuImOrbo")},
        {"restore a backup", 1, kAnyMode, [this] { RestoreABackup(); }},
        {"export to a movable database", 1, kAnyMode, menu("mnuExMove")},
        {"hand-over inside a command", 1, kAnyMode, [this] { HandOverInsideACommand(); }},
        {"type into a field", 8, kDb, [this] { TypeIntoAField(); }},
        {"choose, check or press", 6, kDb, [this] { UseAControl(); }},
        {"picture", 2, kDb, [this] { UseAPicture(); }},
        {"quick list", 2, kDb, [this] { UseTheQuickList(); }},
        {"media buttons", 1, kDb,
         [this] {
           QAction* button = Tool(Pick<const char*>({"mciPlay", "mciPause", "mciStop"}));
           if (button->isVisible()) button->trigger();
         }},
        {"title field", 1, kAnyMode,
         [this] {
           QMenu* titles = window().Commands().Submenu(
               app_.state.EditMode == WorkMode::Edit ? "mnuTitleField" : "mnuMainField");
           emit titles->aboutToShow();
           if (titles->menuAction()->isEnabled() && !titles->isEmpty())
             Pick(titles->actions())->trigger();
         }},
        {"find", 4, kDb, [this] { UseFind(); }},
        {"sort", 3, kDb, [this] { UseSort(); }},
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
        {"delete an element", 2, kEdit,
         [this] {
           ClickOnTheForm();
           EditTool("delete")->trigger();
         }},
        {"add, clone, delete or choose a form", 3, kEdit, [this] { UseTheForms(); }},
        {"grid", 1, kEdit, [this] { EditTool("grid")->trigger(); }},
        {"properties", 4, kEdit,
         [this] {
           ClickOnTheForm();
           EditTool("elprops")->trigger();
         }},
        {"database properties", 2, kDb,
         [this] { (random_.bounded(2) ? Tool("dbpass") : Menu("mnuDBProps"))->trigger(); }},
        {"options", 1, kAnyMode, [this] { ChangeTheSavingOptions(); }},
        {"recovery copy", 1, kAnyMode, [this] { WriteARecoveryCopy(); }},
        {"print dialog and preview", 2, kDb, [this] { UseThePrintDialog(); }},
        {"export to or import from Access", 2, kDb, [this] { UseAccess(); }},
        {"export to or import from CSV", 2, kDb, [this] { UseCsv(); }},
        {"quick filter", 3, kDb, [this] { UseTheQuickFilter(); }},
    };
  }

  void RightPressOnANode() {
    if (QTreeWidgetItem* node = RandomNode()) tree().onRightPress(node, QPoint());
    window().Commands().Submenu("mnSort")->hide();
  }

  // A click at a random point of the form: selects what lies there.
  void ClickOnTheForm() {
    QTest::mouseClick(&canvas().FormArea(), Qt::LeftButton, {}, RandomPointIn(canvas().FormArea()));
  }

  QPoint RandomShift() { return {random_.bounded(-120, 121), random_.bounded(-120, 121)}; }

  // With a tool of the toolbar or of the Editor menu.
  void AddAnElement() {
    const int type = random_.bounded(kElementTypeCount);
    if (random_.bounded(2) == 0) {
      EditTool(kElementTools[type])->trigger();
    } else {
      Menu(QStringLiteral("mnuAddEl_%1").arg(type))->trigger();
    }
    ClickOnTheForm();
  }

  void UseTheForms() {
    const int pick = random_.bounded(5);
    if (pick < 3) {
      EditTool(std::array{"addform", "cloneform", "delform"}[pick])->trigger();
    } else if (pick == 3) {
      QComboBox& chooser = app_.Parts().Designer().FormCombo();
      emit chooser.activated(random_.bounded(chooser.count()));
    } else {
      Pick(window().Commands().Submenu("mnuSelForm")->actions())->trigger();
    }
  }

  template <typename Widget>
  QList<Widget*> VisibleOnCanvas() {
    QList<Widget*> shown;
    for (Widget* widget : canvas().FormArea().findChildren<Widget*>()) {
      if (widget->isVisible() && widget->property("elementType").isValid()) shown << widget;
    }
    return shown;
  }

  void TypeIntoAField() {
    const QString text = QString::fromUtf8(
        Pick<const char*>({"Smith", " and more", "caf\u00e9", "\u2192", "\u0416\u0443\u043a"}));
    QList<QWidget*> fields;
    for (QLineEdit* line : VisibleOnCanvas<QLineEdit>()) fields << line;
    for (QTextEdit* memo : VisibleOnCanvas<QTextEdit>()) fields << memo;
    if (fields.isEmpty()) return;
    QWidget* field = Pick(fields);
    if (random_.bounded(3) == 0) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    // Typed as the keyboard would, beyond Latin-1 too.
    for (QChar c : text)
      QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }

  void UseAControl() {
    const int pick = random_.bounded(3);
    if (pick == 0) {
      for (QComboBox* combo : VisibleOnCanvas<QComboBox>())
        combo->setCurrentIndex(random_.bounded(combo->count() + 1) - 1);
    } else if (pick == 1) {
      for (QCheckBox* flag : VisibleOnCanvas<QCheckBox>()) {
        if (random_.bounded(2) == 0) flag->click();
      }
    } else if (const QList<QPushButton*> buttons = VisibleOnCanvas<QPushButton>();
               !buttons.isEmpty()) {
      QPushButton* button = Pick(buttons);
      if (random_.bounded(3) == 0) {
        QTest::mousePress(button, Qt::RightButton);
      } else {
        button->click();
      }
    }
  }

  // A double click, or a command of the record menu, on an image.
  void UseAPicture() {
    const QList<QLabel*> images = VisibleOnCanvas<QLabel>();
    if (images.isEmpty()) return;
    QLabel* image = Pick(images);
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
    const QList<QLineEdit*> lines = VisibleOnCanvas<QLineEdit>();
    if (lines.isEmpty()) return;
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(Pick(lines), &focus);
    if (!canvas().QuickListButton().isVisible()) return;
    emit canvas().QuickListButton().pressed();
    QListWidget& list = canvas().QuickList();
    if (list.count() > 0) emit list.itemClicked(list.item(random_.bounded(list.count())));
  }

  template <typename Widget>
  Widget* In(QWidget& dialog, const char* name) {
    return dialog.findChild<Widget*>(name);
  }

  // A random entry of each list named, chosen as the user does.
  void ChooseIn(QWidget& dialog, std::initializer_list<const char*> lists) {
    for (const char* name : lists) {
      auto* list = In<QComboBox>(dialog, name);
      if (list->count() == 0) continue;
      const int entry = random_.bounded(list->count());
      list->setCurrentIndex(entry);
      emit list->activated(entry);
    }
  }

  // Runs the menu's command with the windows it opens driven by work.
  void WithDialogs(const char* command, std::function<int(QDialog&)> work) {
    dialogs_.onModal = std::move(work);
    Menu(command)->trigger();
    dialogs_.onModal = nullptr;
  }

  // One of the versions saves kept, or now and then none.
  void RestoreABackup() {
    WithDialogs("mnuRestore", [this](QDialog& dialog) {
      auto* list = dialog.findChild<QListWidget*>("BackupList");
      list->setCurrentRow(random_.bounded(list->count()));
      return MostlyAccepted();
    });
  }

  // How many backups saves keep and how often recovery copies come.
  void ChangeTheSavingOptions() {
    WithDialogs("mnuPref", [this](QDialog& dialog) {
      dialog.findChild<QSpinBox*>("BackupsSpin")->setValue(random_.bounded(3));
      dialog.findChild<QSpinBox*>("RecoverySpin")->setValue(random_.bounded(3));
      return MostlyAccepted();
    });
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

  // OK, or now and then Cancel.
  int MostlyAccepted() {
    return random_.bounded(5) == 0 ? int(QDialog::Rejected) : int(QDialog::Accepted);
  }

  // The import starts when the dialog shows its mapping.
  static int ImportWhenReady(QDialog& dialog) {
    if (dialog.findChild<QWidget*>("Frame2")->isVisibleTo(&dialog))
      dialog.findChild<QPushButton*>("ImportButt")->click();
    return 0;
  }

  // Random choices in the find dialog, then Find next from the menu or
  // the dialog, or the record marked.
  void UseFind() {
    Menu("mnuFind")->trigger();
    FindDialog& find = app_.Parts().Find().Dialog();
    In<QLineEdit>(find, "WhatText")
        ->setText(QString::fromUtf8(Pick<const char*>({"a", "1", "Folder", "caf\u00e9", "", "0"})));
    In<QRadioButton>(find, random_.bounded(2) ? "UpDir" : "DownDir")->setChecked(true);
    for (const char* check : {"WholeCheck", "CaseCheck", "SubDirCheck"})
      In<QCheckBox>(find, check)->setChecked(random_.bounded(2));
    for (const char* list :
         {"FormsCombo", "FieldsTypeCombo", "FieldsCombo", "FolderCombo", "WhatCombo"}) {
      if (random_.bounded(3) == 0) ChooseIn(find, {list});
    }
    const int how = random_.bounded(3);
    if (how == 0) {
      Menu("mnuFindNext")->trigger();
    } else {
      In<QPushButton>(find, how == 1 ? "FindButt" : "MarkButt")->click();
    }
  }

  // A quick sort of the current folder, or a sort from the dialog.
  void UseSort() {
    if (random_.bounded(2) == 0) {
      Menu(QStringLiteral("mnSort2_%1").arg(random_.bounded(4)))->trigger();
      return;
    }
    Menu("mnuSort")->trigger();
    SortDialog& sort = app_.Parts().Sorting().Dialog();
    ChooseIn(sort, {"WhatCombo", "WhereCombo", "DirCombo"});
    In<QPushButton>(sort, "SortButt")->click();
  }

  // An export of random folders, or an import of a random table of the last
  // export (or of a file that is none) with random columns, form and folder.
  void UseAccess() {
    if (random_.bounded(2) == 0) {
      return WithDialogs("mnuExAccess", [this](QDialog& dialog) {
        ChooseIn(dialog, {"FolderCombo"});
        if (random_.bounded(2) == 0) In<QCheckBox>(dialog, "SubDirCheck")->click();
        return MostlyAccepted();
      });
    }
    WithDialogs("mnuImAccess", [this](QDialog& dialog) {
      In<QPushButton>(dialog, "DBButt")->click();
      ChooseIn(dialog, {"TablesCombo"});
      for (int i = random_.bounded(6); i > 0; --i) ChooseIn(dialog, {"FieldsCombo", "ElsCombo"});
      ChooseIn(dialog, {"FormsCombo", "WhereCombo"});
      return ImportWhenReady(dialog);
    });
  }

  // An export to CSV files with random choices, or an import of one of them
  // (first row as names or not, columns mapped by name, in order or at random).
  void UseCsv() {
    if (random_.bounded(2) == 0) {
      return WithDialogs("mnuExCsv", [this](QDialog& dialog) {
        ChooseIn(dialog, {"FolderCombo", "DelimiterCombo", "FlagsCombo"});
        if (random_.bounded(2) == 0) In<QCheckBox>(dialog, "BomCheck")->click();
        return MostlyAccepted();
      });
    }
    dialogs_.openCsv = true;
    WithDialogs("mnuImAccess", [this](QDialog& dialog) {
      In<QPushButton>(dialog, "DBButt")->click();
      if (In<QWidget>(dialog, "FirstRowCheck")->isVisibleTo(&dialog) && random_.bounded(3) == 0)
        In<QCheckBox>(dialog, "FirstRowCheck")->click();
      ChooseIn(dialog, {"FormsCombo", "WhereCombo"});
      In<QPushButton>(dialog, Pick<const char*>({"MapByNameButt", "MapInOrderButt"}))->click();
      ChooseIn(dialog, {"FieldsCombo", "ElsCombo"});
      return ImportWhenReady(dialog);
    });
    dialogs_.openCsv = false;
  }

  // Keys into the quick filter, the toggle, Return or Escape: the model
  // stays as it was, and the list holds only records that match.
  void UseTheQuickFilter() {
    QuickFilterBox& filter = app_.Parts().QuickFilterBar();
    const int pick = random_.bounded(4);
    if (pick == 0) {
      // Keys where QTest has them; the rest as typed text.
      if (random_.bounded(2) == 0) {
        QTest::keyClicks(&filter.Box(), Pick<const char*>({"r", "e", "1", "zzz"}));
      } else {
        filter.Box().insert(QString::fromUtf8(Pick<const char*>({"Caf\u00e9", "\u0416"})));
      }
    } else if (pick == 1) {
      filter.AllTexts().trigger();
    } else {
      QTest::keyClick(&filter.Box(), pick == 2 ? Qt::Key_Return : Qt::Key_Escape);
    }
    QCoreApplication::processEvents();
  }

  // A save, or a save as, onto a saved file made read-only is refused: the
  // file, its mode and the model stay as they were.
  void SaveOntoAReadOnlyFile() {
    QStringList saved;
    for (const QString& path : dialogs_.savedPaths) {
      if (QFileInfo(path).isFile()) saved << path;
    }
    if (saved.isEmpty()) return;
    const QString path = Pick(saved);
    const QByteArray bytes = ReadBytes(path);
    const QString openPath = db().DatabasePath;
    const bool modified = db().Modified;
    const QByteArray name = QFile::encodeName(path);
    ::chmod(name.constData(), 0444);
    if (path == openPath && random_.bounded(2) == 0) {
      Menu("mnuSave")->trigger();
    } else {
      dialogs_.nextSavePath = path;
      Menu("mnuSaveAs")->trigger();
      dialogs_.nextSavePath.clear();
    }
    struct stat info {};
    const bool keptMode = ::stat(name.constData(), &info) == 0 && (info.st_mode & 07777) == 0444;
    ::chmod(name.constData(), 0644);
    if (ReadBytes(path) != bytes || !keptMode) return Fail("a save replaced the read-only " + path);
    if (db().DatabasePath != openPath || db().Modified != modified)
      Fail("a refused save changed the database");
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

  // A few random steps in the print dialog and its preview: sets, order,
  // steps, zoom, paper, offset drags, printing to a PDF file.
  void UseThePrintDialog() {
    WithDialogs("mnuPrint", [this](QDialog& dialog) {
      const bool preview = dialog.objectName() == "PrinterForm";
      // Never a real printer: without a file named, the pages go to a PDF.
      if (auto* print = dynamic_cast<PrintDialog*>(&dialog))
        print->Printer().setOutputFormat(QPrinter::PdfFormat);
      for (int step = random_.bounded(6); step > 0; --step) {
        if (preview) {
          UseThePreview(dialog);
          continue;
        }
        const int pick = random_.bounded(4);
        if (pick == 0) {
          emit In<QComboBox>(dialog, "PrintCombo")->activated(random_.bounded(5));
        } else if (pick == 1) {
          In<QCheckBox>(dialog, "ReverseCheck")->click();
        } else {
          In<QPushButton>(dialog, pick == 2 ? "PreviewButt" : "PrintButt")->click();
        }
      }
      return 0;
    });
  }

  void UseThePreview(QDialog& preview) {
    auto* page = In<QLabel>(preview, "Image1");
    const int pick = random_.bounded(4);
    if (pick == 0) {
      In<QPushButton>(preview, Pick<const char*>(
                                   {"PrevRec", "NextRec", "ScalePlus", "ScaleMinus", "OrientButt"}))
          ->click();
    } else if (pick == 1) {
      QTest::mouseDClick(page, Qt::LeftButton, {}, {5, 5});
    } else {
      const QPoint from = RandomPointIn(*page);
      Drag(page, from, from + RandomShift());
    }
  }

  const Command& PickCommand() {
    int total = 0;
    for (const Command& c : commands_) total += c.weight;
    int pick = random_.bounded(total);
    for (const Command& c : commands_) {
      if (pick < c.weight) return c;
      pick -= c.weight;
    }
    return commands_.front();
  }

  void Check() {
    QString problem = ModelProblems(app_);
    if (problem.isEmpty()) problem = TreeDifference(app_);
    if (problem.isEmpty()) problem = ListDifference(app_);
    if (problem.isEmpty()) problem = TitleOrCountsDifference(app_);
    // A button the options hide is disabled with it.
    if (problem.isEmpty() && Tool("save")->isVisible() &&
        Tool("save")->isEnabled() != db().Modified) {
      problem = "the save button does not follow the mark";
    }
    if (problem.isEmpty() && !db().Modified && db().DatabasePath != u"noname")
      problem = FileDifference(app_);
    if (!problem.isEmpty()) Fail(problem);
  }

  std::vector<Command> commands_;
  // The model at each place of the undo stack.
  std::vector<Database> states_;
};

}  // namespace

class CommandSequencesTest : public QObject {
  Q_OBJECT

 private slots:
  void randomCommandsKeepEveryRule() {
    KeepPlatformQuiet();
    const int commands = RunLength("ORBO_SEQUENCE_COMMANDS", kDefaultCommands);
    // ORBO_SEQUENCE_RUN starts at a run a failure named (its seed less 0xC0DE0000).
    const int first = qEnvironmentVariableIntValue("ORBO_SEQUENCE_RUN");
    for (int done = 0, run = first; done < commands; done += kCommandsPerRun, ++run) {
      Session session(0xC0DE0000u + static_cast<quint32>(run));
      const QString failure = session.Run(std::min(kCommandsPerRun, commands - done));
      QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    qInfo("%d commands", commands);
  }
};

QTEST_MAIN(CommandSequencesTest)
#include "tst_command_sequences.moc"
