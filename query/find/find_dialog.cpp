#include "query/find/find_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVBoxLayout>

#include "query/find/find_texts.h"
#include "shell/common_texts.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

// Type list index of text fields, where every change of form starts.
constexpr int kTextFieldsEntry = 1;
constexpr int kFlagFieldsEntry = 4;

}  // namespace

FindDialog::FindDialog(const WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName("FindForm");
  findWhatLabel_ = NamedWidget<QLabel>("FindLab1", this);
  whatText_ = NamedWidget<QLineEdit>("WhatText", this);
  whatCombo_ = NamedWidget<QComboBox>("WhatCombo", this);
  optionsFrame_ = NamedWidget<QGroupBox>("Frame1", this);
  wholeCheck_ = NamedWidget<QCheckBox>("WholeCheck", this);
  caseCheck_ = NamedWidget<QCheckBox>("CaseCheck", this);
  dirFrame_ = NamedWidget<QGroupBox>("DirFrame", this);
  upDir_ = NamedWidget<QRadioButton>("UpDir", this);
  downDir_ = NamedWidget<QRadioButton>("DownDir", this);
  scopeFrame_ = NamedWidget<QGroupBox>("FindFrame1", this);
  formsLabel_ = NamedWidget<QLabel>("FindLab2", this);
  fieldTypesLabel_ = NamedWidget<QLabel>("FindLab3", this);
  fieldsLabel_ = NamedWidget<QLabel>("FindLab4", this);
  folderLab_ = NamedWidget<QLabel>("FolderLab", this);
  formsCombo_ = NamedWidget<QComboBox>("FormsCombo", this);
  fieldsTypeCombo_ = NamedWidget<QComboBox>("FieldsTypeCombo", this);
  fieldsCombo_ = NamedWidget<QComboBox>("FieldsCombo", this);
  folderCombo_ = NamedWidget<QComboBox>("FolderCombo", this);
  subDirCheck_ = NamedWidget<QCheckBox>("SubDirCheck", this);
  resultText_ = NamedWidget<QTextEdit>("ResultText", this);
  findButton_ = NamedWidget<QPushButton>("FindButt", this);
  markButton_ = NamedWidget<QPushButton>("MarkButt", this);
  cancelButton_ = NamedWidget<QPushButton>("CancelButt", this);
  helpButton_ = NamedWidget<QPushButton>("HelpButt", this);
  resultText_->setReadOnly(true);
  whatCombo_->hide();
  findButton_->setDefault(true);
  for (QComboBox* list : {formsCombo_, fieldsTypeCombo_, fieldsCombo_, folderCombo_}) {
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(24);
  }

  auto* what = new QHBoxLayout;
  what->addWidget(findWhatLabel_);
  what->addWidget(whatText_, 1);
  what->addWidget(whatCombo_, 1);
  auto* options = new QVBoxLayout(optionsFrame_);
  options->addWidget(wholeCheck_);
  options->addWidget(caseCheck_);
  auto* direction = new QVBoxLayout(dirFrame_);
  direction->addWidget(upDir_);
  direction->addWidget(downDir_);
  auto* choices = new QHBoxLayout;
  choices->addWidget(optionsFrame_, 1);
  choices->addWidget(dirFrame_);
  auto* scope = new QFormLayout(scopeFrame_);
  scope->addRow(formsLabel_, formsCombo_);
  scope->addRow(fieldTypesLabel_, fieldsTypeCombo_);
  scope->addRow(fieldsLabel_, fieldsCombo_);
  scope->addRow(folderLab_, folderCombo_);
  scope->addRow(QString(), subDirCheck_);
  auto* left = new QVBoxLayout;
  left->addLayout(what);
  left->addLayout(choices);
  left->addWidget(scopeFrame_);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {findButton_, markButton_, cancelButton_, helpButton_})
    buttons->addWidget(button);
  buttons->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(left, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(resultText_, 1);
  resize(560, 520);

  ApplyTexts();
  downDir_->setChecked(true);
  connect(findButton_, &QPushButton::clicked, this, &FindDialog::findRequested);
  connect(markButton_, &QPushButton::clicked, this, &FindDialog::markRequested);
  connect(helpButton_, &QPushButton::clicked, this, &FindDialog::helpRequested);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(formsCombo_, &QComboBox::activated, this, [this] { FormChosen(); });
  connect(fieldsTypeCombo_, &QComboBox::activated, this, [this] { TypeChosen(); });
  ResetLists();
}

void FindDialog::ApplyTexts() {
  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(find_texts::kFindTitle));
  cancelButton_->setText(t.Get(common_texts::kCancel));
  helpButton_->setText(t.Get(common_texts::kHelp));
  findWhatLabel_->setText(t.Get(find_texts::kFindWhatLabel));
  optionsFrame_->setTitle(t.Get(find_texts::kOptionsFrame));
  wholeCheck_->setText(t.Get(find_texts::kWholeWordsOnly));
  caseCheck_->setText(t.Get(find_texts::kMatchCase));
  dirFrame_->setTitle(t.Get(find_texts::kDirectionFrame));
  upDir_->setText(t.Get(find_texts::kUp));
  downDir_->setText(t.Get(find_texts::kDown));
  scopeFrame_->setTitle(t.Get(find_texts::kWhereToSearchFrame));
  formsLabel_->setText(t.Get(find_texts::kFormLabel));
  fieldTypesLabel_->setText(t.Get(find_texts::kFieldTypeLabel));
  fieldsLabel_->setText(t.Get(find_texts::kFieldLabel));
  folderLab_->setText(t.Get(common_texts::kFolderLabel));
  subDirCheck_->setText(t.Get(common_texts::kIncludeSubfolders));
  findButton_->setText(t.Get(find_texts::kFindNext));
  markButton_->setText(t.Get(find_texts::kMarkRecord));
}

