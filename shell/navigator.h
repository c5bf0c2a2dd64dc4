// Navigation: opening folders and records, stepping, adding and deleting
// records and folders, the folder header, marks and drag and drop in the
// tree. Every change of the model is one undo step.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "shell/navigation_views.h"
#include "storage/quick_filter.h"
#include "storage/text_id.h"

namespace orbo {

class ContentsModel;
class FolderListing;
class FolderTreeModel;
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
  Navigator(WindowContext& context, FolderTreeModel& tree, RecordSurface& surface,
            NavigationViews views);
  ~Navigator();

  // The tree lists the database anew (after a load) or shows every entry
  // again (after the forms were designed).
  void RefreshTree();
  const ContentsModel& Contents() const;
  // Opens folder's node in the tree.
  void ExpandFolder(int folder);
  // The contents list of a folder shows the filter's matches among its
  // records and those below it, and the tree the folders leading to them;
  // an empty text shows the folder's contents again.
  void SetQuickFilter(const QuickFilter& filter);
  const QuickFilter& Filter() const;
  void ShowFolder(int folder);
  // The tree and the contents list follow every change of the model; after
  // undo and redo the place the step restored shows again.
  void FollowModel(const ChangedParts& parts, bool undoOrRedo);
  // The shown record drawn and filled anew, or the shown folder.
  void ShowPlaceAgain();
  void ShowRecord(int record);
  void OpenNode(const QString& key);
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
  // Several records at once, each as one undo step.
  // Deletes records (distinct, live); false, after saying so, when they
  // are every record the table holds.
  bool DeleteRecords(const std::vector<int>& records);
  // Marks records, or unmarks them when every one is marked.
  void ToggleMarks(const std::vector<int>& records);
  // Asks for a folder and moves records into it, in their stored order,
  // each as a drop there would.
  void MoveRecordsToChosenFolder(const std::vector<int>& records);
  void MoveRecordsToFolder(std::vector<int> records, int folder);
  void DropNode(const QString& draggedKey, const QString& targetKey);
  // Asks for a folder and moves the shown record, else the shown folder,
  // into it, as a drop there would.
  void MoveShownToFolder();

 private:
  void ConnectCommands();
  void ConnectViews();
  // The key of the tree node below key's, else above it, else its parent.
  QString NodeBeside(const QString& key) const;
  // Opens the folders above the tree node of key, selects it and scrolls
  // to it.
  void SelectNode(const QString& key);
  void SetRecordCommands(bool recordShown);
  // False, after saying so, when folder can take no new record: the table
  // is full and no free slot would take it.
  bool RoomForNewRecord(int folder);
  // False, after saying so, when the table is full.
  bool RoomForMovedRecord();
  // Room, or false after saying that the record limit is reached.
  bool RecordLimitAllows(bool room);
  // The slot a new record of folder takes (RecordCount: the table grows).
  int SlotForRecord(int folder) const;
  // Puts a new record into slot.
  void InsertRecord(int slot, int folder, int form);
  // Deletes folder's records and the folder within step; false when refused.
  bool DeleteFolder(DeletionStep& step, int folder);
  void ShowFolderHeader(int folder);
  // One undo step named by entry of the navigation's step names.
  bool Change(TextId name, const ChangeScope& scope, const std::function<void()>& change,
              const QString& mergeKey = {});
  QString StepName(TextId name) const;

  WindowContext& context_;
  Database& db_;
  DisplayState& state_;
  FolderTreeModel& tree_;
  RecordSurface& surface_;
  NavigationViews views_;
  std::unique_ptr<FolderListing> listing_;
};

}  // namespace orbo
