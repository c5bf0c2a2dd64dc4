// Random sequences of the user's commands through the real window offscreen.
// After every command the model keeps its rules, the tree shows the model,
// the save button follows the mark, and an unmodified database equals its
// file. A longer run: ORBO_SEQUENCE_COMMANDS=100000 tst_command_sequences
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRandomGenerator>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <deque>
#include <functional>

#include "sample_databases.h"
#include "forms/form_canvas.h"
#include "forms/form_designer.h"
#include "shell/app.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "shell/main_window.h"
#include "shell/record_title.h"
#include "storage/database_commands.h"
#include "storage/database_file.h"
#include "test_install.h"

using namespace orbo;

namespace {

constexpr int kDefaultCommands = 3000;
constexpr int kCommandsPerRun = 500;

// Answers every question at random; saves go to a handful of files.
class RandomDialogs : public Dialogs {
 public:
  RandomDialogs(QRandomGenerator& random, QString folder) : random_(random), folder_(std::move(folder)) {}

  QStringList savedPaths;
  std::function<void()> duringQuestion;

  MessageAnswer ShowMessage(QWidget*, const QString&, int style) override {
    if (duringQuestion) std::exchange(duringQuestion, nullptr)();
    switch (style & 7) {
      case kYesNoCancel:
        return Pick({kAnswerYes, kAnswerNo, kAnswerCancel});
      case kYesNo:
        return Pick({kAnswerYes, kAnswerYes, kAnswerNo});
      default:
        return kAnswerOk;
    }
  }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    if (savedPaths.isEmpty() || random_.bounded(8) == 0) return {};
    return savedPaths[random_.bounded(savedPaths.size())];
  }
  QString SaveFileName(QWidget*, const QString&, const QString&) override {
    if (random_.bounded(10) == 0) return {};
    const QString path = QStringLiteral("%1/db%2.2db").arg(folder_).arg(random_.bounded(4));
    if (!savedPaths.contains(path)) savedPaths << path;
    return path;
  }
  QString AskText(QWidget*, const LanguageTexts&, const QString&, const QString& start, bool password,
                  const QString&) override {
    static const char* const answers[] = {"ann@example.com", "https://example.com/", "no address", ""};
    return password ? start : QString::fromLatin1(answers[random_.bounded(4)]);
  }
  int RunModal(QDialog&) override { return 0; }
  bool OpenUrl(const QUrl&) override { return random_.bounded(2) == 0; }
  MediaPlayer& Media() override { return media_; }
  void Fatal(const QString& message) override { qFatal("%s", qPrintable(message)); }

 private:
  MessageAnswer Pick(std::initializer_list<MessageAnswer> answers) {
    return answers.begin()[random_.bounded(static_cast<int>(answers.size()))];
  }

  QRandomGenerator& random_;
  QString folder_;
  FakeMediaPlayer media_;
};

struct Command {
  const char* name;
  int weight;
  std::function<void()> run;
};

// One program run driven by random commands.
class Session {
 public:
  explicit Session(quint32 seed)
      : seed_(seed), random_(seed), dialogs_(random_, install_.Path("files")), app_(install_.Path(), install_.SettingsPath(), dialogs_) {
    QDir().mkpath(install_.Path("files"));
    app_.Main(QString());
    app_.onBrokenInvariants = [this](const QStringList& problems) { Fail(problems.join("; ")); };
    // Every other run starts from the example, whose forms hold every kind of element.
    if (seed % 2 == 0) {
      const QString example = install_.Path("files/example.2db");
      install_.Copy(install_.Path("data/examples/ex1.2db"), "files/example.2db");
      dialogs_.savedPaths << example;
      LoadDatabase(app_.db, example, app_);
    }
    BuildCommands();
  }

