#include "query/sort/sorter.h"

#include <QAction>
#include <QTreeWidgetItem>

#include "query/sort/sort_dialog.h"
#include "shell/folder_tree.h"
#include "shell/navigator.h"
#include "shell/window_context.h"
#include "storage/navigation_logic.h"
#include "storage/sort_logic.h"

namespace orbo {
namespace {

constexpr int kStepNames = 979;
constexpr int kSortRecordsStep = 0;
constexpr int kSortFoldersStep = 1;
constexpr int kNothingToSort = 790;

}  // namespace

Sorter::Sorter(WindowContext& context, Navigator& navigator, FolderTree& tree)
    : context_(context), navigator_(navigator), tree_(tree) {
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Menu("mnuSort"), [this] { Open(); });
  c.OnTriggered(c.Tool(kMainBar, "sort"), [this] { Open(); });
  for (int entry = 0; entry < 4; ++entry) {
    c.OnTriggered(c.Menu(QStringLiteral("mnSort2_%1").arg(entry)),
                  [this, entry] { QuickSort(entry); });
  }
}

Sorter::~Sorter() = default;

SortDialog& Sorter::Dialog() {
  if (!dialog_) {
    dialog_ = std::make_unique<SortDialog>(context_, &context_.services.DialogParent());
    // The dialog's buttons act inside the command that opened it.
    QObject::connect(dialog_.get(), &SortDialog::sortRequested, dialog_.get(),
                     [this] { SortFromDialog(); });
    QObject::connect(dialog_.get(), &SortDialog::helpRequested, dialog_.get(),
                     [this] { context_.services.ShowHelp(18); });
  }
  return *dialog_;
}

void Sorter::Open() {
  Dialog().Prepare();
  context_.dialogs.RunModal(Dialog());
}

void Sorter::SortFromDialog() {
  SortDialog& dialog = Dialog();
  dialog.SetWaiting(true);
  Sort(dialog.SortsFolders(), dialog.Where(), dialog.Ascending());
  dialog.SetWaiting(false);
  // Sorted folders changed places: the list names them in table order again.
  dialog.FillWhere();
}

void Sorter::QuickSort(int entry) { Sort(entry >= 2, context_.state.CurFolder, entry % 2 == 0); }

void Sorter::Sort(bool folders, int folder, bool ascending) {
  Database& db = context_.db;
  const LanguageTexts& texts = context_.texts;
  int shown = folder;
  bool sorted = false;
  // A sort that leaves every entry in place is no step: nothing changed.
  context_.funnel.Change(
      texts.Get(kStepNames, folders ? kSortFoldersStep : kSortRecordsStep),
      folders ? ChangeScope{IndexScope::All(), IndexScope::All(), {}}
              : ChangeScope{IndexScope::Of(RecordsOf(db, folder)), {}, {}},
      [&] {
        if (folders) {
          const std::vector<int> places = SortFoldersInModel(db, folder, ascending);
          sorted = !places.empty();
          if (sorted && folder == TopLevelParent) shown = places.front();
        } else {
          sorted = IsFolderIndex(db, folder) && SortRecordsInModel(db, folder, ascending);
        }
      });
  if (!sorted) {
    context_.services.ShowMessage(texts.Get(kNothingToSort, 0), kExclamation);
    return;
  }
  if (folder == TopLevelParent) {
    navigator_.RebuildTree();
  } else {
    tree_.Refill(db, folder);
    if (QTreeWidgetItem* node = tree_.Node(FolderKey(folder))) node->setExpanded(true);
  }
  navigator_.ShowFolder(shown);
}

}  // namespace orbo
