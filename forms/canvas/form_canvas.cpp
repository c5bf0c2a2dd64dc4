#include "forms/canvas/form_canvas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <tuple>

#include "forms/canvas/canvas_geometry.h"
#include "forms/canvas/element_style.h"
#include "forms/canvas/limited_text_edit.h"
#include "storage/color_value.h"
#include "storage/data_path.h"
#include "storage/element_text.h"
#include "storage/element_values.h"
#include "storage/font_value.h"
#include "storage/picture_reader.h"
#include "storage/stream_library.h"
#include "storage/text_difference.h"

namespace orbo {
namespace {

constexpr int kButtonActionNames = 187;
constexpr int kComboNameLeftTwips = 300;
// A multiline text without a limit of its own takes this many characters.
constexpr int kNoLimit = 32767;
// The canvas takes any size asked for, so stored positions stay as they are.
constexpr double kCanvasScale = 1.0;
const char* const kArrayNames[kElementTypeCount] = {
    "SomeImage", "SomeLabel", "SomeText", "SomeButt", "SomeCombo", "SomeFlag", "SomeTextM"};

std::size_t At(int i) { return static_cast<std::size_t>(i); }

Qt::Alignment AlignmentOf(int code) {
  switch (code) {
    case 1:
      return Qt::AlignRight | Qt::AlignVCenter;
    case 2:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

void SetFrame(QFrame* frame, int border) {
  switch (border) {
    case kFlatBorder:
      frame->setFrameStyle(QFrame::Box | QFrame::Plain);
      frame->setLineWidth(1);
      break;
    case kSunkenBorder:
      frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      frame->setLineWidth(2);
      break;
    default:
      frame->setFrameStyle(QFrame::NoFrame);
  }
}

void SetColours(QWidget* widget, QPalette::ColorRole back, QPalette::ColorRole fore,
                const ElementDef& e) {
  QPalette palette = widget->palette();
  palette.setColor(back, ColorOf(e.BackColor));
  palette.setColor(fore, ColorOf(e.ForeColor));
  widget->setPalette(palette);
}

void SetPlainBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace

FormCanvas::FormCanvas(QWidget& page, const QString& iconFolder, WindowContext& context)
    : QObject(&page), context_(context), comboArrow_(iconFolder + QStringLiteral("/combo.gif")) {
  auto* grid = new QGridLayout(&page);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  backdrop_ = new QWidget(&page);
  backdrop_->setObjectName("BackPic");
  backdrop_->installEventFilter(this);
  shadowX_ = new QWidget(backdrop_);
  shadowX_->setObjectName("ShadowX");
  shadowY_ = new QWidget(backdrop_);
  shadowY_->setObjectName("ShadowY");
  for (QWidget* shadow : {shadowX_, shadowY_}) SetPlainBackground(shadow, Qt::darkGray);
  auto* canvas = new QFrame(backdrop_);
  canvas->setObjectName("MainPic");
  canvas->setAutoFillBackground(true);
  formArea_ = canvas;
  hScroll_ = new QScrollBar(Qt::Horizontal, &page);
  hScroll_->setObjectName("HScroll1");
  vScroll_ = new QScrollBar(Qt::Vertical, &page);
  vScroll_->setObjectName("VScroll1");
  corner_ = new QWidget(&page);
  grid->addWidget(backdrop_, 0, 0);
  grid->addWidget(vScroll_, 0, 1);
  grid->addWidget(hScroll_, 1, 0);
  grid->addWidget(corner_, 1, 1);
  for (QScrollBar* bar : {hScroll_, vScroll_}) {
    bar->setPageStep(1);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this] { LayoutCanvas(); });
  }
  corner_->hide();

  quickListButton_ = new QToolButton(formArea_);
  quickListButton_->setObjectName("QuickPic");
  quickListButton_->setIcon(QIcon(iconFolder + QStringLiteral("/quick.gif")));
  quickListButton_->setFocusPolicy(Qt::ClickFocus);
  quickListButton_->hide();
  quickList_ = new QListWidget(backdrop_);
  quickList_->setObjectName("QuickList");
  quickList_->hide();
  for (std::size_t i = 0; i < handles_.size(); ++i) {
    handles_[i] = new QLabel(backdrop_);
    handles_[i]->setObjectName(QStringLiteral("SelPic_%1").arg(i));
    handles_[i]->hide();
  }
}

FormCanvas::~FormCanvas() = default;

int FormCanvas::PixelsX(int twips) const {
  return qRound(twips * formArea_->logicalDpiX() / 1440.0);
}
int FormCanvas::PixelsY(int twips) const {
  return qRound(twips * formArea_->logicalDpiY() / 1440.0);
}
int FormCanvas::TwipsX(int pixels) const {
  return qRound(pixels * 1440.0 / formArea_->logicalDpiX());
}
int FormCanvas::TwipsY(int pixels) const {
  return qRound(pixels * 1440.0 / formArea_->logicalDpiY());
}

QRect FormCanvas::Pixels(const QRect& twips) const {
  return {PixelsX(twips.left()), PixelsY(twips.top()), PixelsX(twips.width()),
          PixelsY(twips.height())};
}

QWidget* FormCanvas::MakeControl(int type, int slot) {
  QWidget* control = nullptr;
  switch (type) {
    case kImage: {
      // A picture is a field too: the keys choose another one, and the
      // frame shows where they go.
      control = new QLabel(formArea_);
      control->setFocusPolicy(Qt::StrongFocus);
      control->setStyleSheet(
          QStringLiteral("QLabel:focus { border: 2px solid palette(highlight); }"));
      break;
    }
    case kLabel:
      control = new QLabel(formArea_);
      break;
    case kText: {
      auto* text = new QLineEdit(formArea_);
      // Values as long as a file holds stay whole when edited.
      text->setMaxLength(stream::kMaxStringBytes);
      control = text;
      break;
    }
    case kButton:
      control = new QPushButton(formArea_);
      break;
    case kCombo: {
      control = new QComboBox(formArea_);
      auto* imitation = new QLabel(formArea_);
      imitation->setObjectName(QStringLiteral("ComboPic_%1").arg(slot));
      imitation->hide();
      comboPics_.push_back(imitation);
      break;
    }
    case kFlag:
      control = new QCheckBox(formArea_);
      break;
    default:
      control = new LimitedTextEdit(formArea_);
  }
  control->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(kArrayNames[type])).arg(slot));
  fieldFocus_[At(type)] = control->focusPolicy();
  control->hide();
  // The quick list stays above every element.
  quickListButton_->raise();
  if (onControlCreated) onControlCreated(type, slot, control);
  return control;
}

