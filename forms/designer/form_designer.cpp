#include "forms/designer/form_designer.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <algorithm>
#include <utility>

#include "forms/canvas/form_canvas.h"
#include "forms/designer/designer_texts.h"
#include "shell/new_names.h"
#include "shell/window_context.h"
#include "storage/form_selection.h"

namespace orbo {
namespace {

constexpr int kHandleCount = 8;
// The undo steps of the designer.

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

FormDesigner::FormDesigner(WindowContext& context, FormCanvas& canvas)
    : QObject(&canvas.FormArea()), context_(context), canvas_(canvas), formCombo_(new QComboBox()) {
  formCombo_->setObjectName("FormCombo");
  formCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  context_.commands.Bar(kEditBar)->addWidget(formCombo_);
  canvas_.FormArea().installEventFilter(this);
  for (int i = 0; i < kHandleCount; ++i) {
    QLabel& handle = canvas_.SelectionHandle(i);
    handle.installEventFilter(this);
    handle.setCursor(i == 0 || i == 5   ? Qt::SizeFDiagCursor
                     : i == 6 || i == 7 ? Qt::SizeBDiagCursor
                     : i == 1 || i == 3 ? Qt::SizeHorCursor
                                        : Qt::SizeVerCursor);
  }
  ConnectCommands();
  connect(&context_.funnel, &CommandFunnel::modelChanged, this,
          [this](const ChangedParts& parts, bool undoOrRedo) { FollowModel(parts, undoOrRedo); });
}

FormDesigner::~FormDesigner() = default;

void FormDesigner::ConnectCommands() {
  MainCommands& c = context_.commands;
  // Each of these menu items is also a button of the edit toolbar.
  c.OnTriggered(c.Menu("mnuDelEl"), [this] { DeleteElement(); });
  c.OnTriggered(c.Menu("mnuAddForm"), [this] { AddForm(); });
  c.OnTriggered(c.Menu("mnuDelForm"), [this] { DeleteForm(); });
  c.OnTriggered(c.Menu("mnuCloneForm"), [this] { CloneForm(); });
  c.OnTriggered(c.Menu("mnuGrid"), [this] { ToggleGrid(); });
  c.OnTriggered(c.Tool(kEditBar, "elprops"), [this] { ShowProperties(); });
  for (int type = 0; type < kElementTypeCount; ++type) {
    QAction* tool = c.Tool(kEditBar, kElementTools[type]);
    tool->setCheckable(true);
    c.OnTriggered(tool, [this, tool] { ChooseTool(tool); });
    c.OnTriggered(c.Menu(QStringLiteral("mnuAddEl_%1").arg(type)),
                  [this, tool] { ChooseTool(tool); });
  }
  QAction* arrow = c.Tool(kEditBar, "arrow");
  arrow->setCheckable(true);
  c.OnTriggered(arrow, [this] { ChooseTool(nullptr); });
  connect(formCombo_, &QComboBox::activated, this, [this](int index) {
    context_.funnel.Run([this, index] {
      if (index == context_.db.FormCount) {
        AddForm();
      } else {
        ChooseForm(index);
      }
    });
  });
}

void FormDesigner::Start() {
  gesture_ = {};
  RebuildFormLists();
  SelectElement(kSelectForm, 0);
  DrawGrid();
  // The keys design from the start, with no click first.
  canvas_.FormArea().setFocus(Qt::OtherFocusReason);
}

void FormDesigner::FollowModel(const ChangedParts& parts, bool undoOrRedo) {
  // A change made during a gesture (Ctrl+Z while dragging, say) ends the
  // gesture: the control shows the model, and the release stores nothing
  // that would bring back what was just taken back.
  if (GestureApplies()) gesture_.start = BoxOf(gesture_.type, gesture_.slot);
  CancelGesture();
  // Names, icons and the number of forms show in the lists.
  if (parts.forms) RebuildFormLists();
  if (undoOrRedo && context_.state.EditMode == WorkMode::Edit && context_.state.CurForm >= 0)
    Redraw();
}

bool FormDesigner::Change(TextId step, const ChangeScope& scope,
                          const std::function<void()>& change) {
  return context_.funnel.Change(context_.texts.Get(step), scope, change);
}

void FormDesigner::ChooseTool(QAction* tool) {
  MainCommands& c = context_.commands;
  for (const char* key : kElementTools) c.Tool(kEditBar, key)->setChecked(false);
  c.Tool(kEditBar, "arrow")->setChecked(tool == nullptr);
  if (tool) tool->setChecked(true);
  canvas_.FormArea().setCursor(tool ? Qt::CrossCursor : Qt::ArrowCursor);
}

int FormDesigner::ArmedType() const {
  MainCommands& c = context_.commands;
  for (int type = 0; type < kElementTypeCount; ++type) {
    if (c.Tool(kEditBar, kElementTools[type])->isChecked()) return type;
  }
  return -1;
}

void FormDesigner::Redraw() {
  canvas_.DrawForm(context_.state.CurForm);
  DrawGrid();
  PlaceHandles();
}

void FormDesigner::SelectElement(int type, int slot) {
  Select(type, slot);
  PlaceHandles();
}

QRect FormDesigner::BoxOf(int type, int slot) const {
  const FormDef& form = context_.db.Forms[At(context_.state.CurForm)];
  // A size a file could not have held is taken as the smallest, so the
  // handles can still reach it.
  if (type < 0) return {0, 0, std::max<int>(form.Width, 1), std::max<int>(form.Height, 1)};
  const ElementDef& e = form.Elements[At(type)][At(slot)];
  // A combo is as high as its font makes it.
  const int height =
      type == kCombo ? canvas_.TwipsY(canvas_.Control(kCombo, slot)->height()) : e.Height;
  return {e.Left, e.Top, std::max<int>(e.Width, 1), std::max(height, 1)};
}

QRect FormDesigner::SelectedBox() const {
  return BoxOf(context_.state.SelType, context_.state.SelIndex);
}

void FormDesigner::PlaceHandles() {
  const DisplayState& state = context_.state;
  // A selection left from database mode or from another form shows none.
  const bool shown = state.EditMode == WorkMode::Edit && state.SelType != kSelectDatabase &&
                     IsSelectionValid(context_.db, state.CurForm, state.SelType, state.SelIndex);
  if (!shown) {
    for (int i = 0; i < kHandleCount; ++i) canvas_.SelectionHandle(i).hide();
    return;
  }
  const QRect box = GestureApplies() ? gesture_.box : SelectedBox();
  // The form's handles surround the canvas, whose corner is the origin.
  const QPoint origin = canvas_.FormArea().pos();
  for (int i = 0; i < kHandleCount; ++i) {
    QLabel& handle = canvas_.SelectionHandle(i);
    handle.setGeometry(canvas_.Pixels(HandleRect(i, box)).translated(origin));
    handle.show();
    handle.raise();
  }
}

void FormDesigner::ApplyBox(int type, int slot, const QRect& box) {
  if (type == -1) {
    canvas_.FormArea().resize(canvas_.PixelsX(box.width()), canvas_.PixelsY(box.height()));
    canvas_.LayoutCanvas();
    return;
  }
  QWidget* control = canvas_.Control(type, slot);
  QRect pixels = canvas_.Pixels(box);
  if (type == kCombo) pixels.setHeight(control->height());
  control->setGeometry(pixels);
}

void FormDesigner::CommitGeometry(const Gesture& gesture) {
  FormDef& form = context_.db.Forms[At(gesture.form)];
  const QRect& box = gesture.box;
  if (gesture.type == -1) {
    form.Width = StoredSide(box.width());
    form.Height = StoredSide(box.height());
    return;
  }
  ElementDef& e = form.Elements[At(gesture.type)][At(gesture.slot)];
  e.Left = StoredTwips(box.left());
  e.Top = StoredTwips(box.top());
  e.Width = StoredSide(box.width());
  if (gesture.type != kCombo) e.Height = StoredSide(box.height());
}

void FormDesigner::AddElement(int type, int x, int y) {
  Database& db = context_.db;
  const LanguageTexts& texts = context_.texts;
  const int form = context_.state.CurForm;
  if (db.Forms[At(form)].ElementCount[At(type)] >= kMaxElementsPerType) {
    context_.services.ShowMessage(texts.Get(designer_texts::kElementLimitStart) +
                                      QString::number(kMaxElementsPerType) + u' ' +
                                      texts.Get(designer_texts::kElementLimitEnd),
                                  kExclamation);
    return;
  }
  // The records start the new slot empty.
  int slot = -1;
  Change(designer_texts::kAddElementStep, ScopeOfElementChange(context_.db, form), [&] {
    slot = AddElementInModel(db, form, type, x, y, context_.settings.DefaultFont,
                             NewNamesIn(context_.texts, db.CodePageName));
    if (slot >= 0) Select(type, slot);
  });
  if (slot < 0) return;
  Redraw();
  if (type == kImage) {
    static_cast<QLabel*>(canvas_.Control(kImage, slot))
        ->setPixmap(QPixmap(context_.services.ProgramFile(QStringLiteral("icons\\simple.jpg"))));
  }
  SelectElement(type, slot);
}

void FormDesigner::DeleteElement() {
  const DisplayState& state = context_.state;
  const Database& db = context_.db;
  const LanguageTexts& texts = context_.texts;
  WindowServices& services = context_.services;
  if (state.EditMode != WorkMode::Edit) return;
  if (state.SelType == kSelectDatabase) {
    services.ShowMessage(texts.Get(designer_texts::kDatabaseNotDeleted), kExclamation);
    return;
  }
  if (state.SelType == kSelectForm) {
    DeleteForm();
    return;
  }
  const int form = state.CurForm;
  const int type = state.SelType;
  const int slot = state.SelIndex;
  if (type == kText && db.Forms[At(form)].ElementCount[kText] == 1) {
    services.ShowMessage(texts.Get(designer_texts::kOnlyTextFieldNotDeleted), kExclamation);
    return;
  }
  if (type != kLabel && FormInUse(db, form) &&
      services.ShowMessage(texts.Get(designer_texts::kAskDeleteElementValues), kYesNo) !=
          kAnswerYes) {
    return;
  }
  // The step keeps the records' values of the element, and of the one that
  // takes its slot.
  Change(designer_texts::kDeleteElementStep, ScopeOfElementChange(context_.db, form), [&] {
    DeleteElementInModel(context_.db, form, type, slot);
    Select(kSelectForm, 0);
  });
  Redraw();
}

bool FormDesigner::AddForm() {
  Database& db = context_.db;
  bool added = false;
  Change(designer_texts::kAddFormStep, ChangeScope::Forms({db.FormCount}), [&] {
    added = AddFormInModel(db, context_.settings.DefaultFont,
                           NewNamesIn(context_.texts, db.CodePageName));
    if (added) Show(db.FormCount - 1);
  });
  if (!added) {
    TellTooManyForms();
    return false;
  }
  ChooseForm(db.FormCount - 1);
  return true;
}

void FormDesigner::CloneForm() {
  Database& db = context_.db;
  bool cloned = false;
  Change(designer_texts::kCloneFormStep, ChangeScope::Forms({db.FormCount}), [&] {
    cloned = CloneFormInModel(db, context_.state.CurForm);
    if (cloned) Show(db.FormCount - 1);
  });
  if (!cloned) {
    TellTooManyForms();
    return;
  }
  ChooseForm(db.FormCount - 1);
}

void FormDesigner::TellTooManyForms() {
  const LanguageTexts& texts = context_.texts;
  context_.services.ShowMessage(texts.Get(designer_texts::kFormLimitStart) +
                                    QString::number(kMaxForms) +
                                    texts.Get(designer_texts::kFormLimitEnd),
                                kOkOnly);
}

void FormDesigner::DeleteForm() {
  Database& db = context_.db;
  const int form = context_.state.CurForm;
  if (db.FormCount == 1) {
    context_.services.ShowMessage(context_.texts.Get(designer_texts::kOnlyFormNotDeleted),
                                  kExclamation);
    return;
  }
  if (form < 0 || form >= db.FormCount || FormInUse(db, form)) {
    context_.services.ShowMessage(context_.texts.Get(designer_texts::kFormUsedByRecords),
                                  kExclamation);
    return;
  }
  Change(designer_texts::kDeleteFormStep, ScopeOfFormDeletion(db, form), [&] {
    DeleteFormInModel(db, form);
    Show(std::min(form, db.FormCount - 1));
  });
  ChooseForm(std::min(form, db.FormCount - 1));
}

void FormDesigner::Select(int type, int slot) {
  context_.state.SelType = type;
  context_.state.SelIndex = slot;
}

void FormDesigner::Show(int form) {
  context_.state.CurForm = form;
  Select(kSelectForm, 0);
}

void FormDesigner::ChooseForm(int form) {
  Show(form);
  Redraw();
  formCombo_->setCurrentIndex(form);
}

void FormDesigner::ShowProperties() {
  if (context_.state.EditMode == WorkMode::Edit && onPropertiesAsked) onPropertiesAsked();
}

void FormDesigner::ToggleGrid() {
  context_.settings.ShowGrid = !context_.settings.ShowGrid;
  DrawGrid();
}

void FormDesigner::DrawGrid() {
  const AppSettings& settings = context_.settings;
  const bool editMode = context_.state.EditMode == WorkMode::Edit;
  canvas_.DrawGrid(settings.ShowGrid && editMode, settings.GridStepX, settings.GridStepY);
  MainCommands& c = context_.commands;
  c.Menu("mnuGrid")->setChecked(settings.ShowGrid);
  if (editMode) context_.services.StatusPanel("grid").setEnabled(settings.ShowGrid);
}

void FormDesigner::RebuildFormLists() {
  const Database& db = context_.db;
  {
    const QSignalBlocker blocked(formCombo_);
    formCombo_->clear();
    for (int f = 0; f < db.FormCount; ++f) formCombo_->addItem(db.Forms[At(f)].Name);
    formCombo_->addItem(context_.texts.Get(designer_texts::kNewFormListEntry));
    formCombo_->setCurrentIndex(context_.state.CurForm);
  }
  QMenu* chooser = context_.commands.Submenu("mnuSelForm");
  chooser->clear();
  for (int f = 0; f < db.FormCount; ++f) {
    QAction* entry = chooser->addAction(db.Forms[At(f)].Name);
    entry->setObjectName(QStringLiteral("mnuSelForm_%1").arg(f));
    connect(entry, &QAction::triggered, this, context_.funnel.Gated([this, f] { ChooseForm(f); }));
  }
  emit context_.events.formsChanged();
}

QPoint FormDesigner::CanvasTwips(const QPoint& pixels) const {
  return {canvas_.TwipsX(pixels.x()), canvas_.TwipsY(pixels.y())};
}

bool FormDesigner::eventFilter(QObject* watched, QEvent* event) {
  const bool onCanvas = watched == &canvas_.FormArea();
  int handle = -1;
  for (int i = 0; i < kHandleCount && !onCanvas; ++i) {
    if (watched == &canvas_.SelectionHandle(i)) handle = i;
  }
  if (!onCanvas && handle < 0) return false;
  if (context_.state.EditMode != WorkMode::Edit || context_.state.CurForm < 0) {
    // Whatever the mouse was doing ends with edit mode; the canvas was
    // drawn again from the model.
    gesture_.kind = Gesture::kIdle;
    return false;
  }
  switch (event->type()) {
    case QEvent::Move:
      // The canvas scrolled: the handles go with it.
      if (onCanvas) PlaceHandles();
      return false;
    case QEvent::FocusOut:
    case QEvent::Hide:
      // Handles hide at every drawing; only the canvas going away counts.
      if (onCanvas) CancelGesture();
      return false;
    case QEvent::KeyPress:
      return onCanvas && CanvasKey(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress: {
      // A second button, or a press whose release went elsewhere, ends the
      // gesture before this press counts.
      CancelGesture();
      auto* mouse = static_cast<QMouseEvent*>(event);
      canvas_.FormArea().setFocus(Qt::MouseFocusReason);
      return onCanvas ? CanvasPress(mouse) : HandlePress(handle, mouse);
    }
    case QEvent::MouseMove:
      if (gesture_.kind == Gesture::kIdle) return false;
      FollowGesture(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) FinishGesture();
      return true;
    default:
      return false;
  }
}

bool FormDesigner::CanvasPress(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const auto [type, slot] = canvas_.ElementAt(at);
  SelectElement(type, IsElementSelection(type) ? slot : 0);
  if (event->button() == Qt::RightButton) {
    context_.commands.Submenu("mnuEditor")->popup(QCursor::pos());
    return true;
  }
  if (event->button() != Qt::LeftButton) return true;
  if (type < 0) {
    // The bare canvas selects the form; it is never dragged from there.
    const int armed = ArmedType();
    if (armed >= 0) {
      const QPoint point = CanvasTwips(at);
      context_.funnel.Run([&] {
        AddElement(armed, point.x(), point.y());
        ChooseTool(nullptr);
      });
    }
    return true;
  }
  ChooseTool(nullptr);
  const QWidget* control = canvas_.Control(type, slot);
  const QPoint inside = at - control->pos();
  // A press on the right or bottom edge starts no drag.
  if (inside.x() >= control->width() - 1 || inside.y() >= control->height() - 1) return true;
  BeginGesture(Gesture::kMove, CanvasTwips(inside), -1);
  return true;
}

bool FormDesigner::HandlePress(int handle, QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && context_.state.SelType != kSelectDatabase) {
    BeginGesture(Gesture::kResize, event->globalPosition().toPoint(), handle);
  }
  return true;
}

bool FormDesigner::CanvasKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  // Keys wait while the mouse drags.
  const bool dragging = gesture_.kind != Gesture::kIdle;
  switch (event->key()) {
    case Qt::Key_Escape:
      if (dragging) {
        CancelGesture();
      } else if (ArmedType() >= 0) {
        ChooseTool(nullptr);
      } else {
        return false;
      }
      return true;
    case Qt::Key_Delete:
      CancelGesture();
      // As the menu command does, through the command funnel.
      context_.commands.Menu("mnuDelEl")->trigger();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!dragging) EnterKey();
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (dragging) return true;
      if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return false;
      return SelectNeighbour(event->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
    case Qt::Key_Menu: {
      const QPoint at = canvas_.Pixels(SelectedBox()).center();
      context_.commands.Submenu("mnuEditor")->popup(canvas_.FormArea().mapToGlobal(at));
      return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
      if (dragging) return true;
      const int dx = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
      const int dy = event->key() == Qt::Key_Up ? -1 : event->key() == Qt::Key_Down ? 1 : 0;
      NudgeSelection(dx, dy, modifiers & Qt::ShiftModifier);
      return true;
    }
    default:
      return false;
  }
}

bool FormDesigner::SelectNeighbour(bool forward) {
  const DisplayState& state = context_.state;
  const FormDef& form = context_.db.Forms[At(state.CurForm)];
  // The form first, then its elements top to bottom, left to right.
  std::vector<std::pair<int, int>> order{{kSelectForm, 0}};
  for (int t = 0; t < kElementTypeCount; ++t) {
    for (int k = 0; k < form.ElementCount[At(t)]; ++k) order.emplace_back(t, k);
  }
  std::stable_sort(order.begin() + 1, order.end(), [&form](const auto& a, const auto& b) {
    const ElementDef& x = form.Elements[At(a.first)][At(a.second)];
    const ElementDef& y = form.Elements[At(b.first)][At(b.second)];
    return std::pair(x.Top, x.Left) < std::pair(y.Top, y.Left);
  });
  const std::pair<int, int> selected = IsElementSelection(state.SelType)
                                           ? std::pair(state.SelType, state.SelIndex)
                                           : std::pair(int(kSelectForm), 0);
  const auto at = std::find(order.begin(), order.end(), selected);
  const std::ptrdiff_t next = (at - order.begin()) + (forward ? 1 : -1);
  if (at == order.end() || next < 0 || next >= std::ssize(order)) return false;
  SelectElement(order[At(int(next))].first, order[At(int(next))].second);
  return true;
}

void FormDesigner::NudgeSelection(int dx, int dy, bool resize) {
  const DisplayState& state = context_.state;
  if (state.SelType == kSelectDatabase ||
      !IsSelectionValid(context_.db, state.CurForm, state.SelType, state.SelIndex) ||
      (!resize && state.SelType == kSelectForm)) {
    return;
  }
  const AppSettings& s = context_.settings;
  const int stepX = std::max<int>(s.GridStepX, 1);
  const int stepY = std::max<int>(s.GridStepY, 1);
  Gesture step;
  step.kind = resize ? Gesture::kResize : Gesture::kMove;
  step.form = state.CurForm;
  step.type = state.SelType;
  step.slot = state.SelIndex;
  step.start = step.box = SelectedBox();
  if (resize) {
    const HandleEdges edges{dx != 0, dy != 0, true, true};
    step.box = ResizedBox(step.start, dx * stepX, dy * stepY, edges, step.type == kCombo,
                          s.ShowGrid, stepX, stepY);
  } else {
    const FormDef& form = context_.db.Forms[At(step.form)];
    step.box.moveTo(MovedPosition(step.start.left() + dx * stepX, step.start.top() + dy * stepY,
                                  step.start.size(), QSize(form.Width, form.Height), s.ShowGrid,
                                  stepX, stepY));
  }
  if (StoreBox(step)) ApplyBox(step.type, step.slot, SelectedBox());
  PlaceHandles();
}

void FormDesigner::EnterKey() {
  const int armed = ArmedType();
  if (armed < 0) {
    context_.commands.Tool(kEditBar, "elprops")->trigger();
    return;
  }
  const QPoint visible(std::max(0, -canvas_.FormArea().x()), std::max(0, -canvas_.FormArea().y()));
  const QPoint corner = CanvasTwips(visible);
  const AppSettings& s = context_.settings;
  context_.funnel.Run([&] {
    AddElement(armed, corner.x() + s.GridStepX, corner.y() + s.GridStepY);
    ChooseTool(nullptr);
  });
}

void FormDesigner::BeginGesture(Gesture::Kind kind, const QPoint& grab, int handle) {
  const DisplayState& state = context_.state;
  gesture_.kind = kind;
  gesture_.form = state.CurForm;
  gesture_.type = state.SelType;
  gesture_.slot = state.SelIndex;
  gesture_.grab = grab;
  gesture_.start = gesture_.box = SelectedBox();
  gesture_.edges = handle >= 0 ? EdgesOfHandle(handle) : HandleEdges{};
}

void FormDesigner::FollowGesture(QMouseEvent* event) {
  // The left button went up where this designer never heard of it.
  if (!(event->buttons() & Qt::LeftButton) || !GestureApplies()) {
    CancelGesture();
    return;
  }
  const AppSettings& s = context_.settings;
  if (gesture_.kind == Gesture::kMove) {
    const QPoint point = CanvasTwips(event->position().toPoint()) - gesture_.grab;
    const FormDef& form = context_.db.Forms[At(gesture_.form)];
    gesture_.box.moveTo(MovedPosition(point.x(), point.y(), gesture_.start.size(),
                                      QSize(form.Width, form.Height), s.ShowGrid, s.GridStepX,
                                      s.GridStepY));
  } else {
    const QPoint cursor = event->globalPosition().toPoint();
    const int dx = canvas_.TwipsX(cursor.x() - gesture_.grab.x());
    const int dy = canvas_.TwipsY(cursor.y() - gesture_.grab.y());
    gesture_.box = ResizedBox(gesture_.start, dx, dy, gesture_.edges, gesture_.type == kCombo,
                              s.ShowGrid, s.GridStepX, s.GridStepY);
  }
  ApplyBox(gesture_.type, gesture_.slot, gesture_.box);
  PlaceHandles();
}

void FormDesigner::FinishGesture() {
  if (gesture_.kind == Gesture::kIdle) return;
  if (!GestureApplies()) {
    CancelGesture();
    return;
  }
  const Gesture done = std::exchange(gesture_, {});
  // The control is where the gesture left it: the step stores the box
  // without moving anything again. Refused while another command runs, the
  // control shows the model again.
  if (!StoreBox(done)) ApplyBox(done.type, done.slot, done.start);
  PlaceHandles();
}

bool FormDesigner::StoreBox(const Gesture& done) {
  return done.box == done.start || context_.funnel.Run([&] {
    Change(done.kind == Gesture::kMove ? designer_texts::kMoveStep : designer_texts::kResizeStep,
           ChangeScope::Forms({done.form}), [&] { CommitGeometry(done); });
    // A resized form is drawn again at its new size.
    if (done.type == -1) Redraw();
  });
}

void FormDesigner::CancelGesture() {
  if (gesture_.kind == Gesture::kIdle) return;
  const bool applies = GestureApplies();
  gesture_.kind = Gesture::kIdle;
  if (!applies) return;
  ApplyBox(gesture_.type, gesture_.slot, gesture_.start);
  PlaceHandles();
}

bool FormDesigner::GestureApplies() const {
  const DisplayState& state = context_.state;
  if (gesture_.kind == Gesture::kIdle || state.EditMode != WorkMode::Edit ||
      gesture_.form != state.CurForm || gesture_.form < 0 ||
      gesture_.form >= context_.db.FormCount || gesture_.type != state.SelType) {
    return false;
  }
  if (gesture_.type == kSelectForm) return true;
  return gesture_.slot == state.SelIndex && IsElementSelection(gesture_.type) &&
         gesture_.type < kElementTypeCount &&
         gesture_.slot < context_.db.Forms[At(gesture_.form)].ElementCount[At(gesture_.type)];
}

}  // namespace orbo
