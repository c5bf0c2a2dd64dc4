#include "forms/icons/icon_picker_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "forms/icons/icon_picker_layout.h"
#include "forms/icons/icons_texts.h"
#include "shell/common_texts.h"
#include "shell/named_widget.h"

namespace orbo {

// Picture1: the icons, 19 to a row, and the frame around the selected one.
class IconArea : public QWidget {
 public:
  IconArea(const ImageList& icons, const int& selected, QWidget* parent)
      : QWidget(parent), icons_(icons), selected_(selected) {
    setFixedSize(kPickerColumns * kPickerCell, kPickerVisibleRows * kPickerCell);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
  }

  int firstRow = 0;
  std::function<void(int x, int y)> onPress;
  std::function<void()> onDoubleClick;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int first = firstRow * kPickerColumns;
    const int last = std::min(icons_.Count(), first + kPickerColumns * kPickerVisibleRows);
    for (int i = first; i < last; ++i)
      painter.drawImage(PickerCellOf(i + 1, firstRow), icons_.ImageAt(i));
    if (selected_ > 0) {
      painter.setPen(palette().color(QPalette::Highlight));
      painter.drawRect(
          QRect(PickerCellOf(selected_, firstRow), QSize(kPickerCell - 1, kPickerCell - 1)));
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (onPress) onPress(event->position().toPoint().x(), event->position().toPoint().y());
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    mousePressEvent(event);
    if (onDoubleClick) onDoubleClick();
  }

 private:
  const ImageList& icons_;
  const int& selected_;
};

IconPickerDialog::IconPickerDialog(const ImageList& icons, QWidget* parent)
    : QDialog(parent), icons_(icons) {
  setObjectName("InputIcoForm");
  area_ = new IconArea(icons_, selected_, this);
  area_->setObjectName("Picture1");
  scroll_ = NamedWidget<QScrollBar>("VScroll1", Qt::Vertical, this);
  preview_ = NamedWidget<QLabel>("Image1", this);
  preview_->setFixedSize(32, 32);
  preview_->setAlignment(Qt::AlignCenter);
  addIconButton_ = NamedWidget<QPushButton>("AddIconButt", this);
  okButton_ = NamedWidget<QPushButton>("OkButt", this);
  cancelButton_ = NamedWidget<QPushButton>("CancelButt", this);

  auto* iconsRow = new QHBoxLayout;
  iconsRow->addWidget(area_);
  iconsRow->addWidget(scroll_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(preview_);
  buttons->addWidget(addIconButton_);
  buttons->addStretch(1);
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(iconsRow);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  area_->onPress = [this](int x, int y) {
    int index = PickerIconAt(x, y, area_->firstRow, icons_.Count());
    if (index > 0) Select(index);
  };
  area_->onDoubleClick = [this] {
    if (selected_ > 0) Confirm();
  };
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int row) {
    area_->firstRow = row;
    area_->update();
  });
  connect(okButton_, &QPushButton::clicked, this, &IconPickerDialog::Confirm);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(addIconButton_, &QPushButton::clicked, this, &IconPickerDialog::importRequested);
}

void IconPickerDialog::Prepare(const LanguageTexts& texts, const QString& key) {
  setWindowTitle(texts.Get(icons_texts::kChooseIconTitle));
  addIconButton_->setText(texts.Get(icons_texts::kImportPicture));
  okButton_->setText(texts.Get(common_texts::kOk));
  cancelButton_->setText(texts.Get(common_texts::kCancel));
  result_ = key;
  scroll_->setValue(0);
  Redraw();
  Select(icons_.IndexOf(key) + 1);
}

void IconPickerDialog::Redraw() {
  const PickerScroll range = PickerScrollRange(icons_.Count());
  scroll_->setEnabled(range.enabled);
  scroll_->setRange(0, range.enabled ? range.maximum : 0);
  area_->firstRow = scroll_->value();
  area_->update();
}

void IconPickerDialog::Select(int index) {
  selected_ = index > 0 && index <= icons_.Count() ? index : 0;
  preview_->setPixmap(selected_ > 0 ? QPixmap::fromImage(icons_.ImageAt(selected_ - 1))
                                    : QPixmap());
  area_->update();
}

void IconPickerDialog::Confirm() {
  if (selected_ > 0) result_ = icons_.KeyAt(selected_ - 1);
  accept();
}

}  // namespace orbo
