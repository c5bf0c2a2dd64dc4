#include "query/access/export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "query/access/access_texts.h"
#include "shell/common_texts.h"
#include "shell/dialog_buttons.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"
#include "storage/navigation_logic.h"

namespace orbo {

ExportDialog::ExportDialog(const WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName("ExAccForm");
  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(access_texts::kExportTitle));
  folderCombo_ = NamedWidget<QComboBox>("FolderCombo", this);
  subDirCheck_ =
      NamedWidget<QCheckBox>("SubDirCheck", t.Get(common_texts::kIncludeSubfolders), this);
  auto* okButton = NamedWidget<QPushButton>("OkButt", t.Get(common_texts::kOk), this);
  auto* cancelButton = NamedWidget<QPushButton>("CancelButt", t.Get(common_texts::kCancel), this);
  folderCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  folderCombo_->setMinimumContentsLength(28);
  okButton->setDefault(true);
  choices_ = new QFormLayout;
  choices_->addRow(NamedWidget<QLabel>("Label1", t.Get(common_texts::kFolderLabel), this),
                   folderCombo_);
  choices_->addRow(subDirCheck_);
  QHBoxLayout* buttons = OkCancelRow(okButton, cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices_);
  layout->addLayout(buttons);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ExportDialog::Prepare() {
  const Database& db = context_.db;
  QStringList entries{context_.texts.Get(common_texts::kAll)};
  for (int folder = 0; folder < db.FolderCount; ++folder) entries << FolderPath(db, folder);
  QStringList shown;
  for (int i = 0; i < folderCombo_->count(); ++i) shown << folderCombo_->itemText(i);
  if (shown == entries) return;
  folderCombo_->clear();
  folderCombo_->addItems(entries);
  folderCombo_->setCurrentIndex(context_.state.CurFolder + 1);
}

ExportScope ExportDialog::Scope() const {
  return {folderCombo_->currentIndex() - 1, subDirCheck_->isChecked()};
}

}  // namespace orbo
