#include "query/print/print_preview.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "query/print/pages/page_renderer.h"
#include "query/print/print_texts.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"

namespace orbo {
namespace {}  // namespace

PrintPreview::PrintPreview(Context context, double screenTwipsPerPixel, QWidget* parent)
    : QDialog(parent), context_(context), screenTwipsPerPixel_(screenTwipsPerPixel) {
  setObjectName("PrinterForm");
  const LanguageTexts& texts = context_.window.texts;
  auto button = [&](const char* name, TextId text) {
    return NamedWidget<QPushButton>(name, texts.Get(text), this);
  };
  prevRec_ = button("PrevRec", print_texts::kPrevious);
  nextRec_ = button("NextRec", print_texts::kNext);
  scalePlus_ = button("ScalePlus", print_texts::kZoomIn);
  scaleMinus_ = button("ScaleMinus", print_texts::kZoomOut);
  orientationButton_ = button("OrientButt", print_texts::kOrientation);
  closeButton_ = button("CloseButt", print_texts::kClose);
  viewport_ = new QWidget(this);
  viewport_->setBackgroundRole(QPalette::Dark);
  viewport_->setAutoFillBackground(true);
  pageImage_ = NamedWidget<QLabel>("Image1", viewport_);
  pageImage_->installEventFilter(this);
  pageImage_->setCursor(Qt::SizeAllCursor);
  hScroll_ = NamedWidget<QScrollBar>("HScroll1", Qt::Horizontal, this);
  vScroll_ = NamedWidget<QScrollBar>("VScroll1", Qt::Vertical, this);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {prevRec_, nextRec_, scalePlus_, scaleMinus_, orientationButton_})
    buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(closeButton_);
  auto* page = new QGridLayout;
  page->setSpacing(0);
  page->addWidget(viewport_, 0, 0);
  page->addWidget(vScroll_, 0, 1);
  page->addWidget(hScroll_, 1, 0);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addLayout(page, 1);
  resize(720, 640);

  connect(prevRec_, &QPushButton::clicked, this, [this] { Step(-1); });
  connect(nextRec_, &QPushButton::clicked, this, [this] { Step(1); });
  connect(scalePlus_, &QPushButton::clicked, this, [this] { SetZoom(zoom_ - 1); });
  connect(scaleMinus_, &QPushButton::clicked, this, [this] { SetZoom(zoom_ + 1); });
  connect(orientationButton_, &QPushButton::clicked, this, [this] { TurnPaper(); });
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(hScroll_, &QScrollBar::valueChanged, this, [this] { LayoutPage(); });
  connect(vScroll_, &QScrollBar::valueChanged, this, [this] { LayoutPage(); });
}

void PrintPreview::Open() {
  zoom_ = kPreviewStartZoom;
  hScroll_->setValue(0);
  vScroll_->setValue(0);
  Render();
  context_.window.dialogs.RunModal(*this);
}

QSizeF PrintPreview::PageTwips() const {
  const QSizeF points = context_.printer.pageLayout().fullRectPoints().size();
  return points * 20.0;
}

int PrintPreview::ShownForm() const {
  const Database& db = context_.window.db;
  const int position = context_.position;
  if (position < 0 || position >= static_cast<int>(context_.order.size())) return -1;
  const int record = context_.order[static_cast<std::size_t>(position)];
  if (record < 0 || record >= db.RecordCount) return -1;
  const int form = db.Records[record].Form;
  return form >= 0 && form < db.FormCount ? form : -1;
}

void PrintPreview::Render() {
  const QSize size = ShownPageSize(PageTwips(), screenTwipsPerPixel_, 1.0);
  printPic_ = QImage(size, QImage::Format_RGB32);
  // The surface's resolution is the screen's, so a pixel holds as many twips.
  const int dotsPerMeter = static_cast<int>(std::lround(1440.0 / screenTwipsPerPixel_ / 0.0254));
  printPic_.setDotsPerMeterX(dotsPerMeter);
  printPic_.setDotsPerMeterY(dotsPerMeter);
  {
    QPainter painter(&printPic_);
    const int position = context_.position;
    const int record = position >= 0 && position < static_cast<int>(context_.order.size())
                           ? context_.order[static_cast<std::size_t>(position)]
                           : -1;
    PageRenderer(context_.window.db, screenTwipsPerPixel_).DrawRecord(painter, record, true);
  }
  const LanguageTexts& texts = context_.window.texts;
  setWindowTitle(QStringLiteral("%1, %2: %3/%4")
                     .arg(texts.Get(print_texts::kPreviewTitle), texts.Get(print_texts::kPage),
                          QString::number(context_.position + 1),
                          QString::number(context_.order.size())));
  prevRec_->setEnabled(context_.position > 0);
  nextRec_->setEnabled(context_.position + 1 < static_cast<int>(context_.order.size()));
  ShowPage();
}

