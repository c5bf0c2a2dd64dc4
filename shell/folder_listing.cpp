#include "shell/folder_listing.h"

#include "shell/folder_tree_model.h"

namespace orbo {

FolderListing::FolderListing(const Database& db, FolderTreeModel& tree, QListView& view,
                             IconFor iconFor)
    : db_(db), tree_(tree), view_(view), contents_(db, std::move(iconFor)) {
  view_.setModel(&contents_);
}

void FolderListing::SetFilter(const QuickFilter& filter, int folder) {
  filter_ = filter;
  if (folder >= 0) {
    List(folder);
  } else {
    tree_.HighlightFolders({});
    listedFilter_.reset();
  }
}

void FolderListing::List(int folder) {
  if (!filter_.text.isEmpty()) {
    // A key typed at the end narrows what the list shows.
    const bool narrows = listedFilter_ && contents_.Folder() == folder &&
                         QuickFilterNarrows(*listedFilter_, filter_);
    const std::vector<int> matches =
        narrows ? NarrowQuickFilterMatches(db_, contents_.Records(), filter_)
                : QuickFilterMatches(db_, folder, filter_);
    tree_.HighlightFolders(FoldersLeadingTo(db_, matches));
    contents_.ShowFolder(folder, &matches);
    listedFilter_ = filter_;
  } else {
    tree_.HighlightFolders({});
    contents_.ShowFolder(folder);
    listedFilter_.reset();
  }
  view_.setCurrentIndex(contents_.index(contents_.FolderRow()));
}

bool FolderListing::Follow(int folder) {
  listedFilter_.reset();
  if (folder < 0 || contents_.Folder() != folder) return false;
  if (filter_.text.isEmpty()) return contents_.Follow();
  // A change of a record may add to the filter's matches or take from them.
  const std::vector<int> matches = QuickFilterMatches(db_, folder, filter_);
  if (!contents_.Follow(&matches)) return false;
  tree_.HighlightFolders(FoldersLeadingTo(db_, matches));
  listedFilter_ = filter_;
  return true;
}

void FolderListing::Clear() {
  contents_.Clear();
  listedFilter_.reset();
}

}  // namespace orbo