  // Empty when every command kept every rule; else what broke and the
  // commands that led there.
  QString Run(int commands) {
    for (int i = 0; i < commands && failure_.isEmpty(); ++i) {
      const Command& command = PickCommand();
      log_.push_back(command.name);
      if (log_.size() > 25) log_.pop_front();
      command.run();
      Check();
      ++done_;
    }
    if (failure_.isEmpty()) return {};
    QStringList recent(log_.begin(), log_.end());
    return QStringLiteral("seed %1, command %2: %3\n  after: %4")
        .arg(seed_)
        .arg(done_)
        .arg(failure_, recent.join(", "));
  }

 private:
  Database& db() { return app_.db; }
  MainWindow& window() { return app_.Window(); }
  FolderTreeWidget& tree() { return window().MainList(); }
  QAction* Tool(const char* key) { return window().Commands().Tool(kMainBar, key); }
  QAction* Menu(const char* name) { return window().Commands().Menu(name); }

  void Fail(const QString& what) {
    if (failure_.isEmpty()) failure_ = what;
  }

  QList<QTreeWidgetItem*> TreeItems() {
    QList<QTreeWidgetItem*> items;
    QList<QTreeWidgetItem*> pending;
    for (int i = 0; i < tree().topLevelItemCount(); ++i) pending << tree().topLevelItem(i);
    while (!pending.isEmpty()) {
      QTreeWidgetItem* item = pending.takeFirst();
      items << item;
      for (int i = 0; i < item->childCount(); ++i) pending << item->child(i);
    }
    return items;
  }

  QTreeWidgetItem* RandomNode() {
    const QList<QTreeWidgetItem*> items = TreeItems();
    return items.isEmpty() ? nullptr : items[random_.bounded(items.size())];
  }

