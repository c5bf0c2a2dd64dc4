#include "shell/folder_chooser.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "shell/common_texts.h"
#include "shell/dialog_buttons.h"
#include "shell/named_widget.h"
#include "shell/navigation_texts.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

FolderChooser::FolderChooser(QWidget* parent, const LanguageTexts& texts, const Database& db,
                             int moving, int current)
    : QDialog(parent) {
  setObjectName("MoveForm");
  setWindowTitle(texts.Get(navigation_texts::kMoveToFolderTitle));
  auto* prompt = NamedWidget<QLabel>("Prompt", texts.Get(navigation_texts::kMoveToFolderPrompt));
  tree_ = NamedWidget<QTreeWidget>("FolderList", this);
  tree_->setHeaderHidden(true);
  okButton_ = NamedWidget<QPushButton>("OkButt", texts.Get(common_texts::kOk), this);
  auto* cancel = NamedWidget<QPushButton>("CancelButt", texts.Get(common_texts::kCancel), this);
  prompt->setBuddy(tree_);

  // Built level by level without recursion: a deep chain of folders cannot
  // run out of stack.
  const std::vector<std::vector<int>> children = SubfoldersByParent(db);
  std::vector<std::pair<int, QTreeWidgetItem*>> pending;
  for (int top : children[0]) pending.emplace_back(top, nullptr);
  std::vector<char> insideMoving(At(db.FolderCount) + 1, 0);
  QTreeWidgetItem* chosen = nullptr;
  for (std::size_t i = 0; i < pending.size(); ++i) {
    const auto [folder, above] = pending[i];
    auto* item = above ? new QTreeWidgetItem(above) : new QTreeWidgetItem(tree_);
    item->setText(0, db.Folders[At(folder)].Name);
    item->setData(0, Qt::UserRole, folder);
    const int parentFolder = db.Folders[At(folder)].Parent;
    insideMoving[At(folder + 1)] =
        folder == moving || (above && insideMoving[At(parentFolder + 1)]);
    if (insideMoving[At(folder + 1)]) item->setDisabled(true);
    if (folder == current) chosen = item;
    for (int child : children[At(folder + 1)]) pending.emplace_back(child, item);
  }
  if (chosen) {
    tree_->setCurrentItem(chosen);
    tree_->scrollToItem(chosen);
  }
  // Only a folder chosen, never one the view made current on its own.
  const auto follow = [this] { okButton_->setEnabled(Chosen() >= 0); };
  follow();
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, follow);
  connect(tree_, &QTreeWidget::itemActivated, this, [this] {
    if (okButton_->isEnabled()) accept();
  });
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(tree_);
  layout->addLayout(OkCancelRow(okButton_, cancel));
  resize(360, 420);
  tree_->setFocus();
}

int FolderChooser::Chosen() const {
  const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
  if (selected.isEmpty() || selected.front()->isDisabled()) return -1;
  return selected.front()->data(0, Qt::UserRole).toInt();
}

}  // namespace orbo
