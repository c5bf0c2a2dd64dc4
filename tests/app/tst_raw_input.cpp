// Real input to the real window offscreen: presses, moves and releases of
// every mouse button at random points of the canvas, the tree, the contents
// list, the toolbars, the menus and pop-ups, in random interleavings; keys;
// every command the user can reach; questions and dialogs answered at
// random, and menus that wait for the user closed or chosen from a timer.
// After each event the model keeps its rules, the tree shows the model,
// no stored value got shorter unless the event deleted, sorted, replaced or
// edited it, and an unmodified database equals its file.
// A longer run: ORBO_RAW_EVENTS=200000 tst_raw_input
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include "../window_actions.h"
#include "forms/canvas/form_canvas.h"
#include "random_run.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr int kDefaultEvents = 1500;
constexpr int kEventsPerRun = 1000;

// Commands after which stored values may be gone or elsewhere: deleting,
// sorting, opening and replacing, and taking back or doing again.
const QStringList kReshaping{
    "del",         "mnuDelRec",     "mnuDelFolder", "delete",   "mnuDelEl",    "delform",
    "mnuDelForm",  "mnuSort",       "sort",         "new",      "mnuNew",      "open",
    "mnuLoad",     "mnuImOrbo",     "mnuImAccess",  "mnuAbout", "mnSort2_0",   "mnSort2_1",
    "mnSort2_2",   "mnSort2_3",     "deleteKey",    "drop",     "mnuRecent_0", "mnuRecent_1",
    "mnuRecent_2", "mnuRecent_3",   "mnuPicChange", "mnuUndo",  "mnuRedo",     "mnuMoveTo",
    "mnuClose",    "mnuSortAsShown"};

