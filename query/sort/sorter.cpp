#include "query/sort/sorter.h"

#include <QAction>
#include <QTreeWidgetItem>

#include "app/app.h"
#include "app/main_window.h"
#include "query/sort/sort_dialog.h"
#include "shell/folder_tree.h"
#include "shell/main_commands.h"
#include "shell/navigator.h"
#include "storage/sort_logic.h"

namespace orbo {

Sorter::Sorter(App& app) : app_(app) {
  MainCommands& c = app_.Window().Commands();
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
    dialog_ = std::make_unique<SortDialog>(app_, &app_.Window());
    // The dialog's buttons act inside the command that opened it.
    QObject::connect(dialog_.get(), &SortDialog::sortRequested, dialog_.get(),
                     [this] { SortFromDialog(); });
    QObject::connect(dialog_.get(), &SortDialog::helpRequested, dialog_.get(),
                     [this] { app_.ShowHelp(18); });
  }
  return *dialog_;
}

void Sorter::Open() {
  Dialog().Prepare();
  app_.Seams().RunModal(Dialog());
}

void Sorter::SortFromDialog() {
  SortDialog& dialog = Dialog();
  dialog.SetWaiting(true);
  Sort(dialog.SortsFolders(), dialog.Where(), dialog.Ascending());
  dialog.SetWaiting(false);
  // Sorted folders changed places: the list names them in table order again.
  dialog.FillWhere();
}

void Sorter::QuickSort(int entry) { Sort(entry >= 2, app_.state.CurFolder, entry % 2 == 0); }

void Sorter::Sort(bool folders, int folder, bool ascending) {
  Database& db = app_.db;
  int shown = folder;
  if (folders) {
    const std::vector<int> places = SortFoldersInModel(db, folder, ascending);
    if (places.empty()) {
      app_.ShowMessage(app_.texts.Get(790, 0), kExclamation);
      return;
    }
    if (folder == TopLevelParent) shown = places.front();
  } else if (!IsFolderIndex(db, folder) || !SortRecordsInModel(db, folder, ascending)) {
    app_.ShowMessage(app_.texts.Get(790, 0), kExclamation);
    return;
  }
  // The order is stored with the database: unsaved, it would be lost
  // without a word on closing.
  app_.SetModified(true);
  if (folder == TopLevelParent) {
    app_.Navigation().RebuildTree();
  } else {
    app_.Tree().Refill(db, folder);
    if (QTreeWidgetItem* node = app_.Tree().Node(FolderKey(folder))) node->setExpanded(true);
  }
  app_.Navigation().ShowFolder(shown);
}

}  // namespace orbo
