// Navigation: opening folders and records, stepping, adding and deleting
// records and folders, the folder header, marks and drag and drop in the tree.
#pragma once

#include <QString>

namespace orbo {

class App;
class CommandFunnel;
class FolderTree;
class MainWindow;
struct Database;
struct DisplayState;
struct RecordDeletion;

class Navigator {
 public:
  // Connects the navigation commands of the main window, the tree, the
  // contents list and the folder header.
  explicit Navigator(App& app);

  void RebuildTree();
  void ShowFolder(int folder);
  void ShowRecord(int record);
  void OpenNode(const QString& key);
  void OpenSelectedNode();
  // Steps with NextRecordIndex and its kin.
  void Step(int (*next)(const Database&, int, int));
  bool AddRecord(int folder, int form, bool quiet);
  void CloneRecord();
  bool DeleteRecord(int record, bool force);
  void DeleteCurrentRecord();
  void AddFolder();
  bool DeleteFolder(int folder);
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
  // Brings the tree's keys in step with a deletion in the model; the
  // deleted record's node is removed, or left to go with its folder's node.
  void FollowDeletion(const RecordDeletion& deletion, int countBefore, bool removeNode);
  void FillFolderList(int folder);

  App& app_;
  Database& db_;
  DisplayState& state_;
  MainWindow& window_;
  FolderTree& tree_;
  CommandFunnel& funnel_;
};

}  // namespace orbo
