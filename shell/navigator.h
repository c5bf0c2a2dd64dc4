// Navigation: opening folders and records, stepping, adding and deleting
// records and folders, the folder header, marks and drag and drop in the
// tree. Every change of the model is one undo step.
#pragma once

#include <QString>

#include "shell/navigation_views.h"
#include "storage/quick_filter.h"
#include "storage/text_id.h"

namespace orbo {

class FolderTree;
class RecordSurface;
class DeletionStep;
struct ChangeScope;
struct Database;
struct DisplayState;
struct RecordDeletion;
struct WindowContext;

class Navigator {
 public:
  // Connects the navigation commands of the main window, the tree, the
  // contents list and the folder header.
  Navigator(WindowContext& context, FolderTree& tree, RecordSurface& surface,
            NavigationViews views);

  void RebuildTree();
  // The contents list of a folder shows the filter's matches among its
  // records and those below it, and the tree the folders leading to them;
  // an empty text shows the folder's contents again.
  void SetQuickFilter(const QuickFilter& filter);
  const QuickFilter& Filter() const { return filter_; }
  void ShowFolder(int folder);
  // Records changed in place, each keeping its folder (a sort): the tree
  // and the shown folder's list show them again without being rebuilt.
  // False, when that cannot be, and the views are to be refilled.
  bool ShowChangedRecords(const std::vector<int>& records);
  void ShowRecord(int record);
  void OpenNode(const QString& key);
  void OpenSelectedNode();
  // Steps with NextRecordIndex and its kin.
  void Step(int (*next)(const Database&, int, int));
  // Adds a record of form (-1: the shown record's) to folder and shows it
  // unless quiet.
  bool AddRecord(int folder, int form, bool quiet);
  void CloneRecord();
  void DeleteCurrentRecord();
  void AddFolder();
  void DeleteCurrentFolder();
  void DeleteShown();
  void RenameCurrentFolder(const QString& name);
  void ChooseFolderIcon();
  void MoveFolderAmongSiblings(bool up);
  void MoveFolderToTop();
  void ToggleMark(int record);
  void ShowMark(int record);
  void DropNode(const QString& draggedKey, const QString& targetKey);

 private:
  void ConnectCommands();
  void ConnectViews();
  // Reveals, selects and scrolls to the tree node of key.
  void SelectNode(const QString& key);
  void SetRecordCommands(bool recordShown);
  // False, after saying so, when the table holds no more records.
  bool RoomForRecord();
  // The slot a new record of folder takes (RecordCount: the table grows).
  int SlotForRecord(int folder) const;
  // Puts a new record into slot, with its tree node; no view changes.
  void InsertRecord(int slot, int folder, int form);
  // Deletes folder's records and the folder within step; false when refused.
  bool DeleteFolder(DeletionStep& step, int folder);
  // Brings the tree's keys in step with a deletion in the model; the
  // deleted record's node is removed, or left to go with its folder's node.
  void FollowDeletion(const RecordDeletion& deletion, int countBefore, bool removeNode);
  void FillFolderList(int folder);
  // The list's record entries, shown again when the list holds exactly the
  // records of its folder; false, changing nothing, otherwise.
  bool UpdateListedRecords(const std::vector<int>& records);
  // One undo step named by entry of the navigation's step names.
  bool Change(TextId name, const ChangeScope& scope, const std::function<void()>& change,
              const QString& mergeKey = {});
  QString StepName(TextId name) const;

  WindowContext& context_;
  Database& db_;
  DisplayState& state_;
  FolderTree& tree_;
  RecordSurface& surface_;
  NavigationViews views_;
  int listedFolder_ = -1;  // the folder the contents list holds
  QuickFilter filter_;
};

}  // namespace orbo
