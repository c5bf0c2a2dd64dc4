#include "shell/intro_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/common_texts.h"
#include "shell/dialog_buttons.h"
#include "shell/named_widget.h"
#include "shell/shell_texts.h"

namespace orbo {

IntroDialog::IntroDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("IntroForm");
  aboutText_ = NamedWidget<QLabel>("AboutText", this);
  aboutText_->setWordWrap(true);
  aboutText_->setTextFormat(Qt::PlainText);
  newOption_ = NamedWidget<QRadioButton>("NewOpt", this);
  exampleOption_ = NamedWidget<QRadioButton>("ExOpt", this);
  openOption_ = NamedWidget<QRadioButton>("OpenOpt", this);
  fileList_ = NamedWidget<QListWidget>("FileList", this);
  showAtStartCheck_ = NamedWidget<QCheckBox>("Check1", this);
  okButton_ = NamedWidget<QPushButton>("OkButt", this);
  cancelButton_ = NamedWidget<QPushButton>("CancelButt", this);
  helpButton_ = NamedWidget<QPushButton>("HelpButt", this);

  QHBoxLayout* buttons = HelpOkCancelRow(helpButton_, okButton_, cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(aboutText_);
  layout->addWidget(newOption_);
  layout->addWidget(exampleOption_);
  layout->addWidget(openOption_);
  layout->addWidget(fileList_);
  layout->addWidget(showAtStartCheck_);
  layout->addLayout(buttons);
  resize(460, 360);

  for (QRadioButton* option : {newOption_, exampleOption_, openOption_}) {
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
      if (on) OptionChanged();
    });
  }
  connect(fileList_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButton_, &QPushButton::clicked, this, &IntroDialog::helpRequested);
}

void IntroDialog::Prepare(Mode mode, const LanguageTexts& texts, int startCount,
                          const QStringList& recentFiles, bool showStartDialog) {
  const bool about = mode == kAbout;
  setWindowTitle(texts.Get(about ? shell_texts::kAboutTitle : shell_texts::kWelcomeTitle));
  newOption_->setText(texts.Get(shell_texts::kCreateNewDatabase));
  exampleOption_->setText(texts.Get(shell_texts::kOpenExampleDatabase));
  openOption_->setText(texts.Get(shell_texts::kOpenDatabaseLabel));
  showAtStartCheck_->setText(texts.Get(shell_texts::kShowAtStartUp));
  aboutText_->setText(QStringList{
      texts.Get(shell_texts::kProductVersion), texts.Get(shell_texts::kProductDescription),
      texts.Get(shell_texts::kIconCredits), texts.Get(shell_texts::kLibraryCredits)}
                          .join(QStringLiteral("\n\n")));
  okButton_->setText(texts.Get(common_texts::kOk));
  cancelButton_->setText(texts.Get(common_texts::kCancel));
  helpButton_->setText(texts.Get(common_texts::kHelp));

  aboutText_->setVisible(about);
  for (QWidget* choice : std::initializer_list<QWidget*>{
           newOption_, exampleOption_, openOption_, fileList_, showAtStartCheck_, cancelButton_}) {
    choice->setVisible(!about);
  }
  helpButton_->setVisible(!about);
  // Help is offered once something answers it.
  helpButton_->setEnabled(isSignalConnected(QMetaMethod::fromSignal(&IntroDialog::helpRequested)));

  fileList_->clear();
  fileList_->addItem(texts.Get(shell_texts::kOpenAnotherFile));
  fileList_->addItems(recentFiles);
  showAtStartCheck_->setChecked(showStartDialog);
  (startCount >= 5 ? openOption_ : exampleOption_)->setChecked(true);
  OptionChanged();
  okButton_->setEnabled(true);
  okButton_->setDefault(true);
  okButton_->setFocus();
}

void IntroDialog::OptionChanged() {
  const bool open = openOption_->isChecked();
  fileList_->setEnabled(open);
  fileList_->setCurrentRow(open && fileList_->count() >= 2 ? 1 : 0);
}

IntroDialog::Choice IntroDialog::ChosenOption() const {
  if (openOption_->isChecked()) return kOpen;
  return exampleOption_->isChecked() ? kExample : kNew;
}

int IntroDialog::ChosenLine() const { return std::max(fileList_->currentRow(), 0); }

bool IntroDialog::ShowAtStart() const { return showAtStartCheck_->isChecked(); }

}  // namespace orbo