QWidget* FormCanvas::Control(int type, int slot) {
  if (type < 0 || type >= kElementTypeCount || slot < 0 || slot >= kSlotCount) return nullptr;
  std::vector<QWidget*>& members = controls_[At(type)];
  while (static_cast<int>(members.size()) <= slot)
    members.push_back(MakeControl(type, static_cast<int>(members.size())));
  if (type == kCombo && context_.state.EditMode == WorkMode::Edit) return comboPics_[At(slot)];
  return members[At(slot)];
}

int FormCanvas::ControlCount(int type) const {
  return type >= 0 && type < kElementTypeCount ? static_cast<int>(controls_[At(type)].size()) : 0;
}

QComboBox* FormCanvas::Combo(int slot) {
  Control(kCombo, slot);
  return static_cast<QComboBox*>(controls_[kCombo][At(slot)]);
}

void FormCanvas::DrawForm(int form) {
  if (form < 0 || form >= context_.db.FormCount) return;
  DisplayState& state = context_.state;
  state.CurForm = form;
  const FormDef& def = context_.db.Forms[At(form)];
  formArea_->setUpdatesEnabled(false);
  quickListButton_->hide();
  quickList_->hide();

  auto* canvas = static_cast<QFrame*>(formArea_);
  canvas->resize(PixelsX(def.Width), PixelsY(def.Height));
  canvas->setFocusPolicy(state.EditMode == WorkMode::Edit ? Qt::StrongFocus : Qt::NoFocus);
  SetFrame(canvas, def.Border);
  SetPlainBackground(canvas, ColorOf(def.BackColor));

  for (int t = 0; t < kElementTypeCount; ++t) {
    const int count = def.ElementCount[At(t)];
    for (int k = 0; k < count; ++k) {
      QWidget* control = Control(t, k);
      ApplyElement(t, k, control);
      PlaceElement(t, k, control);
      // While forms are designed, the canvas takes every press and key.
      control->setAttribute(Qt::WA_TransparentForMouseEvents, state.EditMode == WorkMode::Edit);
      control->setFocusPolicy(state.EditMode == WorkMode::Edit ? Qt::NoFocus : fieldFocus_[At(t)]);
      control->show();
    }
    for (int k = count; k < ControlCount(t); ++k) controls_[At(t)][At(k)]->hide();
    if (t == kCombo) {
      // Only one of the two combo arrays shows, by mode.
      const bool editMode = state.EditMode == WorkMode::Edit;
      for (int k = 0; k < ControlCount(t); ++k) {
        (editMode ? controls_[kCombo][At(k)] : static_cast<QWidget*>(comboPics_[At(k)]))->hide();
        if (k >= count) comboPics_[At(k)]->hide();
      }
    }
  }
  if (state.EditMode == WorkMode::Edit) {
    ColourHandles();
    ShowNames();
  } else {
    OrderTabs(def);
  }
  for (QLabel* handle : handles_) handle->hide();
  drawn_ = true;
  LayoutCanvas();
  formArea_->setUpdatesEnabled(true);
  formArea_->show();
}