void PrintPreview::ShowPage() {
  const QSize shown = ShownPageSize(PageTwips(), screenTwipsPerPixel_, kPreviewZoomFactors[zoom_]);
  pageImage_->setPixmap(
      QPixmap::fromImage(printPic_.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  pageImage_->resize(shown);
  scalePlus_->setEnabled(zoom_ > 0);
  scaleMinus_->setEnabled(zoom_ < kPreviewZoomLevels - 1);
  LayoutPage();
}

// The scroll bars pan a page larger than the viewport; a smaller page sits
// in its middle.
void PrintPreview::LayoutPage() {
  const QSize page = pageImage_->size();
  const QSize room = viewport_->size();
  hScroll_->setRange(0, std::max(0, page.width() - room.width()));
  vScroll_->setRange(0, std::max(0, page.height() - room.height()));
  hScroll_->setPageStep(room.width());
  vScroll_->setPageStep(room.height());
  hScroll_->setSingleStep(20);
  vScroll_->setSingleStep(20);
  hScroll_->setEnabled(hScroll_->maximum() > 0);
  vScroll_->setEnabled(vScroll_->maximum() > 0);
  const int x =
      page.width() > room.width() ? -hScroll_->value() : (room.width() - page.width()) / 2;
  const int y =
      page.height() > room.height() ? -vScroll_->value() : (room.height() - page.height()) / 2;
  pageImage_->move(x, y);
}

void PrintPreview::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayoutPage();
}

void PrintPreview::Step(int by) {
  const int next = context_.position + by;
  if (next < 0 || next >= static_cast<int>(context_.order.size())) return;
  context_.position = next;
  Render();
}

void PrintPreview::SetZoom(int level) {
  zoom_ = std::clamp(level, 0, kPreviewZoomLevels - 1);
  ShowPage();
}

void PrintPreview::TurnPaper() {
  const bool upright = context_.printer.pageLayout().orientation() == QPageLayout::Portrait;
  context_.printer.setPageOrientation(upright ? QPageLayout::Landscape : QPageLayout::Portrait);
  Render();
}

void PrintPreview::MoveOffsets(const QPoint& distance) {
  const int form = ShownForm();
  if (form < 0) return;
  const FormDef& def = context_.window.db.Forms[static_cast<std::size_t>(form)];
  const double pageWidth = PageTwips().width();
  const int shownWidth = pageImage_->width();
  SetOffsets(form, DraggedOffset(def.PrintOffsetX, distance.x(), pageWidth, shownWidth),
             DraggedOffset(def.PrintOffsetY, distance.y(), pageWidth, shownWidth),
             print_texts::kMoveOffsetsStep);
}

void PrintPreview::ResetOffsets() {
  const int form = ShownForm();
  if (form >= 0) SetOffsets(form, 0, 0, print_texts::kResetOffsetsStep);
}

// Offsets that stay as they were make no step.
void PrintPreview::SetOffsets(int form, std::int32_t x, std::int32_t y, TextId step) {
  WindowContext& window = context_.window;
  window.funnel.Change(
      window.texts.Get(step), ChangeScope::Forms({form}),
      [&] {
        FormDef& def = window.db.Forms[static_cast<std::size_t>(form)];
        def.PrintOffsetX = x;
        def.PrintOffsetY = y;
      },
      context_.stepKey);
}

bool PrintPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched != pageImage_) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      pressAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      return true;
    case QEvent::MouseButtonDblClick:
      pressAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      ResetOffsets();
      return true;
    case QEvent::MouseButtonRelease: {
      MoveOffsets(static_cast<QMouseEvent*>(event)->position().toPoint() - pressAt_);
      // The release that ends a double click shows the reset offsets.
      Render();
      return true;
    }
    default:
      return QDialog::eventFilter(watched, event);
  }
}

}  // namespace orbo
