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
  label1_ = NamedWidget<QLabel>("Label1", this);
  label2_ = NamedWidget<QLabel>("Label2", this);
  label3_ = NamedWidget<QLabel>("Label3", this);
  whatCombo_ = NamedWidget<QComboBox>("WhatCombo", this);
  whereCombo_ = NamedWidget<QComboBox>("WhereCombo", this);
  dirCombo_ = NamedWidget<QComboBox>("DirCombo", this);
  sortButt_ = NamedWidget<QPushButton>("SortButt", this);
  cancelButt_ = NamedWidget<QPushButton>("CancelButt", this);
  helpButt_ = NamedWidget<QPushButton>("HelpButt", this);
  waitFrame_ = NamedWidget<QFrame>("WaitFrame", this);
  waitLab_ = NamedWidget<QLabel>("WaitLab", waitFrame_);
  whereCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  whereCombo_->setMinimumContentsLength(28);
  // The wait frame lies over the choices while a sort runs, outside the
  // layout, so showing and hiding it never changes the dialog's size.
  waitFrame_->setFrameShape(QFrame::StyledPanel);
  waitFrame_->setAutoFillBackground(true);
  waitLab_->setAlignment(Qt::AlignCenter);
  (new QHBoxLayout(waitFrame_))->addWidget(waitLab_);
  waitFrame_->hide();
  sortButt_->setDefault(true);

  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(sort_texts::kSortTitle));
  label1_->setText(t.Get(sort_texts::kSortWhatLabel));
  label2_->setText(t.Get(sort_texts::kInFolderLabel));
  label3_->setText(t.Get(sort_texts::kOrderLabel));
  sortButt_->setText(t.Get(sort_texts::kSortButton));
  cancelButt_->setText(t.Get(common_texts::kCancel));
  helpButt_->setText(t.Get(common_texts::kHelp));
  waitLab_->setText(t.Get(common_texts::kPleaseWait));
  whatCombo_->addItems({t.Get(sort_texts::kRecords), t.Get(sort_texts::kSubfolders)});
  dirCombo_->addItems({t.Get(sort_texts::kAscending), t.Get(sort_texts::kDescending)});

  auto* choices = new QFormLayout;
  choices->addRow(label1_, whatCombo_);
  choices->addRow(label2_, whereCombo_);
  choices->addRow(label3_, dirCombo_);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {sortButt_, cancelButt_, helpButt_}) buttons->addWidget(button);
  buttons->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(choices, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);

  connect(whatCombo_, &QComboBox::currentIndexChanged, this, [this] { FillWhere(); });
  connect(sortButt_, &QPushButton::clicked, this, &SortDialog::sortRequested);
  connect(helpButt_, &QPushButton::clicked, this, &SortDialog::helpRequested);
  connect(cancelButt_, &QPushButton::clicked, this, &QDialog::reject);
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
