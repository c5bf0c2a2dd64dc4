// Navigation: opening folders and records, stepping, adding and deleting
// records and folders, the folder header, marks and drag and drop in the
// tree. Every change of the model is one undo step.
#pragma once

#include <QString>
#include <memory>

#include "shell/navigation_views.h"
#include "storage/quick_filter.h"
#include "storage/text_id.h"

namespace orbo {

class ContentsModel;
class FolderTree;
class RecordSurface;
class DeletionStep;
struct ChangeScope;
struct ChangedParts;
struct Database;
struct DisplayState;
struct WindowContext;

class Navigator {
 public:
  // Connects the navigation commands of the main window, the tree, the
  // contents list and the folder header.
  Navigator(WindowContext& context, FolderTree& tree, RecordSurface& surface,
            NavigationViews views);
  ~Navigator();

  void RebuildTree();
  // The contents list of a folder shows the filter's matches among its
  // records and those below it, and the tree the folders leading to them;
  // an empty text shows the folder's contents again.
  void SetQuickFilter(const QuickFilter& filter);
  const QuickFilter& Filter() const { return filter_; }
  void ShowFolder(int folder);
  // The tree and the contents list follow every change of the model; after
  // undo and redo the place the step restored shows again.
  void FollowModel(const ChangedParts& parts, bool undoOrRedo);
  // The shown record drawn and filled anew, or the shown folder.
  void ShowPlaceAgain();
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
  void DropNode(const QString& draggedKey, const QString& targetKey);
  // Asks for a folder and moves the shown record, else the shown folder,
  // into it, as a drop there would.
  void MoveShownToFolder();

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
  // Puts a new record into slot.
  void InsertRecord(int slot, int folder, int form);
  // Deletes folder's records and the folder within step; false when refused.
  bool DeleteFolder(DeletionStep& step, int folder);
  // records: the changed ones, with those whose marks or forms changed.
  void FollowInTree(const ChangedParts& parts, const std::vector<int>& records);
  // The shown folder's list entries shown again in place; false when the
  // list must be filled anew.
  bool ListFollows(const ChangedParts& parts, const std::vector<int>& records);
  void ShowPlaceAgain(const ChangedParts& parts, const std::vector<int>& records);
  void ShowFolderHeader(int folder);
  void FillFolderList(int folder);
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
  std::unique_ptr<ContentsModel> contents_;
  QuickFilter filter_;
};

}  // namespace orbo
