#include "forms/form_designer.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>

#include "forms/form_canvas.h"
#include "forms/properties_dialog.h"
#include "shell/app.h"
#include "shell/folder_tree.h"
#include "shell/main_window.h"

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
    handle.setCursor(i == 0 || i == 5 ? Qt::SizeFDiagCursor
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
    c.OnTriggered(c.Menu(QStringLiteral("mnuAddEl_%1").arg(type)),
                  [this, type] { app_.ChooseTool(app_.Window().Commands().Tool(kEditBar, kElementTools[type])); });
  }
  connect(formCombo_, &QComboBox::activated, this, [this](int index) {
    app_.Gate().Run([this, index] {
      if (index == app_.db.FormCount) {
        AddForm();
      } else {
        ChooseForm(index);
      }
    });
  });
}

void FormDesigner::Start() {
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

QRect FormDesigner::SelectedBox() const {
  const DisplayState& state = app_.state;
  const FormDef& form = app_.db.Forms[At(state.CurForm)];
  if (state.SelType < 0) return {0, 0, form.Width, form.Height};
  const ElementDef& e = form.Elements[At(state.SelType)][At(state.SelIndex)];
  // A combo is as high as its font makes it.
  const int height = state.SelType == kCombo ? canvas_.TwipsY(canvas_.Control(kCombo, state.SelIndex)->height()) : e.Height;
  return {e.Left, e.Top, e.Width, height};
}

void FormDesigner::PlaceHandles() {
  const DisplayState& state = app_.state;
  const bool shown = state.EditMode == 1 && state.SelType >= -1 && state.CurForm >= 0;
  const QRect box = gesture_ == Gesture::kNone && shown ? SelectedBox() : box_;
  // The form's handles surround the canvas, whose corner is the origin.
  const QPoint origin = canvas_.MainPic().pos();
  for (int i = 0; i < kHandleCount; ++i) {
    QLabel& handle = canvas_.SelPic(i);
    handle.setVisible(shown);
    if (!shown) continue;
    handle.setGeometry(canvas_.Pixels(HandleRect(i, box)).translated(origin));
    handle.raise();
  }
}

void FormDesigner::ApplyBox(const QRect& box) {
  const DisplayState& state = app_.state;
  if (state.SelType == -1) {
    canvas_.MainPic().resize(canvas_.PixelsX(box.width()), canvas_.PixelsY(box.height()));
    canvas_.LayoutCanvas();
    return;
  }
  QWidget* control = canvas_.Control(state.SelType, state.SelIndex);
  QRect pixels = canvas_.Pixels(box);
  if (state.SelType == kCombo) pixels.setHeight(control->height());
  control->setGeometry(pixels);
}

void FormDesigner::CommitGeometry() {
  const DisplayState& state = app_.state;
  FormDef& form = app_.db.Forms[At(state.CurForm)];
  if (state.SelType == -1) {
    form.Width = static_cast<std::int16_t>(box_.width());
    form.Height = static_cast<std::int16_t>(box_.height());
    return;
  }
  ElementDef& e = form.Elements[At(state.SelType)][At(state.SelIndex)];
  e.Left = static_cast<std::int16_t>(box_.left());
  e.Top = static_cast<std::int16_t>(box_.top());
  e.Width = static_cast<std::int16_t>(box_.width());
  if (state.SelType != kCombo) e.Height = static_cast<std::int16_t>(box_.height());
}

void FormDesigner::AddElement(int type, int x, int y) {
  const int slot = AddElementInModel(app_.db, app_.state.CurForm, type, x, y, app_.settings.DefaultFont);
  if (slot < 0) {
    app_.ShowMessage(app_.texts.Get(530, 0) + QString::number(kMaxElementsPerType) + u' ' + app_.texts.Get(540, 0),
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
    if (record.Form == app_.state.CurForm && record.Folder != BufferFolder) app_.Tree().UpdateRecordText(app_.db, r);
  }
}

bool FormDesigner::AddForm() {
  if (!AddFormInModel(app_.db, app_.settings.DefaultFont)) {
    app_.ShowMessage(app_.texts.Get(920, 0) + QString::number(kMaxForms) + app_.texts.Get(920, 1), kOkOnly);
    return false;
  }
  ChooseForm(app_.db.FormCount - 1);
  RebuildFormLists();
  app_.SetModified(true);
  return true;
}

void FormDesigner::CloneForm() {
  if (!CloneFormInModel(app_.db, app_.state.CurForm)) {
    app_.ShowMessage(app_.texts.Get(920, 0) + QString::number(kMaxForms) + app_.texts.Get(920, 1), kOkOnly);
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
    connect(entry, &QAction::triggered, this, app_.Gate().Gated([this, f] { ChooseForm(f); }));
  }
  if (onFormsChanged) onFormsChanged();
}

QPoint FormDesigner::CanvasTwips(const QPoint& pixels) const {
  return {canvas_.TwipsX(pixels.x()), canvas_.TwipsY(pixels.y())};
}

bool FormDesigner::eventFilter(QObject* watched, QEvent* event) {
  if (app_.state.EditMode != 1 || app_.state.CurForm < 0) return false;
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  if (watched == &canvas_.MainPic()) return CanvasEvent(mouse);
  for (int i = 0; i < kHandleCount; ++i) {
    if (watched == &canvas_.SelPic(i)) return HandleEvent(i, mouse);
  }
  return false;
}

bool FormDesigner::CanvasEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto [type, slot] = canvas_.ElementAt(at);
      SelectElement(type, type < 0 ? 0 : slot);
      if (event->button() == Qt::RightButton) {
        app_.Window().Commands().Submenu("mnuEditor")->popup(QCursor::pos());
        return true;
      }
      if (event->button() != Qt::LeftButton) return true;
      if (type < 0) {
        const int armed = ArmedType();
        if (armed >= 0) {
          const QPoint point = CanvasTwips(at);
          app_.Gate().Run([&] {
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
      gesture_ = Gesture::kMove;
      grab_ = CanvasTwips(inside);
      startBox_ = box_ = SelectedBox();
      return true;
    }
    case QEvent::MouseMove: {
      if (gesture_ != Gesture::kMove) return false;
      const QPoint point = CanvasTwips(at) - grab_;
      const FormDef& form = app_.db.Forms[At(app_.state.CurForm)];
      const AppSettings& s = app_.settings;
      box_.moveTo(MovedPosition(point.x(), point.y(), startBox_.size(), QSize(form.Width, form.Height), s.ShowGrid,
                                s.GridStepX, s.GridStepY));
      ApplyBox(box_);
      PlaceHandles();
      return true;
    }
    default:
      return FinishGesture(Gesture::kMove);
  }
}

bool FormDesigner::FinishGesture(Gesture gesture) {
  if (gesture_ != gesture) return false;
  gesture_ = Gesture::kNone;
  if (box_ != startBox_) {
    app_.Gate().Run([this] {
      CommitGeometry();
      app_.SetModified(true);
      // A resized form is drawn again at its new size.
      if (app_.state.SelType == -1) Redraw();
    });
  }
  PlaceHandles();
  return true;
}

bool FormDesigner::HandleEvent(int handle, QMouseEvent* event) {
  const QPoint cursor = event->globalPosition().toPoint();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (event->button() != Qt::LeftButton || app_.state.SelType < -1) return true;
      gesture_ = Gesture::kResize;
      grab_ = cursor;
      startBox_ = box_ = SelectedBox();
      edges_ = EdgesOfHandle(handle);
      return true;
    case QEvent::MouseMove: {
      if (gesture_ != Gesture::kResize) return false;
      const AppSettings& s = app_.settings;
      const int dx = canvas_.TwipsX(cursor.x() - grab_.x());
      const int dy = canvas_.TwipsY(cursor.y() - grab_.y());
      box_ = ResizedBox(startBox_, dx, dy, edges_, app_.state.SelType == kCombo, s.ShowGrid, s.GridStepX, s.GridStepY);
      ApplyBox(box_);
      PlaceHandles();
      return true;
    }
    default:
      return FinishGesture(Gesture::kResize);
  }
}

}  // namespace orbo
