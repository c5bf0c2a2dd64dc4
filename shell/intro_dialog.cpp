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
  newOpt_ = NamedWidget<QRadioButton>("NewOpt", this);
  exOpt_ = NamedWidget<QRadioButton>("ExOpt", this);
  openOpt_ = NamedWidget<QRadioButton>("OpenOpt", this);
  fileList_ = NamedWidget<QListWidget>("FileList", this);
  check1_ = NamedWidget<QCheckBox>("Check1", this);
  okButt_ = NamedWidget<QPushButton>("OkButt", this);
  cancelButt_ = NamedWidget<QPushButton>("CancelButt", this);
  helpButt_ = NamedWidget<QPushButton>("HelpButt", this);

  QHBoxLayout* buttons = HelpOkCancelRow(helpButt_, okButt_, cancelButt_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(aboutText_);
  layout->addWidget(newOpt_);
  layout->addWidget(exOpt_);
  layout->addWidget(openOpt_);
  layout->addWidget(fileList_);
  layout->addWidget(check1_);
  layout->addLayout(buttons);
  resize(460, 360);

  for (QRadioButton* option : {newOpt_, exOpt_, openOpt_}) {
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
      if (on) OptionChanged();
    });
  }
  connect(fileList_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(okButt_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButt_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButt_, &QPushButton::clicked, this, &IntroDialog::helpRequested);
}

void IntroDialog::Prepare(Mode mode, const LanguageTexts& texts, int startCount,
                          const QStringList& recentFiles, bool showStartDialog) {
  const bool about = mode == kAbout;
  setWindowTitle(texts.Get(about ? shell_texts::kAboutTitle : shell_texts::kWelcomeTitle));
  newOpt_->setText(texts.Get(shell_texts::kCreateNewDatabase));
  exOpt_->setText(texts.Get(shell_texts::kOpenExampleDatabase));
  openOpt_->setText(texts.Get(shell_texts::kOpenDatabaseLabel));
  check1_->setText(texts.Get(shell_texts::kShowAtStartUp));
  aboutText_->setText(texts.Get(shell_texts::kProductVersion) + QStringLiteral("\n\n") +
                      texts.Get(shell_texts::kProductDescription));
  okButt_->setText(texts.Get(common_texts::kOk));
  cancelButt_->setText(texts.Get(common_texts::kCancel));
  helpButt_->setText(texts.Get(common_texts::kHelp));

  aboutText_->setVisible(about);
  for (QWidget* choice : std::initializer_list<QWidget*>{newOpt_, exOpt_, openOpt_, fileList_,
                                                         check1_, cancelButt_}) {
    choice->setVisible(!about);
  }
  helpButt_->setVisible(!about);
  // Help is offered once something answers it.
  helpButt_->setEnabled(isSignalConnected(QMetaMethod::fromSignal(&IntroDialog::helpRequested)));

  fileList_->clear();
  fileList_->addItem(texts.Get(shell_texts::kOpenAnotherFile));
  fileList_->addItems(recentFiles);
  check1_->setChecked(showStartDialog);
  (startCount >= 5 ? openOpt_ : exOpt_)->setChecked(true);
  OptionChanged();
  okButt_->setEnabled(true);
  okButt_->setDefault(true);
  okButt_->setFocus();
}

void IntroDialog::OptionChanged() {
  const bool open = openOpt_->isChecked();
  fileList_->setEnabled(open);
  fileList_->setCurrentRow(open && fileList_->count() >= 2 ? 1 : 0);
}

IntroDialog::Choice IntroDialog::ChosenOption() const {
  if (openOpt_->isChecked()) return kOpen;
  return exOpt_->isChecked() ? kExample : kNew;
}

int IntroDialog::ChosenLine() const { return std::max(fileList_->currentRow(), 0); }

bool IntroDialog::ShowAtStart() const { return check1_->isChecked(); }

}  // namespace orbo
