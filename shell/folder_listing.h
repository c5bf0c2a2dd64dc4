// The contents list of the folder shown, with the quick filter: lists a
// folder (with a filter typed, its matches, the tree drawing apart the
// folders that lead to them), follows each change row by row, and narrows
// the matches as the filter grows.
#pragma once

#include <QListView>
#include <optional>

#include "shell/contents_model.h"
#include "storage/quick_filter.h"

namespace orbo {

class FolderTreeModel;

class FolderListing {
 public:
  FolderListing(const Database& db, FolderTreeModel& tree, QListView& view, IconFor iconFor);

  const ContentsModel& Contents() const { return contents_; }
  const QuickFilter& Filter() const { return filter_; }
  // Takes filter; lists folder with it, or, for -1 (a record is shown),
  // draws no folder apart.
  void SetFilter(const QuickFilter& filter, int folder);
  // Lists folder anew, the folder itself current.
  void List(int folder);
  // Follows a change of the database while folder is listed; false when
  // the list holds another one, or none.
  bool Follow(int folder);
  // Lists nothing: a list not shown is not kept in step.
  void Clear();

 private:
  const Database& db_;
  FolderTreeModel& tree_;
  QListView& view_;
  ContentsModel contents_;
  QuickFilter filter_;
  // The filter whose matches the list shows, while no change came since.
  std::optional<QuickFilter> listedFilter_;
};

}  // namespace orbo
