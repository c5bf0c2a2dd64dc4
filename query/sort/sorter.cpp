#include "query/sort/sorter.h"

#include <QAction>

#include "query/sort/rearrangement_step.h"
#include "query/sort/sort_dialog.h"
#include "query/sort/sort_texts.h"
#include "shell/help_pages.h"
#include "shell/navigator.h"
#include "shell/window_context.h"
#include "storage/navigation_logic.h"
#include "storage/record_table.h"
#include "storage/sort_logic.h"

namespace orbo {
Sorter::Sorter(WindowContext& context, Navigator& navigator)
    : context_(context), navigator_(navigator) {
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Menu("mnuSort"), [this] { Open(); });
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
                     [this] { context_.services.ShowHelp(help_topics::kSort); });
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

bool Sorter::SortAsShown(const std::vector<int>& records) {
  Database& db = context_.db;
  SlotPermutation permutation = StoredOrderOf(records);
  if (permutation.Empty() || !ChangesAnything(db, permutation)) return false;
  const ShownPlace before = context_.funnel.Place();
  Rearrange(db, permutation);
  context_.funnel.Push(
      std::make_unique<RearrangementStep>(context_.texts.Get(sort_texts::kSortAsShownStep), db,
                                          context_.state, before, std::move(permutation)));
  return true;
}

void Sorter::Sort(bool folders, int folder, bool ascending) {
  Database& db = context_.db;
  const LanguageTexts& texts = context_.texts;
  SlotPermutation permutation;
  if (folders) {
    permutation = FolderSortPermutation(db, folder, ascending);
  } else if (IsFolderIndex(db, folder)) {
    permutation = RecordSortPermutation(db, folder, ascending);
  }
  if (permutation.Empty()) {
    context_.services.ShowMessage(texts.Get(sort_texts::kNothingToSort), kExclamation);
    return;
  }
  const int shown = folders && folder == TopLevelParent ? permutation.places.front() : folder;
  // A sort that leaves every entry in place is no step: nothing changed.
  const bool changes = ChangesAnything(db, permutation);
  const ShownPlace before = context_.funnel.Place();
  if (changes) {
    Rearrange(db, permutation);
    context_.funnel.Push(std::make_unique<RearrangementStep>(
        texts.Get(folders ? sort_texts::kSortFoldersStep : sort_texts::kSortRecordsStep), db,
        context_.state, before, std::move(permutation)));
  }
  navigator_.ExpandFolder(folder);
  // Sorted records of the shown folder kept their places in the views.
  const DisplayState& state = context_.state;
  if (folders || folder != state.CurFolder || state.CurRecord != -1) navigator_.ShowFolder(shown);
}

}  // namespace orbo
