#include "query/settings/database_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "query/settings/settings_texts.h"
#include "shell/common_texts.h"
#include "shell/dialog_buttons.h"
#include "shell/file_texts.h"
#include "shell/help_pages.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"
#include "storage/code_page_detection.h"

namespace orbo {
namespace {}  // namespace

DatabasePropertiesDialog::DatabasePropertiesDialog(WindowContext& context)
    : QDialog(&context.services.DialogParent()), context_(context) {
  setObjectName("DBProps");
  protectionFrame_ = NamedWidget<QGroupBox>("CodeFrame");
  protectCheck_ = NamedWidget<QCheckBox>("CodeCheck1");
  changePasswordButton_ = NamedWidget<QPushButton>("CodeButt1");
  encryptCheck_ = NamedWidget<QCheckBox>("CodeCheck2");
  protectionNote_ = NamedWidget<QLabel>("CodeNote");
  protectionNote_->setWordWrap(true);
  codePageFrame_ = NamedWidget<QGroupBox>("CodePageFrame");
  codePageLabel_ = NamedWidget<QLabel>("CodePageLabel");
  codePageLabel_->setWordWrap(true);
  readAgainButton_ = NamedWidget<QPushButton>("ReadAgainButt");
  codePageCombo_ = NamedWidget<QComboBox>("CodePageCombo");
  readAgainNote_ = NamedWidget<QLabel>("ReadAgainNote");
  readAgainNote_->setWordWrap(true);
  okButton_ = NamedWidget<QPushButton>("OkButt");
  cancelButton_ = NamedWidget<QPushButton>("CancelButt");
  helpButton_ = NamedWidget<QPushButton>("HelpButt");
  okButton_->setDefault(true);
  for (QPushButton* button : {changePasswordButton_, readAgainButton_, cancelButton_, helpButton_})
    button->setAutoDefault(false);

  auto* code = new QVBoxLayout(protectionFrame_);
  code->addWidget(protectCheck_);
  code->addWidget(changePasswordButton_, 0, Qt::AlignLeft);
  code->addWidget(encryptCheck_);
  code->addWidget(protectionNote_);
  auto* pages = new QVBoxLayout(codePageFrame_);
  pages->addWidget(codePageLabel_);
  auto* again = new QHBoxLayout;
  again->addWidget(readAgainButton_);
  again->addWidget(codePageCombo_, 1);
  pages->addLayout(again);
  pages->addWidget(readAgainNote_);
  QHBoxLayout* buttons = HelpOkCancelRow(helpButton_, okButton_, cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(protectionFrame_);
  layout->addWidget(codePageFrame_);
  layout->addStretch(1);
  layout->addLayout(buttons);
  resize(420, 360);

  connect(protectCheck_, &QCheckBox::clicked, this, &DatabasePropertiesDialog::SwitchProtection);
  connect(changePasswordButton_, &QPushButton::clicked, this,
          &DatabasePropertiesDialog::ChangePassword);
  connect(encryptCheck_, &QCheckBox::clicked, this, [this](bool on) {
    SetEncryption(context_.db, on);
    ShowProtection();
  });
  connect(readAgainButton_, &QPushButton::clicked, this, [this] {
    readAgainAs_ = codePageCombo_->currentText();
    reject();
  });
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButton_, &QPushButton::clicked, this,
          [this] { context_.services.ShowHelp(help_topics::kPassword); });
  context_.commands.OnTriggered(context_.commands.Menu("mnuDBProps"), [this] { Run(); });
}

void DatabasePropertiesDialog::ApplyTexts() {
  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(settings_texts::kDatabasePropertiesTitle));
  protectionFrame_->setTitle(t.Get(settings_texts::kPasswordProtectionFrame));
  protectCheck_->setText(t.Get(settings_texts::kProtectWithPassword));
  changePasswordButton_->setText(t.Get(settings_texts::kChangePassword));
  encryptCheck_->setText(t.Get(settings_texts::kEncryptFile));
  protectionNote_->setText(t.Get(settings_texts::kScrambleIsNotEncryption));
  codePageFrame_->setTitle(t.Get(settings_texts::kCodePageFrame));
  readAgainButton_->setText(t.Get(settings_texts::kReadAgainAs));
  okButton_->setText(t.Get(common_texts::kOk));
  cancelButton_->setText(t.Get(common_texts::kCancel));
  helpButton_->setText(t.Get(common_texts::kHelp));
}

