// Real input to the real window offscreen: presses, moves and releases of
// every mouse button at random points of the canvas, the tree, the contents
// list, the toolbars, the menus and pop-ups, in random interleavings; keys;
// every command the user can reach; questions and dialogs answered at
// random, and menus that wait for the user closed or chosen from a timer.
// After each event the model keeps its rules, no stored value got shorter
// unless the event deleted or edited it, and an unmodified database equals
// its file.
// A longer run: ORBO_RAW_EVENTS=200000 tst_raw_input
#include <QApplication>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include "forms/canvas/form_canvas.h"
#include "random_run.h"
#include "window_actions.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr int kDefaultEvents = 1500;
constexpr int kEventsPerRun = 1000;

// Commands after which stored values may be gone or elsewhere: deleting,
// sorting, opening and replacing, and taking back or doing again.
const QStringList kReshaping{
    "del",         "mnuDelRec",   "mnuDelFolder", "delete",   "mnuDelEl",    "delform",
    "mnuDelForm",  "mnuSort",     "sort",         "new",      "mnuNew",      "open",
    "mnuLoad",     "mnuImOrbo",   "mnuImAccess",  "mnuAbout", "mnSort2_0",   "mnSort2_1",
    "mnSort2_2",   "mnSort2_3",   "deleteKey",    "drop",     "mnuRecent_0", "mnuRecent_1",
    "mnuRecent_2", "mnuRecent_3", "mnuPicChange", "mnuUndo",  "mnuRedo"};

bool IsLiveRecord(const Database& db, int r) {
  return r < db.RecordCount && db.Records[r].Folder != BufferFolder;
}

// One program run driven by raw events.
class RawSession : RandomSession {
 public:
  explicit RawSession(quint32 seed) : RandomSession(seed, "files/none.2db", 40) {
    if (seed % 2 == 0) LoadTheExample();
    dialogs_.asked.clear();
    window_ = window().windowHandle();
    window().activateWindow();
    // Menus and drags wait in loops of their own; a timer answers them.
    answerer_.setInterval(1);
    QObject::connect(&answerer_, &QTimer::timeout, [this] { AnswerWaitingLoop(); });
    answerer_.start();
    window().UpdateTimer().stop();
    QTreeWidget& tree = window().MainList();
    auto& folderTree = static_cast<FolderTreeWidget&>(tree);
    const auto drop = folderTree.onDrop;
    folderTree.onDrop = [this, drop](QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
      commands_ << "drop";
      drop(dragged, target);
    };
    for (QShortcut* key : tree.findChildren<QShortcut*>()) {
      const QString name = key->key() == QKeySequence::Delete ? "deleteKey" : "insertKey";
      QObject::connect(key, &QShortcut::activated, [this, name] { commands_ << name; });
    }
    before_ = app_.db;
  }

  ~RawSession() {
    answerer_.stop();
    ReleaseHeldButtons();
  }

  int Done() const { return done_; }
  bool Ended() { return !window().isVisible(); }

  // Empty when every event kept every rule; else what broke and the
  // events that led there.
  QString Run(int events) {
    for (int i = 0; i < events && failure_.isEmpty() && !Ended(); ++i) {
      Step();
      ++done_;
    }
    return Outcome("event", "\n    ");
  }

 private:
  FormCanvas& canvas() { return app_.Parts().Canvas(); }

