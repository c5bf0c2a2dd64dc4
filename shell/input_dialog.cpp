#include "shell/input_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/common_texts.h"
#include "shell/dialog_buttons.h"
#include "shell/named_widget.h"
#include "shell/shell_texts.h"

namespace orbo {

InputDialog::InputDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("InputForm");
  prompt_ = NamedWidget<QLabel>("Prompt", this);
  prompt_->setWordWrap(true);
  inputEdit_ = NamedWidget<QLineEdit>("Text1", this);
  okButton_ = NamedWidget<QPushButton>("OkButt", this);
  cancelButton_ = NamedWidget<QPushButton>("CancelButt", this);
  browseButton_ = NamedWidget<QPushButton>("BrowseButt", this);
  okButton_->setAutoDefault(false);
  cancelButton_->setAutoDefault(false);
  browseButton_->setAutoDefault(false);

  auto* textRow = new QHBoxLayout;
  textRow->addWidget(inputEdit_, 1);
  textRow->addWidget(browseButton_);
  QHBoxLayout* buttons = OkCancelRow(okButton_, cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addLayout(textRow);
  layout->addLayout(buttons);
  resize(420, sizeHint().height());

  auto confirm = [this] {
    result_ = inputEdit_->text();
    accept();
  };
  connect(okButton_, &QPushButton::clicked, this, confirm);
  connect(inputEdit_, &QLineEdit::returnPressed, this, confirm);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(browseButton_, &QPushButton::clicked, this, [this] {
    const QString path = browse_ ? browse_(filter_) : QString();
    if (!path.isEmpty()) inputEdit_->setText(path);
  });
}

void InputDialog::Prepare(const LanguageTexts& texts, const QString& prompt, const QString& start,
                          bool password, const QString& browseFilter,
                          std::function<QString(const QString& filter)> browse) {
  setWindowTitle(texts.Get(shell_texts::kEnterTextTitle));
  okButton_->setText(texts.Get(common_texts::kOk));
  cancelButton_->setText(texts.Get(common_texts::kCancel));
  browseButton_->setText(texts.Get(shell_texts::kBrowse));
  prompt_->setText(prompt);
  inputEdit_->setText(start);
  inputEdit_->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
  inputEdit_->setStyleSheet(
      password ? QStringLiteral("QLineEdit { lineedit-password-character: 42; }") : QString());
  filter_ = browseFilter;
  browse_ = std::move(browse);
  browseButton_->setVisible(browseFilter.size() > 1);
  result_ = start;
  inputEdit_->selectAll();
  inputEdit_->setFocus();
}

void InputDialog::Forget() {
  inputEdit_->clear();
  result_.clear();
}

void InputDialog::closeEvent(QCloseEvent* event) {
  // Closing is cancelling: hidden, and the start text stays the result.
  event->ignore();
  reject();
}

}  // namespace orbo
