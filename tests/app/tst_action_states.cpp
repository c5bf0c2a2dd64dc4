// Every command of the main window, in both modes and in the situations a
// user meets: an action the user can choose does something, a disabled one
// would do nothing, and a menu can be opened exactly when it offers an entry.
#include <sys/stat.h>

#include <QApplication>
#include <QtTest>
#include <optional>

#include "../test_install.h"
#include "../window_actions.h"
#include "app/app.h"
#include "app/main_window.h"
#include "forms/designer/form_designer.h"
#include "forms/designer/mode_switch.h"
#include "query/find/find_dialog.h"
#include "query/find/finder.h"
#include "shell/file_commands.h"
#include "shell/navigator.h"
#include "storage/navigation_logic.h"
#include "storage/stored_content.h"

using namespace orbo;

namespace {

// What a command can change that the user would notice (the title follows
// the model, the mode and the language, all of them watched).
struct Observation {
  Database db;
  DisplayState state;
  AppSettings settings;
  int asked = 0;
  int messages = 0;
  QStringList windows;
  QStringList checked;
  QRect geometry;
  QString fileStamp;

  explicit Observation(RunningApp& run)
      : db(run.app.db), state(run.app.state), settings(run.app.settings) {
    const FakeDialogs& d = run.dialogs;
    messages = d.messages.size();
    asked = d.messages.size() + d.modalCount + d.prompts.size() + d.fileDialogs + d.opened.size() +
            d.printerSetups + d.media.commands.size();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible()) windows << widget->objectName();
    }
    windows.sort();
    for (QAction* action : WindowActions(run.app.Parts().Window())) {
      if (action->isChecked()) checked << ActionName(action);
    }
    checked.sort();
    geometry = run.app.Parts().Window().geometry();
    struct stat file {};
    if (stat(QFile::encodeName(db.DatabasePath).constData(), &file) == 0) {
      fileStamp = QStringLiteral("%1 %2").arg(file.st_ino).arg(file.st_mtim.tv_nsec);
    }
  }

  // What differs from before, empty when nothing does.
  QString ChangedSince(const Observation& before, bool messagesCount) const {
    const QString model = StoredDifference(before.db, db);
    if (!model.isEmpty()) return "the model: " + model;
    if (db.RecordMarks != before.db.RecordMarks) return "the marks";
    const auto& s = state;
    const auto& b = before.state;
    if (std::tie(s.CurForm, s.CurRecord, s.CurFolder, s.EditMode, s.SelType, s.SelIndex) !=
        std::tie(b.CurForm, b.CurRecord, b.CurFolder, b.EditMode, b.SelType, b.SelIndex)) {
      return QStringLiteral("what is shown");
    }
    if (db.Modified != before.db.Modified || db.DatabasePath != before.db.DatabasePath)
      return "the file";
    if (!(settings == before.settings)) return "the settings";
    if (asked - (messagesCount ? 0 : messages) !=
        before.asked - (messagesCount ? 0 : before.messages)) {
      return "a question or dialog";
    }
    if (windows != before.windows) return "the windows shown: " + windows.join(' ');
    if (checked != before.checked) return "the check marks: " + checked.join(' ');
    if (geometry != before.geometry) return "the window's place";
    if (fileStamp != before.fileStamp) return "the file on disk";
    return {};
  }
};

// A situation the window can be in, set up on a started program in this
// order: the example loaded, its first record shown, the database marked
// modified, edit mode, and there what is selected.
struct Situation {
  const char* name;
  bool example = false;
  bool record = false;
  bool modified = false;
  bool edit = false;
  std::optional<int> selected = std::nullopt;
};

const Situation kSituations[] = {
    {.name = "a new database"},
    {.name = "a folder open", .example = true},
    {.name = "a modified record shown", .example = true, .record = true, .modified = true},
    {.name = "edit mode", .example = true, .edit = true},
    {.name = "edit mode, an element selected", .example = true, .edit = true, .selected = kText},
    {.name = "edit mode, the database selected",
     .example = true,
     .edit = true,
     .selected = kSelectDatabase},
    {.name = "edit mode on a new database", .edit = true},
};

void EnterSituation(const Situation& situation, RunningApp& run) {
  App& app = run.app;
  if (situation.example) {
    run.install.Copy(run.install.Path("data/examples/ex1.2db"), "example.2db");
    LoadDatabase(app.db, run.install.Path("example.2db"), app.Storage());
  }
  for (int r = 0; situation.record && r < app.db.RecordCount; ++r) {
    if (app.db.Records[r].Folder == BufferFolder) continue;
    // As a click in the list would.
    app.Funnel().Run([&app, r] { app.Parts().Navigation().ShowRecord(r); });
    break;
  }
  if (situation.modified) app.Storage().SetModified(true);
  if (situation.edit) app.Parts().Modes().Switch(WorkMode::Edit);
  if (situation.selected) app.Parts().Designer().SelectElement(*situation.selected, 0);
}

// A program in the situation, every menu filled as it would be when opened.
// After a command it is put back there; after one that ended it, started
// anew.
class Program {
 public:
  explicit Program(const Situation& situation) : situation_(situation) { Start(); }

  RunningApp& Run() { return *run_; }
  App& app() { return run_->app; }