// Tab goes through the fields as they are read, top to bottom, then left
// to right, whatever their kinds and the order they were added in.
void FormCanvas::OrderTabs(const FormDef& form) {
  struct Field {
    int top;
    int left;
    QWidget* control;
  };
  std::vector<Field> fields;
  for (int t = 0; t < kElementTypeCount; ++t) {
    for (int k = 0; k < form.ElementCount[At(t)]; ++k) {
      QWidget* control = controls_[At(t)][At(k)];
      const ElementDef& element = form.Elements[At(t)][At(k)];
      if (control->focusPolicy() & Qt::TabFocus)
        fields.push_back({element.Top, element.Left, control});
    }
  }
  std::stable_sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) {
    return std::tie(a.top, a.left) < std::tie(b.top, b.left);
  });
  for (std::size_t i = 1; i < fields.size(); ++i)
    QWidget::setTabOrder(fields[i - 1].control, fields[i].control);
}

void FormCanvas::ApplyElement(int type, int slot, QWidget* control) {
  SuppressEvents suppressed(context_.state);
  const FormDef& form = context_.db.Forms[At(context_.state.CurForm)];
  const ElementDef& e = form.Elements[At(type)][At(slot)];
  const QColor back = ColorOf(e.BackColor);
  const QColor fore = ColorOf(e.ForeColor);
  const bool editMode = context_.state.EditMode == WorkMode::Edit;
  switch (type) {
    case kImage: {
      auto* image = static_cast<QLabel*>(control);
      SetFrame(image, e.Border);
      image->setScaledContents(form.ImageSize[At(slot)] == 1);
      image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      break;
    }
    case kLabel: {
      auto* label = static_cast<QLabel*>(control);
      label->setFont(FontOf(e.Font));
      label->setStyleSheet(
          ElementStyleSheet(QStringLiteral("QLabel"), e.Border, back, fore, e.Transparent));
      label->setAlignment(AlignmentOf(e.Alignment));
      label->setText(e.Name);
      label->setToolTip(form.ToolTip[At(slot)]);
      break;
    }
    case kText: {
      auto* text = static_cast<QLineEdit*>(control);
      text->setFont(FontOf(e.Font));
      text->setStyleSheet(ElementStyleSheet(QStringLiteral("QLineEdit"), e.Border, back, fore));
      text->setAlignment(AlignmentOf(e.Alignment));
      text->setEchoMode(form.PasswordField[At(slot)] != 0 ? QLineEdit::Password
                                                          : QLineEdit::Normal);
      text->setReadOnly(editMode);
      break;
    }
    case kButton:
      control->setFont(FontOf(e.Font));
      SetColours(control, QPalette::Button, QPalette::ButtonText, e);
      break;
    case kCombo: {
      QComboBox* combo = Combo(slot);
      combo->setFont(FontOf(e.Font));
      SetColours(combo, QPalette::Button, QPalette::ButtonText, e);
      SetColours(combo, QPalette::Base, QPalette::Text, e);
      QLabel* imitation = comboPics_[At(slot)];
      imitation->setFont(FontOf(e.Font));
      if (editMode) {
        imitation->setPixmap(ComboImitation(slot, combo->sizeHint().height()));
      } else {
        const int selected = combo->currentIndex();
        combo->clear();
        combo->addItems(ComboItems(form.ComboList[At(slot)]));
        if (selected < combo->count()) combo->setCurrentIndex(selected);
      }
      break;
    }
    case kFlag: {
      auto* flag = static_cast<QCheckBox*>(control);
      flag->setFont(FontOf(e.Font));
      // The box goes right of the caption when the flag is "at right".
      flag->setLayoutDirection(form.FlagAtRight[At(slot)] != 0 ? Qt::RightToLeft : Qt::LeftToRight);
      flag->setText(e.Name);
      flag->setStyleSheet(ElementStyleSheet(QStringLiteral("QCheckBox"), kNoBorder, back, fore));
      break;
    }
    default: {
      auto* memo = static_cast<QTextEdit*>(control);
      memo->setFont(FontOf(e.Font));
      memo->setStyleSheet(ElementStyleSheet(QStringLiteral("QTextEdit"), e.Border, back, fore));
      QTextOption option = memo->document()->defaultTextOption();
      option.setAlignment(AlignmentOf(e.Alignment) & Qt::AlignHorizontal_Mask);
      memo->document()->setDefaultTextOption(option);
      const int limit = form.TextLimit[At(slot)];
      static_cast<LimitedTextEdit*>(memo)->SetLimit(limit > 0 ? limit : kNoLimit);
      memo->setReadOnly(editMode);
    }
  }
}

