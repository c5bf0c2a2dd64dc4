#include "query/sort/sort_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "query/sort/sort_texts.h"
#include "shell/common_texts.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"
#include "storage/navigation_logic.h"

namespace orbo {

SortDialog::SortDialog(const WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName("SortForm");
  sortWhatLabel_ = NamedWidget<QLabel>("Label1", this);
  sortWhereLabel_ = NamedWidget<QLabel>("Label2", this);
  sortDirectionLabel_ = NamedWidget<QLabel>("Label3", this);
  whatCombo_ = NamedWidget<QComboBox>("WhatCombo", this);
  whereCombo_ = NamedWidget<QComboBox>("WhereCombo", this);
  dirCombo_ = NamedWidget<QComboBox>("DirCombo", this);
  sortButton_ = NamedWidget<QPushButton>("SortButt", this);
  cancelButton_ = NamedWidget<QPushButton>("CancelButt", this);
  helpButton_ = NamedWidget<QPushButton>("HelpButt", this);
  waitFrame_ = NamedWidget<QFrame>("WaitFrame", this);
  waitLabel_ = NamedWidget<QLabel>("WaitLab", waitFrame_);
  whereCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  whereCombo_->setMinimumContentsLength(28);
  // The wait frame lies over the choices while a sort runs, outside the
  // layout, so showing and hiding it never changes the dialog's size.
  waitFrame_->setFrameShape(QFrame::StyledPanel);
  waitFrame_->setAutoFillBackground(true);
  waitLabel_->setAlignment(Qt::AlignCenter);
  (new QHBoxLayout(waitFrame_))->addWidget(waitLabel_);
  waitFrame_->hide();
  sortButton_->setDefault(true);

  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(sort_texts::kSortTitle));
  sortWhatLabel_->setText(t.Get(sort_texts::kSortWhatLabel));
  sortWhereLabel_->setText(t.Get(sort_texts::kInFolderLabel));
  sortDirectionLabel_->setText(t.Get(sort_texts::kOrderLabel));
  sortButton_->setText(t.Get(sort_texts::kSortButton));
  cancelButton_->setText(t.Get(common_texts::kCancel));
  helpButton_->setText(t.Get(common_texts::kHelp));
  waitLabel_->setText(t.Get(common_texts::kPleaseWait));
  whatCombo_->addItems({t.Get(sort_texts::kRecords), t.Get(sort_texts::kSubfolders)});
  dirCombo_->addItems({t.Get(sort_texts::kAscending), t.Get(sort_texts::kDescending)});

  auto* choices = new QFormLayout;
  choices->addRow(sortWhatLabel_, whatCombo_);
  choices->addRow(sortWhereLabel_, whereCombo_);
  choices->addRow(sortDirectionLabel_, dirCombo_);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {sortButton_, cancelButton_, helpButton_}) buttons->addWidget(button);
  buttons->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(choices, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);

  connect(whatCombo_, &QComboBox::currentIndexChanged, this, [this] { FillWhere(); });
  connect(sortButton_, &QPushButton::clicked, this, &SortDialog::sortRequested);
  connect(helpButton_, &QPushButton::clicked, this, &SortDialog::helpRequested);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void SortDialog::Prepare() {
  const QSignalBlocker blocker(whatCombo_);
  whatCombo_->setCurrentIndex(0);
  FillWhere();
}

void SortDialog::FillWhere() {
  const Database& db = context_.db;
  QStringList entries;
  if (SortsFolders()) entries << context_.texts.Get(sort_texts::kTopLevel);
  for (int folder = 0; folder < db.FolderCount; ++folder) entries << FolderPath(db, folder);
  whereCombo_->clear();
  whereCombo_->addItems(entries);
  whereCombo_->setCurrentIndex(context_.state.CurFolder + (SortsFolders() ? 1 : 0));
}

bool SortDialog::SortsFolders() const { return whatCombo_->currentIndex() == 1; }

int SortDialog::Where() const { return whereCombo_->currentIndex() - (SortsFolders() ? 1 : 0); }

bool SortDialog::Ascending() const { return dirCombo_->currentIndex() == 0; }

void SortDialog::SetWaiting(bool waiting) {
  if (!waiting) {
    waitFrame_->hide();
    return;
  }
  waitFrame_->setGeometry(rect());
  waitFrame_->raise();
  waitFrame_->show();
  waitFrame_->repaint();
}

void SortDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!waitFrame_->isVisible()) reject();
}

}  // namespace orbo
