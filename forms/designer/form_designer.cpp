#include "forms/designer/form_designer.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <utility>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/properties/properties_dialog.h"
#include "forms/properties/properties_logic.h"
#include "shell/folder_tree.h"

namespace orbo {
namespace {

constexpr int kNewFormEntry = 961;
constexpr int kHandleCount = 8;

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

FormDesigner::FormDesigner(App& app, FormCanvas& canvas)
    : QObject(&canvas.MainPic()), app_(app), canvas_(canvas), formCombo_(new QComboBox()) {
  formCombo_->setObjectName("FormCombo");
  formCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  app_.Window().Commands().Bar(kEditBar)->addWidget(formCombo_);
  canvas_.MainPic().installEventFilter(this);
  for (int i = 0; i < kHandleCount; ++i) {
    QLabel& handle = canvas_.SelPic(i);
    handle.installEventFilter(this);
    handle.setCursor(i == 0 || i == 5   ? Qt::SizeFDiagCursor
                     : i == 6 || i == 7 ? Qt::SizeBDiagCursor
                     : i == 1 || i == 3 ? Qt::SizeHorCursor
                                        : Qt::SizeVerCursor);
  }
  ConnectCommands();
}

FormDesigner::~FormDesigner() = default;

void FormDesigner::ConnectCommands() {
  MainCommands& c = app_.Window().Commands();
  const auto both = [&](const char* menu, const char* tool, const std::function<void()>& command) {
    c.OnTriggered(c.Menu(menu), command);
    c.OnTriggered(c.Tool(kEditBar, tool), command);
  };
  both("mnuDelEl", "delete", [this] { DeleteElement(); });
  both("mnuAddForm", "addform", [this] { AddForm(); });
  both("mnuDelForm", "delform", [this] { DeleteForm(); });
  both("mnuCloneForm", "cloneform", [this] { CloneForm(); });
  both("mnuGrid", "grid", [this] { ToggleGrid(); });
  c.OnTriggered(c.Tool(kEditBar, "elprops"), [this] { ShowProperties(); });
  c.Tool(kEditBar, "grid")->setCheckable(true);
  for (int type = 0; type < kElementTypeCount; ++type) {
    c.OnTriggered(c.Menu(QStringLiteral("mnuAddEl_%1").arg(type)), [this, type] {
      app_.ChooseTool(app_.Window().Commands().Tool(kEditBar, kElementTools[type]));
    });
  }
  connect(formCombo_, &QComboBox::activated, this, [this](int index) {
    app_.Funnel().Run([this, index] {
      if (index == app_.db.FormCount) {
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
  SelectElement(-1, 0);
  DrawGrid();
}

int FormDesigner::ArmedType() const {
  MainCommands& c = app_.Window().Commands();
  for (int type = 0; type < kElementTypeCount; ++type) {
    if (c.Tool(kEditBar, kElementTools[type])->isChecked()) return type;
  }
  return -1;
}

void FormDesigner::Redraw() {
  canvas_.DrawForm(app_.state.CurForm);
  DrawGrid();
  PlaceHandles();
}

void FormDesigner::SelectElement(int type, int slot) {
  app_.state.SelType = type;
  app_.state.SelIndex = slot;
  PlaceHandles();
}

QRect FormDesigner::BoxOf(int type, int slot) const {
  const FormDef& form = app_.db.Forms[At(app_.state.CurForm)];
  // A size a file could not have held is taken as the smallest, so the
  // handles can still reach it.
  if (type < 0) return {0, 0, std::max<int>(form.Width, 1), std::max<int>(form.Height, 1)};
  const ElementDef& e = form.Elements[At(type)][At(slot)];
  // A combo is as high as its font makes it.
  const int height =
      type == kCombo ? canvas_.TwipsY(canvas_.Control(kCombo, slot)->height()) : e.Height;
  return {e.Left, e.Top, std::max<int>(e.Width, 1), std::max(height, 1)};
}

QRect FormDesigner::SelectedBox() const { return BoxOf(app_.state.SelType, app_.state.SelIndex); }

void FormDesigner::PlaceHandles() {
  const DisplayState& state = app_.state;
  // A selection left from database mode or from another form shows none.
  const bool shown = state.EditMode == 1 && state.SelType >= -1 &&
                     IsSelectionValid(app_.db, state.CurForm, state.SelType, state.SelIndex);
  if (!shown) {
    for (int i = 0; i < kHandleCount; ++i) canvas_.SelPic(i).hide();
    return;
  }
  const QRect box = GestureApplies() ? gesture_.box : SelectedBox();
  // The form's handles surround the canvas, whose corner is the origin.
  const QPoint origin = canvas_.MainPic().pos();
  for (int i = 0; i < kHandleCount; ++i) {
    QLabel& handle = canvas_.SelPic(i);
    handle.setGeometry(canvas_.Pixels(HandleRect(i, box)).translated(origin));
    handle.show();
    handle.raise();
  }
}

void FormDesigner::ApplyBox(int type, int slot, const QRect& box) {
  if (type == -1) {
    canvas_.MainPic().resize(canvas_.PixelsX(box.width()), canvas_.PixelsY(box.height()));
    canvas_.LayoutCanvas();
    return;
  }
  QWidget* control = canvas_.Control(type, slot);
  QRect pixels = canvas_.Pixels(box);
  if (type == kCombo) pixels.setHeight(control->height());
  control->setGeometry(pixels);
}

void FormDesigner::CommitGeometry(const Gesture& gesture) {
  FormDef& form = app_.db.Forms[At(gesture.form)];
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
  const int slot =
      AddElementInModel(app_.db, app_.state.CurForm, type, x, y, app_.settings.DefaultFont);
  if (slot < 0) {
    app_.ShowMessage(app_.texts.Get(530, 0) + QString::number(kMaxElementsPerType) + u' ' +
                         app_.texts.Get(540, 0),
                     kExclamation);
    return;
  }
  Redraw();
  if (type == kImage) {
    static_cast<QLabel*>(canvas_.Control(kImage, slot))
        ->setPixmap(QPixmap(app_.Files().Below(QStringLiteral("icons\\simple.jpg"))));
  }
  SelectElement(type, slot);
  app_.SetModified(true);
}

void FormDesigner::DeleteElement() {
  const DisplayState& state = app_.state;
  if (state.EditMode != 1) return;
  if (state.SelType == -2) {
    app_.ShowMessage(app_.texts.Get(570, 0), kExclamation);
    return;
  }
  if (state.SelType == -1) {
    DeleteForm();
    return;
  }
  const int form = state.CurForm;
  if (state.SelType == kText && app_.db.Forms[At(form)].ElementCount[kText] == 1) {
    app_.ShowMessage(app_.texts.Get(640, 0), kExclamation);
    return;
  }
  if (state.SelType != kLabel && FormInUse(app_.db, form) &&
      app_.ShowMessage(app_.texts.Get(670, 0), kYesNo) != kAnswerYes) {
    return;
  }
  DeleteElementInModel(app_.db, form, state.SelType, state.SelIndex);
  app_.state.SelType = -1;
  Redraw();
  RetitleRecordsOfForm();
  app_.SetModified(true);
}

void FormDesigner::RetitleRecordsOfForm() {
  for (int r = 0; r < app_.db.RecordCount; ++r) {
    const RecordData& record = app_.db.Records[At(r)];
    if (record.Form == app_.state.CurForm && record.Folder != BufferFolder)
      app_.Tree().UpdateRecordText(app_.db, r);
  }
}

bool FormDesigner::AddForm() {
  if (!AddFormInModel(app_.db, app_.settings.DefaultFont)) {
    app_.ShowMessage(app_.texts.Get(920, 0) + QString::number(kMaxForms) + app_.texts.Get(920, 1),
                     kOkOnly);
    return false;
  }
  ChooseForm(app_.db.FormCount - 1);
  RebuildFormLists();
  app_.SetModified(true);
  return true;
}

void FormDesigner::CloneForm() {
  if (!CloneFormInModel(app_.db, app_.state.CurForm)) {
    app_.ShowMessage(app_.texts.Get(920, 0) + QString::number(kMaxForms) + app_.texts.Get(920, 1),
                     kOkOnly);
    return;
  }
  ChooseForm(app_.db.FormCount - 1);
  RebuildFormLists();
  app_.SetModified(true);
}

void FormDesigner::DeleteForm() {
  const int form = app_.state.CurForm;
  if (app_.db.FormCount == 1) {
    app_.ShowMessage(app_.texts.Get(966, 0), kExclamation);
    return;
  }
  if (!DeleteFormInModel(app_.db, form)) {
    app_.ShowMessage(app_.texts.Get(630, 0), kExclamation);
    return;
  }
  ChooseForm(std::min(form, app_.db.FormCount - 1));
  RebuildFormLists();
  app_.SetModified(true);
}

void FormDesigner::ChooseForm(int form) {
  app_.state.SelType = -1;
  app_.state.CurForm = form;
  Redraw();
  formCombo_->setCurrentIndex(form);
}

void FormDesigner::ShowProperties() {
  if (app_.state.EditMode != 1) return;
  if (!properties_) properties_ = std::make_unique<PropertiesDialog>(app_);
  properties_->Run();
}

void FormDesigner::ToggleGrid() {
  app_.settings.ShowGrid = !app_.settings.ShowGrid;
  DrawGrid();
}

void FormDesigner::DrawGrid() {
  const AppSettings& settings = app_.settings;
  const bool editMode = app_.state.EditMode == 1;
  canvas_.DrawGrid(settings.ShowGrid && editMode, settings.GridStepX, settings.GridStepY);
  MainCommands& c = app_.Window().Commands();
  c.Menu("mnuGrid")->setChecked(settings.ShowGrid);
  c.Tool(kEditBar, "grid")->setChecked(settings.ShowGrid);
  if (editMode) app_.Window().StatusPanel("grid").setEnabled(settings.ShowGrid);
}

void FormDesigner::RebuildFormLists() {
  {
    const QSignalBlocker blocked(formCombo_);
    formCombo_->clear();
    for (int f = 0; f < app_.db.FormCount; ++f) formCombo_->addItem(app_.db.Forms[At(f)].Name);
    formCombo_->addItem(app_.texts.Get(kNewFormEntry, 3));
    formCombo_->setCurrentIndex(app_.state.CurForm);
  }
  QMenu* chooser = app_.Window().Commands().Submenu("mnuSelForm");
  chooser->clear();
  for (int f = 0; f < app_.db.FormCount; ++f) {
    QAction* entry = chooser->addAction(app_.db.Forms[At(f)].Name);
    entry->setObjectName(QStringLiteral("mnuSelForm_%1").arg(f));
    connect(entry, &QAction::triggered, this, app_.Funnel().Gated([this, f] { ChooseForm(f); }));
  }
  if (onFormsChanged) onFormsChanged();
}

QPoint FormDesigner::CanvasTwips(const QPoint& pixels) const {
  return {canvas_.TwipsX(pixels.x()), canvas_.TwipsY(pixels.y())};
}

bool FormDesigner::eventFilter(QObject* watched, QEvent* event) {
  const bool onCanvas = watched == &canvas_.MainPic();
  int handle = -1;
  for (int i = 0; i < kHandleCount && !onCanvas; ++i) {
    if (watched == &canvas_.SelPic(i)) handle = i;
  }
  if (!onCanvas && handle < 0) return false;
  if (app_.state.EditMode != 1 || app_.state.CurForm < 0) {
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
      canvas_.MainPic().setFocus(Qt::MouseFocusReason);
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
  SelectElement(type, type < 0 ? 0 : slot);
  if (event->button() == Qt::RightButton) {
    app_.Window().Commands().Submenu("mnuEditor")->popup(QCursor::pos());
    return true;
  }
  if (event->button() != Qt::LeftButton) return true;
  if (type < 0) {
    // The bare canvas selects the form; it is never dragged from there.
    const int armed = ArmedType();
    if (armed >= 0) {
      const QPoint point = CanvasTwips(at);
      app_.Funnel().Run([&] {
        AddElement(armed, point.x(), point.y());
        app_.ChooseTool(nullptr);
      });
    }
    return true;
  }
  app_.ChooseTool(nullptr);
  const QWidget* control = canvas_.Control(type, slot);
  const QPoint inside = at - control->pos();
  // A press on the right or bottom edge starts no drag.
  if (inside.x() >= control->width() - 1 || inside.y() >= control->height() - 1) return true;
  BeginGesture(Gesture::kMove, CanvasTwips(inside), -1);
  return true;
}

bool FormDesigner::HandlePress(int handle, QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && app_.state.SelType >= -1) {
    BeginGesture(Gesture::kResize, event->globalPosition().toPoint(), handle);
  }
  return true;
}

bool FormDesigner::CanvasKey(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      if (gesture_.kind == Gesture::kIdle) return false;
      CancelGesture();
      return true;
    case Qt::Key_Delete:
      CancelGesture();
      // As the menu command does, through the command funnel.
      app_.Window().Commands().Menu("mnuDelEl")->trigger();
      return true;
    default:
      return false;
  }
}

void FormDesigner::BeginGesture(Gesture::Kind kind, const QPoint& grab, int handle) {
  const DisplayState& state = app_.state;
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
  const AppSettings& s = app_.settings;
  if (gesture_.kind == Gesture::kMove) {
    const QPoint point = CanvasTwips(event->position().toPoint()) - gesture_.grab;
    const FormDef& form = app_.db.Forms[At(gesture_.form)];
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
  const bool stored = done.box == done.start || app_.Funnel().Run([&] {
    CommitGeometry(done);
    app_.SetModified(true);
    // A resized form is drawn again at its new size.
    if (done.type == -1) Redraw();
  });
  // Refused while another command runs: the control shows the model again.
  if (!stored) ApplyBox(done.type, done.slot, done.start);
  PlaceHandles();
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
  const DisplayState& state = app_.state;
  if (gesture_.kind == Gesture::kIdle || state.EditMode != 1 || gesture_.form != state.CurForm ||
      gesture_.form < 0 || gesture_.form >= app_.db.FormCount || gesture_.type != state.SelType) {
    return false;
  }
  if (gesture_.type == -1) return true;
  return gesture_.slot == state.SelIndex && gesture_.type >= 0 &&
         gesture_.type < kElementTypeCount &&
         gesture_.slot < app_.db.Forms[At(gesture_.form)].ElementCount[At(gesture_.type)];
}

}  // namespace orbo