void FormCanvas::PlaceElement(int type, int slot, QWidget* control) {
  const FormDef& form = context_.db.Forms[At(context_.state.CurForm)];
  QRect box = Pixels(ElementBox(form.Elements[At(type)][At(slot)], type, kCanvasScale, kCanvasScale,
                                context_.settings.FixedTextHeight));
  if (type == kCombo) {
    box.setHeight(Combo(slot)->sizeHint().height());
    Combo(slot)->setGeometry(box);
    comboPics_[At(slot)]->setGeometry(box);
    return;
  }
  control->setGeometry(box);
}

QPixmap FormCanvas::ComboImitation(int slot, int height) const {
  const FormDef& form = context_.db.Forms[At(context_.state.CurForm)];
  const ElementDef& e = form.Elements[kCombo][At(slot)];
  QPixmap picture(std::max(PixelsX(e.Width), 1), std::max(height, 1));
  picture.fill(ColorOf(e.BackColor));
  QPainter painter(&picture);
  painter.setFont(FontOf(e.Font));
  painter.setPen(ColorOf(e.ForeColor));
  painter.drawText(QRect(PixelsX(kComboNameLeftTwips), 0, picture.width(), height),
                   Qt::AlignLeft | Qt::AlignVCenter, e.Name);
  if (!comboArrow_.isNull()) {
    painter.drawPixmap(picture.width() - comboArrow_.width(), (height - comboArrow_.height()) / 2,
                       comboArrow_);
  }
  painter.setPen(Qt::gray);
  painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
  return picture;
}

void FormCanvas::ShowNames() {
  SuppressEvents suppressed(context_.state);
  const FormDef& form = context_.db.Forms[At(context_.state.CurForm)];
  auto name = [&form](int type, int slot) { return form.Elements[At(type)][At(slot)].Name; };
  for (int k = 0; k < ControlCount(kButton); ++k)
    static_cast<QPushButton*>(controls_[kButton][At(k)])->setText(name(kButton, k));
  for (int k = 0; k < ControlCount(kText); ++k)
    static_cast<QLineEdit*>(controls_[kText][At(k)])->setText(name(kText, k));
  for (int k = 0; k < ControlCount(kMultiline); ++k) {
    static_cast<QTextEdit*>(controls_[kMultiline][At(k)])->setPlainText(name(kMultiline, k));
  }
  for (int k = 0; k < ControlCount(kLabel); ++k)
    static_cast<QLabel*>(controls_[kLabel][At(k)])->setText(name(kLabel, k));
}

void FormCanvas::ColourHandles() {
  // An explicit colour other than black gets black handles; black or a
  // system colour gets white ones.
  const bool darkHandles = context_.db.Forms[At(context_.state.CurForm)].BackColor > 0;
  const int size = PixelsX(kHandleSide);
  QPixmap handle(size, size);
  handle.fill(darkHandles ? Qt::black : Qt::white);
  QPainter painter(&handle);
  painter.setPen(darkHandles ? Qt::white : Qt::black);
  painter.drawRect(0, 0, size - 1, size - 1);
  painter.end();
  for (QLabel* label : handles_) {
    label->setPixmap(handle);
    label->resize(size, size);
  }
}