void FindDialog::ResetLists() {
  const LanguageTexts& t = context_.texts;
  formsCombo_->clear();
  formsCombo_->addItem(t.Get(common_texts::kAll));
  for (int form = 0; form < context_.db.FormCount; ++form)
    formsCombo_->addItem(context_.db.Forms[form].Name);
  fieldsTypeCombo_->clear();
  for (int entry = 0; entry <= kFindFieldTypeCount; ++entry)
    fieldsTypeCombo_->addItem(t.Get(find_texts::kFieldTypeChoices.Plus(entry)));
  fieldsCombo_->clear();
  fieldsCombo_->addItem(t.Get(common_texts::kAll));
  fieldsCombo_->setEnabled(false);
  formsCombo_->setCurrentIndex(0);
  fieldsTypeCombo_->setCurrentIndex(kTextFieldsEntry);
  whatCombo_->hide();
  whatText_->show();
  downDir_->setChecked(true);
}

void FindDialog::Prepare() {
  const LanguageTexts& t = context_.texts;
  resultText_->setPlainText(t.Get(find_texts::kResultsListedHere) +
                            t.Get(find_texts::kEnterTextAndFind));
  const QSignalBlocker blocker(folderCombo_);
  folderCombo_->clear();
  QStringList entries{t.Get(common_texts::kAll)};
  for (int folder = 0; folder < context_.db.FolderCount; ++folder)
    entries << FolderPath(context_.db, folder);
  folderCombo_->addItems(entries);
  folderCombo_->setCurrentIndex(context_.state.CurFolder + 1);
  whatText_->setFocus();
  whatText_->selectAll();
}

void FindDialog::FormChosen() {
  const bool allForms = formsCombo_->currentIndex() <= 0;
  fieldsCombo_->setEnabled(!allForms);
  if (allForms) {
    fieldsCombo_->setCurrentIndex(0);
    fieldsCombo_->setItemText(0, context_.texts.Get(common_texts::kAll));
  }
  fieldsTypeCombo_->setCurrentIndex(kTextFieldsEntry);
  TypeChosen();
}

void FindDialog::TypeChosen() {
  const LanguageTexts& t = context_.texts;
  const int form = formsCombo_->currentIndex() - 1;
  const int entry = fieldsTypeCombo_->currentIndex();
  const bool flags = entry == kFlagFieldsEntry;
  whatText_->setVisible(!flags);
  whatCombo_->setVisible(flags);
  if (flags) {
    whatCombo_->clear();
    whatCombo_->addItems({t.Get(find_texts::kFlagNotSet), t.Get(find_texts::kFlagSet)});
    whatCombo_->setCurrentIndex(0);
  }
  if (form < 0 || entry <= 0) {
    fieldsCombo_->setEnabled(false);
    fieldsCombo_->clear();
    fieldsCombo_->addItem(t.Get(common_texts::kAll));
    return;
  }
  const FormDef& def = context_.db.Forms[form];
  const int type = kFindFieldTypes[entry - 1];
  const int count = def.ElementCount[type];
  if (count == 0) {
    context_.services.ShowMessage(
        t.Get(find_texts::kNoFieldsOfTypeStart) + def.Name + t.Get(find_texts::kNoFieldsOfTypeEnd),
        kExclamation);
    // A form without text fields either falls back to any type, so the
    // warning is not repeated without end.
    fieldsTypeCombo_->setCurrentIndex(entry == kTextFieldsEntry ? 0 : kTextFieldsEntry);
    TypeChosen();
    return;
  }
  fieldsCombo_->setEnabled(true);
  fieldsCombo_->clear();
  fieldsCombo_->addItem(t.Get(common_texts::kAll) + QStringLiteral(" (") + QString::number(count) +
                        u')');
  for (int slot = 0; slot < count; ++slot) fieldsCombo_->addItem(def.Elements[type][slot].Name);
  fieldsCombo_->setCurrentIndex(0);
}

FindSettings FindDialog::Settings() const {
  FindSettings settings;
  const int entry = fieldsTypeCombo_->currentIndex();
  settings.text =
      entry == kFlagFieldsEntry ? QString::number(whatCombo_->currentIndex()) : whatText_->text();
  settings.matchCase = caseCheck_->isChecked();
  settings.wholeWord = wholeCheck_->isChecked();
  settings.direction = upDir_->isChecked() ? -1 : 1;
  settings.form = formsCombo_->currentIndex() - 1;
  settings.fieldType = entry - 1;
  settings.field = settings.form < 0 ? -1 : fieldsCombo_->currentIndex() - 1;
  settings.folder = folderCombo_->currentIndex() - 1;
  settings.subfolders = subDirCheck_->isChecked();
  return settings;
}

void FindDialog::closeEvent(QCloseEvent* event) {
  // Closing hides the dialog; its choices stay for Find next.
  event->ignore();
  reject();
}

}  // namespace orbo
