#include "query/settings/database_properties_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/main_window.h"
#include "shell/dialog_buttons.h"
#include "shell/named_widget.h"

namespace orbo {
namespace {

constexpr int kHelpTopic = 20;
constexpr int kPasswordTexts = 968;

}  // namespace

DatabasePropertiesDialog::DatabasePropertiesDialog(App& app) : QDialog(&app.Window()), app_(app) {
  setObjectName("DBProps");
  codeFrame_ = NamedWidget<QGroupBox>("CodeFrame");
  codeCheck1_ = NamedWidget<QCheckBox>("CodeCheck1");
  codeButt1_ = NamedWidget<QPushButton>("CodeButt1");
  okButt_ = NamedWidget<QPushButton>("OkButt");
  cancelButt_ = NamedWidget<QPushButton>("CancelButt");
  helpButt_ = NamedWidget<QPushButton>("HelpButt");
  okButt_->setDefault(true);
  for (QPushButton* button : {codeButt1_, cancelButt_, helpButt_}) button->setAutoDefault(false);

  auto* code = new QVBoxLayout(codeFrame_);
  code->addWidget(codeCheck1_);
  code->addWidget(codeButt1_, 0, Qt::AlignLeft);
  QHBoxLayout* buttons = HelpOkCancelRow(helpButt_, okButt_, cancelButt_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(codeFrame_);
  layout->addStretch(1);
  layout->addLayout(buttons);
  resize(380, 180);

  connect(codeCheck1_, &QCheckBox::clicked, this, &DatabasePropertiesDialog::SwitchProtection);
  connect(codeButt1_, &QPushButton::clicked, this, &DatabasePropertiesDialog::ChangePassword);
  connect(okButt_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButt_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButt_, &QPushButton::clicked, this, [this] { app_.ShowHelp(kHelpTopic); });
}

void DatabasePropertiesDialog::ApplyTexts() {
  const LanguageTexts& t = app_.texts;
  setWindowTitle(t.Get(400, 0));
  codeFrame_->setTitle(t.Get(420, 0));
  codeCheck1_->setText(t.Get(420, 1));
  codeButt1_->setText(t.Get(420, 2));
  okButt_->setText(t.Get(3, 0));
  cancelButt_->setText(t.Get(4, 0));
  helpButt_->setText(t.Get(5, 0));
}

void DatabasePropertiesDialog::Run() {
  Database& db = app_.db;
  bool savedOn = db.PasswordOn;
  QString savedPassword = db.Password;
  ApplyTexts();
  ShowProtection();
  if (app_.Seams().RunModal(*this) == QDialog::Accepted) {
    app_.SetModified(true);
  } else {
    db.PasswordOn = savedOn;
    db.Password = savedPassword;
  }
}

void DatabasePropertiesDialog::ShowProtection() {
  codeCheck1_->setChecked(app_.db.PasswordOn);
  codeButt1_->setEnabled(app_.db.PasswordOn);
}

QString DatabasePropertiesDialog::AskPassword(int promptGroup) {
  return app_.AskText(app_.texts.Get(promptGroup, 0), QString(), true);
}

void DatabasePropertiesDialog::SwitchProtection() {
  const AskPasswordFn ask = [this](int prompt) { return AskPassword(prompt); };
  CodePage codePage(app_.db.CodePageName);
  Tell(app_.db.PasswordOn ? SwitchProtectionOff(app_.db, ask)
                          : SwitchProtectionOn(app_.db, codePage, ask));
  ShowProtection();
}

void DatabasePropertiesDialog::ChangePassword() {
  CodePage codePage(app_.db.CodePageName);
  Tell(orbo::ChangePassword(app_.db, codePage, [this](int prompt) { return AskPassword(prompt); }));
  ShowProtection();
}

void DatabasePropertiesDialog::Tell(ProtectionOutcome outcome) {
  QString text;
  switch (outcome) {
    case ProtectionOutcome::kWrongPassword:
      text = app_.texts.Get(730, 0);
      break;
    case ProtectionOutcome::kDiffer:
      text = app_.texts.Get(720, 0);
      break;
    case ProtectionOutcome::kTooShort:
      text = app_.texts.Get(735, 0);
      break;
    case ProtectionOutcome::kHoldsNul:
      text = app_.texts.Get(kPasswordTexts, 1);
      break;
    case ProtectionOutcome::kUnencodable:
      text = app_.texts.Get(kPasswordTexts, 0).arg(app_.db.CodePageName);
      break;
    case ProtectionOutcome::kChanged:
    case ProtectionOutcome::kNoAnswer:
      return;
  }
  app_.ShowMessage(text, kExclamation);
}

}  // namespace orbo
