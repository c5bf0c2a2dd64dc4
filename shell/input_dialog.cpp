#include "shell/input_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/common_texts.h"
#include "shell/named_widget.h"
#include "shell/shell_texts.h"

namespace orbo {

InputDialog::InputDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("InputForm");
  prompt_ = NamedWidget<QLabel>("Prompt", this);
  prompt_->setWordWrap(true);
  text1_ = NamedWidget<QLineEdit>("Text1", this);
  okButt_ = NamedWidget<QPushButton>("OkButt", this);
  cancelButt_ = NamedWidget<QPushButton>("CancelButt", this);
  browseButt_ = NamedWidget<QPushButton>("BrowseButt", this);
  okButt_->setAutoDefault(false);
  cancelButt_->setAutoDefault(false);
  browseButt_->setAutoDefault(false);

  auto* textRow = new QHBoxLayout;
  textRow->addWidget(text1_, 1);
  textRow->addWidget(browseButt_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButt_);
  buttons->addWidget(cancelButt_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addLayout(textRow);
  layout->addLayout(buttons);
  resize(420, sizeHint().height());

  auto confirm = [this] {
    result_ = text1_->text();
    accept();
  };
  connect(okButt_, &QPushButton::clicked, this, confirm);
  connect(text1_, &QLineEdit::returnPressed, this, confirm);
  connect(cancelButt_, &QPushButton::clicked, this, &QDialog::reject);
  connect(browseButt_, &QPushButton::clicked, this, [this] {
    const QString path = browse_ ? browse_(filter_) : QString();
    if (!path.isEmpty()) text1_->setText(path);
  });
}

void InputDialog::Prepare(const LanguageTexts& texts, const QString& prompt, const QString& start,
                          bool password, const QString& browseFilter,
                          std::function<QString(const QString& filter)> browse) {
  setWindowTitle(texts.Get(shell_texts::kEnterTextTitle));
  okButt_->setText(texts.Get(common_texts::kOk));
  cancelButt_->setText(texts.Get(common_texts::kCancel));
  browseButt_->setText(texts.Get(shell_texts::kBrowse));
  prompt_->setText(prompt);
  text1_->setText(start);
  text1_->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
  text1_->setStyleSheet(password ? QStringLiteral("QLineEdit { lineedit-password-character: 42; }")
                                 : QString());
  filter_ = browseFilter;
  browse_ = std::move(browse);
  browseButt_->setVisible(browseFilter.size() > 1);
  result_ = start;
  text1_->selectAll();
  text1_->setFocus();
}

void InputDialog::Forget() {
  text1_->clear();
  result_.clear();
}

void InputDialog::closeEvent(QCloseEvent* event) {
  // Closing is cancelling: hidden, and the start text stays the result.
  event->ignore();
  reject();
}

}  // namespace orbo