  // A point of the window on a random region, often on the canvas's
  // elements and handles.
  QPoint RandomWindowPoint() {
    MainWindow& main = window();
    QList<QWidget*> targets;
    auto offer = [&](QWidget* widget, int weight) {
      if (widget && widget->isVisible() && widget->width() > 0 && widget->height() > 0)
        for (int i = 0; i < weight; ++i) targets << widget;
    };
    offer(&canvas().Backdrop(), 6);
    for (QWidget* control : canvas().FormArea().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (control->isVisible() && random_.bounded(4) == 0) offer(control, 1);
    for (int i = 0; i < 8; ++i) offer(&canvas().SelectionHandle(i), 1);
    offer(main.MainList().viewport(), 4);
    offer(main.ContentsList().viewport(), 3);
    offer(main.Commands().Bar(kMainBar), 3);
    offer(main.Commands().Bar(kEditBar), 3);
    offer(main.menuBar(), 1);
    offer(main.statusBar(), 1);
    offer(main.findChild<QWidget*>("RootFrame"), 1);
    offer(main.findChild<QWidget*>("FormListPic"), 1);
    const QWidget* target = targets[random_.bounded(targets.size())];
    if (const std::optional<QPoint> at = RandomShownPoint(*target)) return *at;
    return {random_.bounded(main.width()), random_.bounded(main.height())};
  }

  // A random point of what the window shows of widget; none when it shows
  // nothing of it.
  std::optional<QPoint> RandomShownPoint(const QWidget& widget) {
    const QRect shown =
        QRect(widget.mapTo(&window(), QPoint(0, 0)), widget.size()).intersected(window().rect());
    if (shown.isEmpty()) return std::nullopt;
    return shown.topLeft() +
           QPoint(random_.bounded(shown.width()), random_.bounded(shown.height()));
  }

  Qt::MouseButton RandomButton() {
    return std::array{Qt::LeftButton, Qt::LeftButton, Qt::LeftButton, Qt::RightButton,
                      Qt::MiddleButton}[random_.bounded(5)];
  }

  // A pop-up that is open gets the event at one of its points.
  std::pair<QWindow*, QPoint> MouseTarget() {
    if (QWidget* popup = QApplication::activePopupWidget(); popup && random_.bounded(3) != 0)
      return {popup->windowHandle(), RandomPointIn(*popup)};
    return {window_, RandomWindowPoint()};
  }

  static QString ButtonName(Qt::MouseButton button) {
    return button == Qt::LeftButton ? "left" : button == Qt::RightButton ? "right" : "middle";
  }

  void Press() {
    const Qt::MouseButton button = RandomButton();
    if (held_.testFlag(button)) return Release(button);
    const auto [window, at] = MouseTarget();
    Log("press " + ButtonName(button) + " at " + Place(window, at));
    held_ |= button;
    Activate(window);
    QTest::mousePress(window, button, {}, at);
  }

  void Release(Qt::MouseButton button) {
    const auto [window, at] = MouseTarget();
    Log("release " + ButtonName(button) + " at " + Place(window, at));
    held_ &= ~button;
    QTest::mouseRelease(window, button, {}, at);
  }

  void Move() {
    const auto [window, at] = MouseTarget();
    Log("move to " + Place(window, at));
    QTest::mouseMove(window, at);
  }

  void DoubleClick() {
    const auto [window, at] = MouseTarget();
    Log("double click at " + Place(window, at));
    Activate(window);
    QTest::mouseDClick(window, Qt::LeftButton, {}, at);
  }

  // A click into a text or multiline text of the record shown, where typing
  // goes next.
  void ClickAField() {
    QList<QWidget*> fields;
    for (QWidget* control :
         canvas().FormArea().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const int type = control->property("elementType").toInt();
      if (control->isVisible() && control->property("elementType").isValid() &&
          (type == kText || type == kMultiline))
        fields << control;
    }
    if (fields.isEmpty() || held_ != Qt::NoButton) return Move();
    const std::optional<QPoint> at = RandomShownPoint(*fields[random_.bounded(fields.size())]);
    if (!at) return Move();
    Log("click at " + Place(window_, *at));
    Activate(window_);
    QTest::mouseClick(window_, Qt::LeftButton, {}, *at);
  }

  void ReleaseHeldButtons() {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
      if (held_.testFlag(button)) QTest::mouseRelease(window_, button, {}, QPoint(1, 1));
    held_ = {};
  }

  // The point and what lies there.
  QString Place(QWindow* target, const QPoint& at) {
    const QString point = QStringLiteral("%1,%2").arg(at.x()).arg(at.y());
    if (target != window_) return point + " on a pop-up";
    QWidget* widget = window().childAt(at);
    return widget ? point + " on " + NameOf(widget) : point;
  }

  static QString NameOf(QWidget* widget) {
    return widget->objectName().isEmpty() ? QString(widget->metaObject()->className())
                                          : widget->objectName();
  }

  void Key() {
    static const QStringList keys =
        QStringLiteral(
            "F5 F6 Esc Del Ins Return Ctrl+S Backspace Tab A B Space Ctrl+A Left Down "
            "Shift+End")
            .split(' ');
    const QKeyCombination choice = QKeySequence(keys[random_.bounded(int(keys.size()))])[0];
    QWindow* target = KeyWindow();
    NoteFocusedField(choice.key());
    QWidget* focus = KeyReceiver();
    Log("key " + QKeySequence(choice).toString() + (focus ? " in " + NameOf(focus) : QString()));
    QTest::keyClick(target, choice.key(), choice.keyboardModifiers());
  }

  // Keys go to the pop-up, else to the active window (the help window may
  // be), and there to its focus.
  QWindow* KeyWindow() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup->windowHandle();
    return QGuiApplication::focusWindow() ? QGuiApplication::focusWindow() : window_;
  }