std::pair<int, int> FormCanvas::ElementAt(const QPoint& point) {
  const int form = context_.state.CurForm;
  if (form < 0 || form >= context_.db.FormCount) return {-1, -1};
  const auto& count = context_.db.Forms[At(form)].ElementCount;
  // Later types and slots lie above earlier ones.
  for (int t = kElementTypeCount - 1; t >= 0; --t) {
    for (int k = count[At(t)] - 1; k >= 0; --k) {
      const QWidget* control = Control(t, k);
      if (control->isVisible() && control->geometry().contains(point)) return {t, k};
    }
  }
  return {-1, -1};
}

void FormCanvas::DrawGrid(bool show, int stepX, int stepY) {
  const int form = context_.state.CurForm;
  if (form < 0 || form >= context_.db.FormCount) return;
  const QColor back = ColorOf(context_.db.Forms[At(form)].BackColor);
  const int width = std::max(PixelsX(stepX), 1);
  const int height = std::max(PixelsY(stepY), 1);
  if (!show) {
    SetPlainBackground(formArea_, back);
    return;
  }
  // One tile per grid cell with its dot in the corner; the tiles repeat
  // from the canvas's corner.
  QPixmap tile(width, height);
  tile.fill(back);
  QPainter painter(&tile);
  painter.setPen(back.red() < 129 ? Qt::white : Qt::black);
  painter.drawPoint(0, 0);
  painter.end();
  QPalette palette = formArea_->palette();
  palette.setBrush(QPalette::Window, QBrush(tile));
  formArea_->setPalette(palette);
}

void FormCanvas::LayoutCanvas() {
  const DisplayState& state = context_.state;
  if (!drawn_ || state.CurForm < 0 || state.CurForm >= context_.db.FormCount) return;
  const bool editMode = state.EditMode == WorkMode::Edit;
  const int canvasWidth = TwipsX(formArea_->width());
  const int canvasHeight = TwipsY(formArea_->height());
  const int viewportWidth = TwipsX(backdrop_->width());
  const int viewportHeight = TwipsY(backdrop_->height());
  const ScrollRange across = CanvasScrollRange(canvasWidth, viewportWidth, editMode);
  const ScrollRange down = CanvasScrollRange(canvasHeight, viewportHeight, editMode);
  {
    const QSignalBlocker blockAcross(hScroll_);
    const QSignalBlocker blockDown(vScroll_);
    hScroll_->setRange(0, across.maximum);
    vScroll_->setRange(0, down.maximum);
  }
  hScroll_->setVisible(across.visible);
  vScroll_->setVisible(down.visible);
  corner_->setVisible(across.visible && down.visible);
  const QRect canvas(
      CanvasStart(canvasWidth, viewportWidth, editMode, true, across, hScroll_->value()),
      CanvasStart(canvasHeight, viewportHeight, editMode, false, down, vScroll_->value()),
      canvasWidth, canvasHeight);
  formArea_->move(PixelsX(canvas.left()), PixelsY(canvas.top()));
  const bool shadow = context_.db.Forms[At(state.CurForm)].Shadow == 1;
  shadowX_->setGeometry(Pixels(ShadowRight(canvas)));
  shadowY_->setGeometry(Pixels(ShadowBelow(canvas)));
  shadowX_->setVisible(shadow);
  shadowY_->setVisible(shadow);
}

QRect FormCanvas::ShownArea() const {
  if (!formArea_->isVisible()) return {};
  return QRect(formArea_->mapToGlobal(QPoint(0, 0)), formArea_->size())
      .intersected(QRect(backdrop_->mapToGlobal(QPoint(0, 0)), backdrop_->size()));
}

