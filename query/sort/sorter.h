// Sorting from the sort dialog and the quick-sort menu: rearranges the
// model as one undo step, brings the tree in step and shows the sorted
// folder.
#pragma once

#include <memory>
#include <vector>

namespace orbo {

class Navigator;
class SortDialog;
struct WindowContext;

class Sorter {
 public:
  // Connects the sort commands of the main window.
  Sorter(WindowContext& context, Navigator& navigator);
  ~Sorter();

  // mnuSort: the dialog, modally.
  void Open();
  // mnSort2 entry: records (0, 1) or sub-folders (2, 3) of the current
  // folder, ascending for even entries.
  void QuickSort(int entry);
  // Records of folder, or sub-folders of folder (-1: the top level).
  void Sort(bool folders, int folder, bool ascending);
  // Puts records (as a view shows them) into the slots they hold in that
  // order, as one undo step; false when they were so already.
  bool SortAsShown(const std::vector<int>& records);
  SortDialog& Dialog();

 private:
  void SortFromDialog();

  WindowContext& context_;
  Navigator& navigator_;
  std::unique_ptr<SortDialog> dialog_;
};

}  // namespace orbo