  QWidget* KeyReceiver() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    return qobject_cast<QWidget*>(KeyWindow()->focusObject());
  }

  // A click into the window makes it the active one, as the desktop does.
  void Activate(QWindow* target) {
    if (target == window_ && !window().isActiveWindow()) {
      window().activateWindow();
      QCoreApplication::processEvents();
    }
  }

  // The value a key may edit and by how much it may shorten it: the
  // selection, and one character more for the keys that delete.
  void NoteFocusedField(Qt::Key key) {
    edited_ = {};
    QWidget* focus = KeyReceiver();
    if (!focus || !focus->property("elementType").isValid() || app_.state.CurRecord < 0) return;
    int selected = 0;
    if (auto* line = qobject_cast<QLineEdit*>(focus)) selected = line->selectedText().size();
    if (auto* memo = qobject_cast<QTextEdit*>(focus)) {
      // A line break is stored as two characters.
      const QString selection = memo->textCursor().selectedText();
      selected = selection.size() + selection.count(QChar::ParagraphSeparator);
    }
    const bool deletes = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    // Deleting a line break takes both its characters.
    edited_ = {focus->property("elementType").toInt(), focus->property("elementSlot").toInt(),
               selected + (deletes ? 2 : 0)};
  }

  // A text field's own menu (cut, delete, paste) edits the field's value.
  void NoteFieldMenu() {
    fieldMenu_ = {};
    QWidget* popup = QApplication::activePopupWidget();
    // A multiline text's menu belongs to its viewport.
    QWidget* field = popup ? popup->parentWidget() : nullptr;
    while (field && !field->property("elementType").isValid()) field = field->parentWidget();
    if (!field) return;
    fieldMenu_ = {field->property("elementType").toInt(), field->property("elementSlot").toInt(),
                  INT_MAX};
  }

  // A command the user can reach now.
  void Command() {
    QList<QAction*> reachable;
    for (QAction* action : WindowActions(window()))
      if (!MenuOpenedBy(action) && Reachable(action)) reachable << action;
    if (reachable.isEmpty()) return;
    QAction* action = reachable[random_.bounded(reachable.size())];
    Log("command " + ActionName(action));
    action->trigger();
  }

  // Inside a menu's or a drag's own loop: the menu is closed or one of its
  // entries chosen, the drag ended.
  void AnswerWaitingLoop() {
    if (QThread::currentThread()->loopLevel() == 0 || answering_) return;
    answering_ = true;
    if (QWidget* popup = QApplication::activePopupWidget()) {
      auto* menu = qobject_cast<QMenu*>(popup);
      QList<QAction*> entries;
      if (menu) {
        for (QAction* entry : menu->actions())
          if (entry->isEnabled() && entry->isVisible() && !entry->isSeparator()) entries << entry;
      }
      if (!entries.isEmpty() && random_.bounded(2) == 0) {
        QAction* entry = entries[random_.bounded(entries.size())];
        Log("  chosen in the waiting menu: " + entry->objectName());
        QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {},
                          menu->actionGeometry(entry).center());
      } else {
        Log("  the waiting pop-up closed");
        QTest::keyClick(popup->windowHandle(), Qt::Key_Escape);
      }
    } else {
      Log("  the waiting loop ended with a release");
      ReleaseHeldButtons();
      QTest::keyClick(window_, Qt::Key_Escape);
    }
    answering_ = false;
  }

  void Step() {
    commands_.clear();
    dialogs_.asked.clear();
    edited_ = {};
    NoteFieldMenu();
    {
      // Every action the window holds now tells the commands it runs.
      QObject watching;
      for (QAction* action : WindowActions(window())) {
        QObject::connect(action, &QAction::triggered, &watching,
                         [this, action] { commands_ << action->objectName(); });
      }
      const int pick = random_.bounded(100);
      QList<Qt::MouseButton> held;
      for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (held_.testFlag(button)) held << button;
      if (pick < 22)
        Press();
      else if (pick < 44)
        Move();
      else if (pick < 62)
        held.isEmpty() ? Press() : Release(held[random_.bounded(held.size())]);
      else if (pick < 64)
        DoubleClick();
      else if (pick < 68)
        ClickAField();
      else
        pick < 88 ? Key() : Command();
      QCoreApplication::processEvents();
      // The half-second tick, at fixed events so that a seed repeats its run.
      if (done_ % 25 == 24) app_.UpdateTick();
    }
    if (Ended()) return;
    Check();
  }

  void Check() {
    const Database& after = app_.db;
    QString problem = ModelProblems(app_);
    if (problem.isEmpty()) problem = TreeDifference(app_);
    if (problem.isEmpty()) problem = LostValue(before_, after);
    if (problem.isEmpty() && !after.Modified && after.DatabasePath != u"noname")
      problem = FileDifference(app_);
    // Menus that fill as they open offer their entries as commands.
    if (problem.isEmpty() && !QApplication::activePopupWidget()) FillEveryMenu(window());
    if (!problem.isEmpty()) Fail(problem);
    if (!dialogs_.asked.isEmpty()) Log("  asked: " + dialogs_.asked.join(' '));
    if (!commands_.isEmpty()) Log("  ran: " + commands_.join(' '));
    before_ = after;
  }

  bool Ran(const QStringList& any) const {
    return std::any_of(commands_.begin(), commands_.end(),
                       [&](const QString& c) { return any.contains(c); });
  }

  // A stored value that got shorter, unless the event deleted, sorted,
  // replaced or edited it.
  QString LostValue(const Database& before, const Database& after) {
    if (Ran(kReshaping)) return {};
    // Yes to a question deletes; No to saving discards.
    if (dialogs_.asked.contains("yes") || dialogs_.asked.contains("no")) return {};
    if (before.DatabasePath != after.DatabasePath || before.RecordCount != after.RecordCount)
      return {};
    const bool dialogEdits =
        std::any_of(dialogs_.asked.begin(), dialogs_.asked.end(),
                    [](const QString& asked) { return asked != u"ok" && asked != u"cancel"; });
    const bool quickList = canvas().QuickList().isVisible() || commands_.contains("quick");
    for (int r = 0; r < before.RecordCount; ++r) {
      if (!IsLiveRecord(before, r)) continue;
      if (!IsLiveRecord(after, r)) return QStringLiteral("record %1 is gone").arg(r);
      const RecordData& was = before.Records[r];
      const RecordData& is = after.Records[r];
      // Moving folders renumbers them, so only the form is the record's own.
      if (was.Form != is.Form) return QStringLiteral("record %1 changed its form").arg(r);
      const std::pair<int, const PerSlot<QString> RecordData::*> fields[] = {
          {kText, &RecordData::TextValue},
          {kImage, &RecordData::ImageValue},
          {kButton, &RecordData::ButtonValue},
          {kMultiline, &RecordData::MemoValue}};
      for (const auto& [type, field] : fields) {
        for (int k = 0; k < kSlotCount; ++k) {
          const qsizetype lost = (was.*field)[k].size() - (is.*field)[k].size();
          if (lost <= 0) continue;
          const bool keyEdit =
              r == app_.state.CurRecord &&
              ((edited_.type == type && edited_.slot == k && lost <= edited_.allowed) ||
               (fieldMenu_.type == type && fieldMenu_.slot == k));
          const bool byDialog = dialogEdits && (type == kImage || type == kButton);
          if (keyEdit || byDialog || (quickList && type == kText)) continue;
          return QString::asprintf("value %d/%d of record %d lost %lld of its %lld characters",
                                   type, k, r, qlonglong(lost), qlonglong((was.*field)[k].size()));
        }
      }
    }
    return {};
  }

  struct Edited {
    int type = -1;
    int slot = -1;
    int allowed = 0;
  };

  QWindow* window_ = nullptr;
  QTimer answerer_;
  bool answering_ = false;
  Qt::MouseButtons held_;
  Database before_;
  Edited edited_;
  Edited fieldMenu_;
  QStringList commands_;
};

}  // namespace

class RawInputTest : public QObject {
  Q_OBJECT

 private slots:
  void randomInputKeepsEveryRule() {
    KeepPlatformQuiet();
    const int events = RunLength("ORBO_RAW_EVENTS", kDefaultEvents);
    const quint32 firstSeed = qEnvironmentVariableIsSet("ORBO_RAW_SEED")
                                  ? quint32(qEnvironmentVariableIntValue("ORBO_RAW_SEED"))
                                  : 0x5EED0000u;
    QElapsedTimer timer;
    timer.start();
    int done = 0;
    int sessions = 0;
    for (quint32 seed = firstSeed; done < events; ++seed, ++sessions) {
      RawSession session(seed);
      const QString failure = session.Run(std::min(kEventsPerRun, events - done));
      done += std::max(session.Done(), 1);
      // Past the test's limit on warnings, only this stays.
      if (!failure.isEmpty()) fprintf(stderr, "%s\n", qPrintable(failure));
      QVERIFY2(failure.isEmpty(), "an event broke a rule");
    }
    qInfo("%d events in %d program runs, %lld ms", done, sessions, timer.elapsed());
  }
};

QTEST_MAIN(RawInputTest)
#include "tst_raw_input.moc"