void FormCanvas::ShowFound(int type, int slot, int position, int length) {
  const DisplayState& state = context_.state;
  const Database& db = context_.db;
  if (state.CurRecord < 0 || state.CurForm < 0 || type < 0 || type >= kElementTypeCount ||
      slot < 0 || slot >= db.Forms[At(state.CurForm)].ElementCount[At(type)])
    return;
  QWidget* control = Control(type, slot);
  const QRect box(control->pos(), control->size());
  const auto scroll = [](QScrollBar* bar, int first, int last, int viewport) {
    if (bar->isVisible())
      bar->setValue(ScrollValueShowing(first, last, viewport, bar->value(), bar->maximum()));
  };
  scroll(hScroll_, TwipsX(box.left()), TwipsX(box.right() + 1), TwipsX(backdrop_->width()));
  scroll(vScroll_, TwipsY(box.top()), TwipsY(box.bottom() + 1), TwipsY(backdrop_->height()));
  control->setFocus(Qt::OtherFocusReason);
  if (auto* line = qobject_cast<QLineEdit*>(control)) {
    line->setSelection(position - 1, length);
  } else if (auto* memo = qobject_cast<QTextEdit*>(control)) {
    // The box shows each stored line break as one character.
    const QString& stored = db.Records[At(state.CurRecord)].MemoValue[At(slot)];
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(int(ShownLines(stored.left(position - 1)).size()));
    cursor.setPosition(int(ShownLines(stored.left(position - 1 + length)).size()),
                       QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    memo->ensureCursorVisible();
  }
}

void FormCanvas::FillRecordValues(int record) {
  Database& db = context_.db;
  if (record < 0 || record >= db.RecordCount || context_.state.CurForm < 0) return;
  SuppressEvents suppressed(context_.state);
  const RecordData& values = db.Records[At(record)];
  const FormDef& form = db.Forms[At(context_.state.CurForm)];
  const auto& count = form.ElementCount;
  // The same record shown again (after an undo or a redo) keeps the cursor
  // of the box being typed in where its text changed.
  const bool again = record == filledRecord_;
  filledRecord_ = record;
  const auto cursorAfter = [again](const QWidget* box, const QString& before, const QString& after,
                                   int cursor) {
    if (!again || !box->hasFocus()) return -1;
    return before == after ? cursor : ChangedTextEnd(before, after);
  };
  for (int k = 0; k < count[kImage]; ++k) FillImage(k, values);
  for (int k = 0; k < count[kText]; ++k) {
    auto* text = static_cast<QLineEdit*>(Control(kText, k));
    const QString before = text->text();
    const int cursor = text->cursorPosition();
    text->setText(values.TextValue[At(k)]);
    // A value longer than its box shows its beginning.
    text->setCursorPosition(std::max(0, cursorAfter(text, before, text->text(), cursor)));
  }
  for (int k = 0; k < count[kMultiline]; ++k) {
    auto* memo = static_cast<QTextEdit*>(Control(kMultiline, k));
    const QString before = memo->toPlainText();
    const QString after = ShownLines(values.MemoValue[At(k)]);
    const int at = cursorAfter(memo, before, after, memo->textCursor().position());
    if (!again || before != after) memo->setPlainText(after);
    if (at >= 0) {
      QTextCursor cursor = memo->textCursor();
      cursor.setPosition(at);
      memo->setTextCursor(cursor);
    }
  }
  const auto actionName = [this](int action) {
    return context_.texts.Get(kButtonActionNames, action + 1);
  };
  for (int k = 0; k < count[kButton]; ++k) {
    static_cast<QPushButton*>(Control(kButton, k))
        ->setText(ButtonCaption(form.ButtonAction[At(k)], values.ButtonValue[At(k)], actionName));
  }
  for (int k = 0; k < count[kCombo]; ++k) {
    // A stored choice that names no line shows as no choice; showing a
    // record never changes what it stores.
    QComboBox* combo = Combo(k);
    const int choice = values.ComboValue[At(k)];
    combo->setCurrentIndex(choice >= 0 && choice < combo->count() ? choice : -1);
  }
  for (int k = 0; k < count[kFlag]; ++k)
    static_cast<QCheckBox*>(Control(kFlag, k))->setChecked(values.FlagValue[At(k)]);
}

void FormCanvas::FillImage(int slot, const RecordData& record) {
  const FormDef& form = context_.db.Forms[At(context_.state.CurForm)];
  auto* image = static_cast<QLabel*>(Control(kImage, slot));
  const QString& stored = record.ImageValue[At(slot)];
  const std::optional<QImage> picture =
      stored.isEmpty() ? std::nullopt
                       : ReadPicture(ResolveDataPath(stored, context_.db.DatabasePath));
  image->setPixmap(picture ? QPixmap::fromImage(*picture) : QPixmap());
  // A picture of natural size takes its own size; every other keeps the box.
  if (form.ImageSize[At(slot)] == 2 && picture) {
    image->resize(picture->size());
  } else {
    PlaceElement(kImage, slot, image);
  }
}

bool FormCanvas::eventFilter(QObject* watched, QEvent* event) {
  if (watched == backdrop_ && event->type() == QEvent::Resize) LayoutCanvas();
  return QObject::eventFilter(watched, event);
}

}  // namespace orbo