  void BuildCommands() {
    // What the user cannot reach in the current mode is not tried.
    auto tool = [this](const char* key) {
      return [this, key] {
        if (app_.state.EditMode == 0) Tool(key)->trigger();
      };
    };
    auto menu = [this](const char* name) {
      return [this, name] {
        QAction* item = Menu(name);
        const auto* parent = qobject_cast<QMenu*>(item->parent());
        if (!parent || (parent->menuAction()->isVisible() && parent->menuAction()->isEnabled())) item->trigger();
      };
    };
    auto design = [this](std::function<void()> command) {
      return [this, command] {
        if (app_.state.EditMode == 1) command();
      };
    };
    commands_ = {
        {"addrecord", 8, tool("addrecord")},
        {"25 records", 1,
         [this] {
           for (int i = 0; i < 25; ++i) Tool("addrecord")->trigger();
         }},
        {"record of a form", 3,
         [this] {
           const QList<QAction*> forms = window().Commands().AddRecordMenu()->actions();
           QAction* form = forms[random_.bounded(forms.size())];
           if (form->isEnabled() && !form->isSeparator()) form->trigger();
         }},
        {"clonerecord", 3, tool("clonerecord")},
        {"del", 7, tool("del")},
        {"mnuDelFolder", 1, menu("mnuDelFolder")},
        {"addroot", 4, tool("addroot")},
        {"click a node", 8,
         [this] {
           if (QTreeWidgetItem* node = RandomNode()) emit tree().itemClicked(node, 0);
         }},
        {"expand a node", 3,
         [this] {
           if (QTreeWidgetItem* node = RandomNode()) tree().expandItem(node);
         }},
        {"click a list item", 4,
         [this] {
           QListWidget& list = window().ListView1();
           if (list.count() > 0 && list.isVisible()) emit list.itemClicked(list.item(random_.bounded(list.count())));
         }},
        {"step", 4,
         [this] {
           static const char* const steps[] = {"dbfirst", "dbprev", "dbnext", "dblast"};
           Tool(steps[random_.bounded(4)])->trigger();
         }},
        {"tofolder", 2, tool("tofolder")},
        {"mark", 2,
         [this] {
           if (QTreeWidgetItem* node = RandomNode()) tree().onRightPress(node, QPoint());
         }},
        {"drop", 5,
         [this] {
           QTreeWidgetItem* dragged = RandomNode();
           QTreeWidgetItem* target = RandomNode();
           if (dragged && target) tree().onDrop(dragged, target);
         }},
        {"folder up, down or to the top", 3,
         [this] {
           static const char* const buttons[] = {"RootUp", "RootDown", "RootToRootButt"};
           QToolButton& button = window().RootButton(buttons[random_.bounded(3)]);
           if (button.isVisible()) button.click();
         }},
        {"rename the folder", 2,
         [this] {
           static const char* const names[] = {"Docs", "Caf\u00e9", "arrow \u2192", "nul\u0001", "\u041f\u0430\u043f\u043a\u0430"};
           QString name = QString::fromUtf8(names[random_.bounded(5)]);
           name.replace(QChar(1), QChar(0));
           if (window().RootText().isVisible()) emit window().RootText().textEdited(name);
         }},
        {"edit mode and back", 3,
         [this] {
           Menu("mnuMode2_1")->trigger();
           Menu("mnuMode2_0")->trigger();
         }},
        {"F6", 2, [this] { Menu("mnuMode2_1")->trigger(); }},
        {"F5", 3, [this] { Menu("mnuMode2_0")->trigger(); }},
        {"add an element", 4, design([this] { AddAnElement(); })},
        {"drag an element", 4, design([this] { DragAnElement(); })},
        {"resize with a handle", 3, design([this] { ResizeWithAHandle(); })},
        {"delete an element", 2,
         design([this] {
           PressOnCanvas(RandomCanvasPoint());
           EditTool("delete")->trigger();
         })},
        {"add, clone or delete a form", 2,
         design([this] {
           static const char* const keys[] = {"addform", "cloneform", "delform"};
           EditTool(keys[random_.bounded(3)])->trigger();
         })},
        {"choose a form", 2,
         design([this] {
           QComboBox& chooser = app_.Designer().FormCombo();
           const int index = random_.bounded(chooser.count());
           chooser.setCurrentIndex(index);
           emit chooser.activated(index);
         })},
        {"grid", 1, design([this] { EditTool("grid")->trigger(); })},
        {"keys", 2,
         [this] {
           const QList<QShortcut*> keys = tree().findChildren<QShortcut*>();
           emit keys[random_.bounded(keys.size())]->activated();
         }},
        {"save", 3, menu("mnuSave")},
        {"save as", 1, menu("mnuSaveAs")},
        {"open", 2, menu("mnuLoad")},
        {"new", 1, menu("mnuNew")},
        {"merge", 1, menu("mnuImOrbo")},
        {"export to a movable database", 1, menu("mnuExMove")},
        {"hand-over inside a command", 1, [this] { HandOverInsideACommand(); }},
        {"type into a field", 8, [this] { TypeIntoAField(); }},
        {"choose, check or press", 6, [this] { UseAControl(); }},
        {"title field", 1,
         [this] {
           QMenu* menu = window().Commands().Submenu("mnuMainField");
           emit menu->aboutToShow();
           const QList<QAction*> entries = menu->actions();
           if (menu->menuAction()->isEnabled() && !entries.isEmpty()) entries[random_.bounded(entries.size())]->trigger();
         }},
    };
  }

  QAction* EditTool(const char* key) { return window().Commands().Tool(kEditBar, key); }

  QPoint RandomCanvasPoint() {
    const QWidget& canvas = app_.Canvas().MainPic();
    return {random_.bounded(std::max(canvas.width(), 1)), random_.bounded(std::max(canvas.height(), 1))};
  }

