#include "query/settings/backups_dialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "query/settings/settings_texts.h"
#include "shell/common_texts.h"
#include "shell/dialog_buttons.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"
#include "storage/backups.h"
#include "storage/database_file.h"

namespace orbo {

BackupsDialog::BackupsDialog(WindowContext& context)
    : QDialog(&context.services.DialogParent()), context_(context) {
  setObjectName("BackupsForm");
  intro_ = NamedWidget<QLabel>("BackupsNote");
  intro_->setWordWrap(true);
  intro_->setTextFormat(Qt::PlainText);
  list_ = NamedWidget<QListWidget>("BackupList");
  okButton_ = NamedWidget<QPushButton>("OkButt");
  cancelButton_ = NamedWidget<QPushButton>("CancelButt");
  okButton_->setDefault(true);
  cancelButton_->setAutoDefault(false);
  QHBoxLayout* buttons = OkCancelRow(okButton_, cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro_);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  resize(520, 320);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
}

QString BackupsDialog::Choose() {
  const LanguageTexts& t = context_.texts;
  const QString path = context_.db.DatabasePath;
  const std::vector<Backup> backups =
      path == QLatin1String("noname") ? std::vector<Backup>() : ListBackups(path);
  if (backups.empty()) {
    context_.services.ShowMessage(t.Get(settings_texts::kNoBackups).arg(path), kOkOnly);
    return {};
  }
  setWindowTitle(t.Get(settings_texts::kRestoreBackupTitle));
  intro_->setText(t.Get(settings_texts::kRestoreBackupNote).arg(QDir::toNativeSeparators(path)));
  okButton_->setText(t.Get(common_texts::kOk));
  cancelButton_->setText(t.Get(common_texts::kCancel));
  list_->clear();
  for (const Backup& backup : backups) {
    auto* item = new QListWidgetItem(Describe(backup.path, backup.saved), list_);
    item->setData(Qt::UserRole, backup.path);
  }
  list_->setCurrentRow(0);
  if (context_.dialogs.RunModal(*this) != QDialog::Accepted || !list_->currentItem()) return {};
  return list_->currentItem()->data(Qt::UserRole).toString();
}

QString BackupsDialog::Describe(const QString& path, const QDateTime& saved) const {
  const LanguageTexts& t = context_.texts;
  const QString when =
      saved.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("  —  ");
  // Its key would take a derivation for each: the password is asked for
  // the one opened.
  if (IsEncryptedDatabaseFile(path)) return when + t.Get(settings_texts::kBackupEncrypted);
  CodePage codePage(context_.db.CodePageName);
  const ReadOutcome read = ReadDatabaseFile(path, codePage, context_.db.Password);
  QString what;
  if (read.status == ReadOutcome::kLoaded) {
    what = t.Get(settings_texts::kBackupCounts)
               .arg(read.db.RecordCount - read.db.BufferCount)
               .arg(read.db.FolderCount);
  } else {
    const bool otherPassword = read.status == ReadOutcome::kNeedsPassword || read.passwordTried;
    what = t.Get(otherPassword ? settings_texts::kBackupOtherPassword
                               : settings_texts::kBackupUnreadable);
  }
  return when + what;
}

}  // namespace orbo