void DatabasePropertiesDialog::Run() {
  Database& db = context_.db;
  const Protection before = Protection::Of(db);
  readAgainAs_.clear();
  ApplyTexts();
  ShowProtection();
  ShowCodePage();
  const bool accepted = context_.dialogs.RunModal(*this) == QDialog::Accepted;
  // The switches changed the model while the dialog was open, so its boxes
  // showed the protection: it goes back, and OK does the change again as
  // one step. Protection as it was is no step.
  const Protection after = Protection::Of(db);
  before.ApplyTo(db);
  if (!readAgainAs_.isEmpty()) {
    emit ReadAgainRequested(readAgainAs_);
    return;
  }
  if (!accepted) return;
  context_.funnel.Change(context_.texts.Get(StepName(before, after)), ChangeScope::Protection(),
                         [&] { after.ApplyTo(db); });
  // The backups kept so far stay sealed; what later saves keep does not.
  if (before.PasswordOn && before.Encrypted && !(after.PasswordOn && after.Encrypted)) {
    context_.services.ShowMessage(context_.texts.Get(file_texts::kEncryptionOffNote)
                                      .arg(QDir::toNativeSeparators(db.DatabasePath)),
                                  kOkOnly);
  }
}

TextId DatabasePropertiesDialog::StepName(const Protection& before, const Protection& after) {
  if (after.PasswordOn != before.PasswordOn)
    return after.PasswordOn ? settings_texts::kProtectionOnStep
                            : settings_texts::kProtectionOffStep;
  if (after.Encrypted != before.Encrypted)
    return after.Encrypted ? settings_texts::kEncryptionOnStep : settings_texts::kEncryptionOffStep;
  return settings_texts::kPasswordStep;
}

void DatabasePropertiesDialog::ShowProtection() {
  protectCheck_->setChecked(context_.db.PasswordOn);
  changePasswordButton_->setEnabled(context_.db.PasswordOn);
  encryptCheck_->setChecked(context_.db.Encrypted);
  encryptCheck_->setEnabled(context_.db.PasswordOn);
}

// Reading the file again replaces the model with what the file holds: only
// while that is what the window shows.
void DatabasePropertiesDialog::ShowCodePage() {
  const Database& db = context_.db;
  const LanguageTexts& t = context_.texts;
  codePageLabel_->setText(t.Get(settings_texts::kCodePageOfTexts).arg(db.CodePageName));
  codePageCombo_->clear();
  for (const QString& name : KnownCodePages())
    if (name.compare(db.CodePageName, Qt::CaseInsensitive) != 0) codePageCombo_->addItem(name);
  const bool noFile = db.DatabasePath == QLatin1String("noname");
  const bool possible = !noFile && !db.Modified && codePageCombo_->count() > 0;
  readAgainButton_->setEnabled(possible);
  codePageCombo_->setEnabled(possible);
  readAgainNote_->setText(noFile        ? t.Get(settings_texts::kNoFileToReadAgain)
                          : db.Modified ? t.Get(settings_texts::kSaveBeforeReadingAgain)
                                        : QString());
  readAgainNote_->setVisible(!readAgainNote_->text().isEmpty());
}

QString DatabasePropertiesDialog::AskPassword(TextId prompt) {
  return context_.services.AskText(context_.texts.Get(prompt), QString(), true);
}

void DatabasePropertiesDialog::SwitchProtection() {
  const AskPasswordFn ask = [this](TextId prompt) { return AskPassword(prompt); };
  CodePage codePage(context_.db.CodePageName);
  Tell(context_.db.PasswordOn ? SwitchProtectionOff(context_.db, ask)
                              : SwitchProtectionOn(context_.db, codePage, ask));
  ShowProtection();
}

void DatabasePropertiesDialog::ChangePassword() {
  CodePage codePage(context_.db.CodePageName);
  Tell(orbo::ChangePassword(context_.db, codePage,
                            [this](TextId prompt) { return AskPassword(prompt); }));
  ShowProtection();
}

void DatabasePropertiesDialog::Tell(ProtectionOutcome outcome) {
  QString text;
  switch (outcome) {
    case ProtectionOutcome::kWrongPassword:
      text = context_.texts.Get(settings_texts::kWrongPassword);
      break;
    case ProtectionOutcome::kDiffer:
      text = context_.texts.Get(settings_texts::kPasswordsDiffer);
      break;
    case ProtectionOutcome::kTooShort:
      text = context_.texts.Get(settings_texts::kPasswordTooShort);
      break;
    case ProtectionOutcome::kHoldsNul:
      text = context_.texts.Get(file_texts::kPasswordHoldsNul);
      break;
    case ProtectionOutcome::kUnencodable:
      text = context_.texts.Get(file_texts::kPasswordNotInCodePage).arg(context_.db.CodePageName);
      break;
    case ProtectionOutcome::kChanged:
    case ProtectionOutcome::kNoAnswer:
      return;
  }
  context_.services.ShowMessage(text, kExclamation);
}

}  // namespace orbo