  void PressOnCanvas(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&app_.Canvas().MainPic(), button, {}, at);
    QTest::mouseRelease(&app_.Canvas().MainPic(), button, {}, at);
  }

  void Drag(QWidget* on, const QPoint& from, const QPoint& to) {
    QTest::mousePress(on, Qt::LeftButton, {}, from);
    QTest::mouseMove(on, to);
    QTest::mouseRelease(on, Qt::LeftButton, {}, to);
  }

  QPoint RandomShift() { return {random_.bounded(-120, 121), random_.bounded(-120, 121)}; }

  void AddAnElement() {
    static const char* const tools[] = {"addi", "addl", "addt", "addb", "addc", "addf", "addm"};
    EditTool(tools[random_.bounded(7)])->trigger();
    PressOnCanvas(RandomCanvasPoint());
  }

  void DragAnElement() {
    const QPoint from = RandomCanvasPoint();
    Drag(&app_.Canvas().MainPic(), from, from + RandomShift());
  }

  void ResizeWithAHandle() {
    PressOnCanvas(RandomCanvasPoint());
    QLabel& handle = app_.Canvas().SelPic(random_.bounded(8));
    if (handle.isVisible()) Drag(&handle, QPoint(1, 1), QPoint(1, 1) + RandomShift());
  }

  template <typename Widget>
  QList<Widget*> VisibleOnCanvas() {
    QList<Widget*> shown;
    for (Widget* widget : app_.Canvas().MainPic().findChildren<Widget*>()) {
      if (widget->isVisible() && widget->property("elementType").isValid()) shown << widget;
    }
    return shown;
  }

  void TypeIntoAField() {
    static const char* const typed[] = {"Smith", " and more", "caf\u00e9", "\u2192", "\u0416\u0443\u043a"};
    const QString text = QString::fromUtf8(typed[random_.bounded(5)]);
    QList<QWidget*> fields;
    for (QLineEdit* line : VisibleOnCanvas<QLineEdit>()) fields << line;
    for (QTextEdit* memo : VisibleOnCanvas<QTextEdit>()) fields << memo;
    if (fields.isEmpty()) return;
    QWidget* field = fields[random_.bounded(fields.size())];
    if (random_.bounded(3) == 0) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    // Typed as the keyboard would, beyond Latin-1 too.
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }

  void UseAControl() {
    switch (random_.bounded(3)) {
      case 0:
        for (QComboBox* combo : VisibleOnCanvas<QComboBox>()) combo->setCurrentIndex(random_.bounded(combo->count() + 1) - 1);
        break;
      case 1:
        for (QCheckBox* flag : VisibleOnCanvas<QCheckBox>()) {
          if (random_.bounded(2) == 0) flag->click();
        }
        break;
      default: {
        const QList<QPushButton*> buttons = VisibleOnCanvas<QPushButton>();
        if (buttons.isEmpty()) return;
        QPushButton* button = buttons[random_.bounded(buttons.size())];
        if (random_.bounded(3) == 0) {
          QTest::mousePress(button, Qt::RightButton);
        } else {
          button->click();
        }
      }
    }
  }

  // A second instance asks to load a file while a command runs (its
  // question is open): the request waits for the tick after the command.
  void HandOverInsideACommand() {
    if (dialogs_.savedPaths.isEmpty()) return;
    const QString path = dialogs_.savedPaths[random_.bounded(dialogs_.savedPaths.size())];
    install_.Write("data/multiprog.dat", ("LOAD" + path + "\r\n").toUtf8());
    const QString pathBefore = db().DatabasePath;
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
    std::vector<ModelProblem> problems = FindModelProblems(db());
    for (const ModelProblem& p : FindDisplayProblems(db(), app_.state)) problems.push_back(p);
    if (!problems.empty()) return Fail(DescribeProblems(problems).join("; "));
    CheckTree();
    CheckList();
    if (Tool("save")->isEnabled() != db().Modified) Fail("the save button does not follow the mark");
    if (!db().Modified && db().DatabasePath != u"noname") CheckFileEqualsModel();
  }

  // Every node is where the model puts it, under its key, with its title;
  // a loaded folder node lists exactly its sub-folders and records.
  void CheckTree() {
    for (QTreeWidgetItem* item : TreeItems()) {
      const QString key = FolderTree::KeyOf(item);
      const NodeKey parsed = ParseKey(key);
      if (parsed.kind.isEmpty()) continue;
      if (app_.Tree().Node(key) != item) return Fail(key + " is not found under its key");
      const QString parentKey = FolderTree::KeyOf(item->parent());
      if (parsed.kind == u"item") {
        const int r = parsed.index;
        if (r >= db().RecordCount || db().Records[r].Folder == BufferFolder) return Fail(key + " shows no record");
        if (parentKey != FolderKey(db().Records[r].Folder)) return Fail(key + " is in the wrong folder");
        if (item->text(0) != ShortenName(RecordTitle(db(), r), db().MaxListString)) {
          return Fail(key + " shows " + item->text(0));
        }
        continue;
      }
      const int f = parsed.index;
      if (f >= db().FolderCount) return Fail(key + " shows no folder");
      if (item->text(0) != ShortenName(db().Folders[f].Name, db().MaxListString)) return Fail(key + " shows " + item->text(0));
      const int parent = db().Folders[f].Parent;
      if (parent == TopLevelParent ? item->parent() != nullptr : parentKey != FolderKey(parent)) {
        return Fail(key + " is under the wrong parent");
      }
      if (!app_.Tree().Loaded(f)) continue;
      QStringList expected;
      for (int sub : SubfoldersOf(db(), f)) expected << FolderKey(sub);
      for (int r : RecordsOf(db(), f)) expected << RecordKey(r);
      QStringList shown;
      for (int i = 0; i < item->childCount(); ++i) shown << FolderTree::KeyOf(item->child(i));
      if (shown != expected) return Fail(key + " lists " + shown.join(' ') + " instead of " + expected.join(' '));
    }
  }

  void CheckList() {
    if (app_.state.CurRecord != -1 || app_.state.EditMode != 0) return;
    QListWidget& list = window().ListView1();
    for (int i = 0; i < list.count(); ++i) {
      const NodeKey key = ParseKey(list.item(i)->data(Qt::UserRole).toString());
      if (key.kind == u"item" && (key.index >= db().RecordCount || db().Records[key.index].Folder != app_.state.CurFolder)) {
        return Fail(QStringLiteral("the list shows item%1 in folder %2").arg(key.index).arg(app_.state.CurFolder));
      }
    }
  }

  void CheckFileEqualsModel() {
    CodePage codePage;
    const ReadOutcome read = ReadDatabaseFile(db().DatabasePath, codePage, [] { return QString(); });
    if (read.status != ReadOutcome::kLoaded) return Fail("the saved file does not load: " + read.error);
    const QString difference = test::StoredDifference(db(), read.db);
    if (!difference.isEmpty()) Fail("the unmodified database differs from its file in " + difference);
  }

  quint32 seed_;
  QRandomGenerator random_;
  TestInstall install_;
  RandomDialogs dialogs_;
  App app_;
  std::vector<Command> commands_;
  std::deque<const char*> log_;
  QString failure_;
  int done_ = 0;
};

// The offscreen platform's notes on every window change would bury the
// result.
QtMessageHandler standardHandler = nullptr;

void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (!message.startsWith(QLatin1String("This plugin does not support"))) standardHandler(type, context, message);
}

int CommandsToRun() {
  bool ok = false;
  const int requested = qEnvironmentVariableIntValue("ORBO_SEQUENCE_COMMANDS", &ok);
  return ok && requested > 0 ? requested : kDefaultCommands;
}

}  // namespace

class CommandSequencesTest : public QObject {
  Q_OBJECT

 private slots:
  void randomCommandsKeepEveryRule() {
    standardHandler = qInstallMessageHandler(QuietPlatform);
    const int commands = CommandsToRun();
    for (int done = 0, run = 0; done < commands; done += kCommandsPerRun, ++run) {
      Session session(0xC0DE0000u + static_cast<quint32>(run));
      const QString failure = session.Run(std::min(kCommandsPerRun, commands - done));
      QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    qInfo("%d commands", commands);
  }
};

QTEST_MAIN(CommandSequencesTest)
#include "tst_command_sequences.moc"