  void Restore() {
    if (!app().Parts().Window().isVisible()) return Start();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget != &app().Parts().Window()) widget->hide();
    }
    run_->dialogs.answers.clear();
    app().Storage().SetModified(false);
    app().Storage().NewDatabase();
    app().Storage().RefreshWindow();
    Enter();
  }

 private:
  void Start() {
    run_.reset();
    run_ = std::make_unique<RunningApp>();
    app().onBrokenInvariants = [](const QStringList& problems) {
      QFAIL(qPrintable(problems.join("; ")));
    };
    Enter();
  }

  void Enter() {
    EnterSituation(situation_, *run_);
    run_->dialogs.savePath = run_->install.Path("saved.2db");
    run_->dialogs.openPath = run_->install.Path("example.2db");
    FillEveryMenu(app().Parts().Window());
  }

  const Situation& situation_;
  std::unique_ptr<RunningApp> run_;
};

// Whether a menu offers an entry the user could choose were the menu open.
bool OffersAnEntry(QMenu* menu) {
  for (QAction* entry : menu->actions()) {
    if (entry->isSeparator() || !entry->isVisible()) continue;
    QMenu* submenu = MenuOpenedBy(entry);
    if (submenu ? OffersAnEntry(submenu) : entry->isEnabled()) return true;
  }
  return false;
}

// Commands that may leave everything as it was, and when.
bool MayDoNothing(const QString& name, QAction* action, App& app) {
  const Database& db = app.db;
  const DisplayState& state = app.state;
  // Choosing the choice already made: a mode, a tool, a language, a title.
  if (action->isCheckable() && action->isChecked() && name != u"EditBar/grid" &&
      name != u"mnuEditor/mnuGrid") {
    return true;
  }
  const QString key = action->objectName();
  // A step that leads nowhere: the record is the first or last of its folder.
  const std::pair<const char*, int (*)(const Database&, int, int)> steps[] = {
      {"mnuFirstRec", FirstRecordIndex},
      {"mnuPrevRec", PrevRecordIndex},
      {"mnuNextRec", NextRecordIndex},
      {"mnuLastRec", LastRecordIndex}};
  for (const auto& [step, next] : steps) {
    if (key == QLatin1String(step)) return next(db, state.CurRecord, state.CurFolder) < 0;
  }
  // A new database in place of a new one that holds nothing yet.
  if (key == u"new" || key == u"mnuNew") return db.DatabasePath == u"noname" && !db.Modified;
  // The file that is open.
  if (key.startsWith(u"mnuRecent_")) return action->text().endsWith(db.DatabasePath);
  // Find next without a text to look for.
  if (key == u"mnuFindNext") return app.Parts().Find().Dialog().Settings().text.isEmpty();
  // The form in view.
  if (key.startsWith(u"mnuSelForm_"))
    return key == QStringLiteral("mnuSelForm_%1").arg(state.CurForm) &&
           state.SelType == kSelectForm;
  // Sorting what may already be in order.
  return key.startsWith(u"mnSort2_");
}

// Runs command and tells what it changed.
QString Effect(RunningApp& run, const std::function<void()>& command, bool messagesCount = true) {
  const Observation before(run);
  command();
  return Observation(run).ChangedSince(before, messagesCount);
}

// What is wrong with action, empty when nothing: an entry the user can
// reach that would do nothing, a disabled one that would change something,
// or a menu enabled exactly when it offers nothing.
QString FaultOf(Program& program, QAction* action, const QString& name) {
  if (!action->isVisible() || !HeldWithinReach(action)) return {};
  if (QMenu* menu = MenuOpenedBy(action)) {
    // File waits for database mode, where its commands belong; Edit always
    // opens, to show what there is to take back, greyed when nothing.
    const bool waits = name == u"menu:mnuFile" && program.app().state.EditMode == WorkMode::Edit;
    if (name == u"menu:mnuEdit") return action->isEnabled() ? QString() : name + " is disabled";
    if (action->isEnabled() == (OffersAnEntry(menu) && !waits)) return {};
    return name + (action->isEnabled() ? " is enabled but offers nothing"
                                       : " is disabled but offers entries");
  }
  if (action->isEnabled()) {
    const bool allowed = MayDoNothing(name, action, program.app());
    if (Effect(program.Run(), [action] { action->trigger(); }).isEmpty() && !allowed)
      return name + " is enabled but does nothing";
  } else if (name != u"MainBar/save") {
    // The save button follows the modified mark; the File menu saves
    // regardless. A message that says why not is no change.
    const QString effect = Effect(
        program.Run(), [action] { emit action->triggered(action->isChecked()); }, false);
    if (!effect.isEmpty()) return name + " is disabled but would change " + effect;
  }
  return {};
}

}  // namespace

class ActionStatesTest : public QObject {
  Q_OBJECT

 private slots:
  void eachCommandIsEnabledExactlyWhenItCanRun_data() {
    QTest::addColumn<int>("situation");
    for (int i = 0; i < int(std::size(kSituations)); ++i) QTest::newRow(kSituations[i].name) << i;
  }

  // Each action is judged in a program put back into the situation.
  void eachCommandIsEnabledExactlyWhenItCanRun() {
    QFETCH(int, situation);
    Program program(kSituations[situation]);
    QStringList names;
    for (QAction* action : WindowActions(program.app().Parts().Window()))
      names << ActionName(action);
    QStringList faults;
    for (const QString& name : names) {
      program.Restore();
      for (QAction* action : WindowActions(program.app().Parts().Window())) {
        if (ActionName(action) != name) continue;
        if (const QString fault = FaultOf(program, action, name); !fault.isEmpty()) faults << fault;
        break;
      }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
  }
};

QTEST_MAIN(ActionStatesTest)
#include "tst_action_states.moc"