// One program run driven by raw events.
class RawSession : public RandomSession {
 public:
  explicit RawSession(quint32 seed) : RandomSession(seed, "files/none.2db", 40) {
    if (seed % 2 == 0) LoadTheExample();
    // Exchanges run whole: CSV files out, then in again with their folders.
    dialogs_.worked += QStringList{"ExCsvForm", "ImForm", "MoveForm"};
    window_ = window().windowHandle();
    window().activateWindow();
    // Menus and drags wait in loops of their own; a timer answers them.
    answerer_.setInterval(1);
    QObject::connect(&answerer_, &QTimer::timeout, [this] { AnswerWaitingLoop(); });
    answerer_.start();
    window().UpdateTimer().stop();
    // The tree's drops and keys reshape the records without a command.
    FolderTreeView& tree = window().MainList();
    tree.onDrop = [this, drop = tree.onDrop](const QModelIndex& dragged,
                                             const QModelIndex& target) {
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

  bool Ended() { return !window().isVisible(); }

  // Empty when every event kept every rule; else what broke and the
  // events that led there.
  QString Run(int events) {
    for (int i = 0; i < events && failure_.isEmpty() && !Ended(); ++i) {
      Step();
      ++done_;
    }
    return Outcome();
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
    offer(main.RecordTable().viewport(), 3);
    offer(main.RecordTable().horizontalHeader()->viewport(), 1);
    offer(&main.TableForms(), 1);
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

  // One mouse event at a random point of a pop-up that is open or of the
  // window, or at the point given; a press of a held button lets it go.
  void Mouse(QTest::MouseAction action, Qt::MouseButton button,
             std::optional<QPoint> onWindow = std::nullopt) {
    if (action == QTest::MousePress && held_.testFlag(button)) action = QTest::MouseRelease;
    QWindow* target = window_;
    QPoint at;
    if (QWidget* popup = QApplication::activePopupWidget();
        !onWindow && popup && random_.bounded(3) != 0) {
      target = popup->windowHandle();
      at = RandomPointIn(*popup);
    } else {
      at = onWindow ? *onWindow : RandomWindowPoint();
    }
    static const char* const names[] = {"press", "release", "click", "double click", "move"};
    Log(QStringLiteral("%1 %2 at %3,%4%5")
            .arg(names[action])
            .arg(int(button))
            .arg(at.x())
            .arg(at.y())
            .arg(target == window_ ? "" : " on a pop-up"));
    if (action == QTest::MousePress) held_ |= button;
    if (action == QTest::MouseRelease) held_ &= ~button;
    if (action != QTest::MouseRelease && action != QTest::MouseMove) Activate(target);
    QTest::mouseEvent(action, target, button, {}, at);
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
    std::optional<QPoint> at;
    if (!fields.isEmpty() && held_ == Qt::NoButton)
      at = RandomShownPoint(*fields[random_.bounded(fields.size())]);
    if (at) return Mouse(QTest::MouseClick, Qt::LeftButton, at);
    Mouse(QTest::MouseMove, Qt::NoButton);
  }

  void ReleaseHeldButtons() {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
      if (held_.testFlag(button)) QTest::mouseRelease(window_, button, {}, QPoint(1, 1));
    held_ = {};
  }

  void Key() {
    static const QStringList keys =
        QStringLiteral(
            "F5 F6 Esc Del Ins Return Ctrl+S Backspace Tab A B Space Ctrl+A Left Down "
            "Shift+End Shift+Right Shift+Up Shift+Tab Ctrl+Tab Menu Alt+Home Ctrl+PgUp "
            "Ctrl+PgDown Alt+End Alt+Up Ctrl+M Ctrl+Shift+M Alt+Return Ctrl+Shift+K F7 F8 F9 "
            "Ctrl+W")
            .split(' ');
    const QKeyCombination choice = QKeySequence(keys[random_.bounded(int(keys.size()))])[0];
    Log("key " + QKeySequence(choice).toString());
    // A pop-up hears its keys as a widget: a key that closes it takes its
    // window away while a delivery to the window still holds it. The
    // release goes only where the pop-up is left.
    if (const QPointer<QWidget> popup = QApplication::activePopupWidget()) {
      QTest::keyPress(popup, choice.key(), choice.keyboardModifiers());
      if (popup && popup->isVisible())
        QTest::keyRelease(popup, choice.key(), choice.keyboardModifiers());
      return;
    }
    // Otherwise to the active window (the help window may be), and there to
    // its focus.
    const QPointer<QWindow> target =
        QGuiApplication::focusWindow() ? QGuiApplication::focusWindow() : window_;
    NoteKeyEdit(target, choice.key());
    QTest::keyPress(target, choice.key(), choice.keyboardModifiers());
    if (target) QTest::keyRelease(target, choice.key(), choice.keyboardModifiers());
  }

  // A key may shorten the field it goes to by the selection, and a key that
  // deletes by a line break more, which is stored as two characters.
  void NoteKeyEdit(QWindow* target, Qt::Key key) {
    auto* focus = qobject_cast<QWidget*>(target->focusObject());
    if (!focus || app_.state.CurRecord < 0) return;
    int selected = 0;
    if (auto* line = qobject_cast<QLineEdit*>(focus)) selected = line->selectedText().size();
    if (auto* memo = qobject_cast<QTextEdit*>(focus)) {
      const QString selection = memo->textCursor().selectedText();
      selected = selection.size() + selection.count(QChar::ParagraphSeparator);
    }
    NoteEdit(focus, selected + (key == Qt::Key_Backspace || key == Qt::Key_Delete ? 2 : 0));
  }

  void NoteEdit(QWidget* field, int allowed) {
    if (field && field->property("elementType").isValid())
      edits_.push_back({field->property("elementType").toInt(),
                        field->property("elementSlot").toInt(), allowed});
  }

  // A click into the window makes it the active one, as the desktop does.
  void Activate(QWindow* target) {
    if (target == window_ && !window().isActiveWindow()) {
      window().activateWindow();
      QCoreApplication::processEvents();
    }
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
    edits_.clear();
    // A text field's own menu (cut, delete, paste) edits the field's value; a
    // multiline text's menu belongs to its viewport.
    QWidget* field = QApplication::activePopupWidget();
    if (field) field = field->parentWidget();
    while (field && !field->property("elementType").isValid()) field = field->parentWidget();
    NoteEdit(field, INT_MAX);
    // Every action the window holds now tells the commands it runs.
    QObject watching;
    for (QAction* action : WindowActions(window()))
      QObject::connect(action, &QAction::triggered, &watching,
                       [this, action] { commands_ << action->objectName(); });
    const int pick = random_.bounded(100);
    QList<Qt::MouseButton> held;
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
      if (held_.testFlag(button)) held << button;
    if (pick < 22 || (pick >= 44 && pick < 62 && held.isEmpty()))
      Mouse(QTest::MousePress, RandomButton());
    else if (pick < 44)
      Mouse(QTest::MouseMove, Qt::NoButton);
    else if (pick < 62)
      Mouse(QTest::MouseRelease, held[random_.bounded(held.size())]);
    else if (pick < 64)
      Mouse(QTest::MouseDClick, Qt::LeftButton);
    else if (pick < 68)
      ClickAField();
    else
      pick < 88 ? Key() : Command();
    QCoreApplication::processEvents();
    // The half-second tick, at fixed events so that a seed repeats its run.
    if (done_ % 25 == 24) app_.UpdateTick();
    if (Ended()) return;
    Check();
  }

  void Check() {
    QString problem = WindowProblems(app_);
    if (problem.isEmpty()) problem = LostValue(before_, app_.db);
    if (!dialogs_.asked.isEmpty()) Log("  asked: " + dialogs_.asked.join(' '));
    if (!commands_.isEmpty()) Log("  ran: " + commands_.join(' '));
    if (!problem.isEmpty()) return Fail(problem);
    // Menus that fill as they open offer their entries as commands.
    if (!QApplication::activePopupWidget()) FillEveryMenu(window());
    before_ = app_.db;
  }

  // A stored value that got shorter, unless the event deleted, sorted,
  // replaced or edited it.
  QString LostValue(const Database& before, const Database& after) {
    const QStringList& asked = dialogs_.asked;
    // Yes to a question deletes; No to saving discards.
    if (std::any_of(commands_.begin(), commands_.end(),
                    [](const QString& c) { return kReshaping.contains(c); }) ||
        asked.contains("yes") || asked.contains("no") ||
        before.DatabasePath != after.DatabasePath || before.RecordCount != after.RecordCount)
      return {};
    const bool dialogEdits =
        std::any_of(asked.begin(), asked.end(), [](const QString& a) { return a != u"cancel"; });
    const bool quickList = canvas().QuickList().isVisible() || commands_.contains("quick");
    for (int r = 0; r < before.RecordCount; ++r) {
      const RecordData& was = before.Records[r];
      const RecordData& is = after.Records[r];
      if (was.Folder == BufferFolder) continue;
      if (is.Folder == BufferFolder) return QStringLiteral("record %1 is gone").arg(r);
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
          const bool keyEdit =
              r == app_.state.CurRecord && std::any_of(edits_.begin(), edits_.end(), [&](auto& e) {
                return e.type == type && e.slot == k && lost <= e.allowed;
              });
          if (lost <= 0 || keyEdit || (dialogEdits && (type == kImage || type == kButton)) ||
              (quickList && type == kText))
            continue;
          return QString::asprintf("value %d/%d of record %d lost %lld of its %lld characters",
                                   type, k, r, qlonglong(lost), qlonglong((was.*field)[k].size()));
        }
      }
    }
    return {};
  }

  QWindow* window_ = nullptr;
  QTimer answerer_;
  bool answering_ = false;
  Qt::MouseButtons held_;
  Database before_;
  QStringList commands_;
  // The fields of the record shown the event may shorten, and by how much.
  struct Edit {
    int type, slot, allowed;
  };
  std::vector<Edit> edits_;
};

}  // namespace

class RawInputTest : public QObject {
  Q_OBJECT

 private slots:
  void randomInputKeepsEveryRule() {
    RunSessions<RawSession>("ORBO_RAW_EVENTS", kDefaultEvents, kEventsPerRun,
                            qEnvironmentVariableIsSet("ORBO_RAW_SEED")
                                ? quint32(qEnvironmentVariableIntValue("ORBO_RAW_SEED"))
                                : 0x5EED0000u);
  }
};

QTEST_MAIN(RawInputTest)
#include "tst_raw_input.moc"
