// The open folder's records as a table beside the contents list: the
// folder header's toggle (remembered in the settings), the form chooser,
// a click on a column header to order the rows (ascending, descending,
// then as stored), Return or a double click to open a record, and the menu
// that makes the order shown the stored one and deletes, marks or moves the
// selected records, each as one undo step.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "storage/text_id.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPoint;
class QTableView;
class QToolButton;

namespace orbo {

class Navigator;
class RecordTableModel;
class Sorter;
struct WindowContext;

struct FolderTableViews {
  QTableView& table;
  QComboBox& forms;
  QToolButton& toggle;
  // The status bar's count of the rows selected.
  QLabel& selectedCount;
  // Shows the table (true) or the contents list (false) below the header.
  std::function<void(bool table)> showTable;
};

class FolderTable {
 public:
  FolderTable(WindowContext& context, Navigator& navigator, Sorter& sorter, FolderTableViews views);
  ~FolderTable();

  const RecordTableModel& Model() const { return *model_; }
  // Shows the table or the list, and remembers the choice.
  void Show(bool table);
  // The words of the toggle, the form chooser and the menu, in the
  // language loaded.
  void ApplyTexts();
  // Makes the order shown the stored one, as one undo step.
  void SortAsShown();

 private:
  void FillForms();
  void ShowSortIndicator();
  void BuildMenu();
  // The records of the rows selected, in the order of the rows.
  std::vector<int> Selected() const;
  // The menu's entries as the order and the selection allow, and the
  // count of the rows selected.
  void EnableCommands();
  void ShowMenu(const QPoint& at);

  WindowContext& context_;
  Navigator& navigator_;
  Sorter& sorter_;
  FolderTableViews views_;
  std::unique_ptr<RecordTableModel> model_;
  QMenu* menu_ = nullptr;
  std::vector<std::pair<QAction*, TextId>> entries_;
  QAction* sortAsShown_ = nullptr;
  // Delete, mark, move: for the selected records.
  std::array<QAction*, 3> forSelected_{};
};

}  // namespace orbo
