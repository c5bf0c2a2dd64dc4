// The nodes of the folder tree, kept in step with the model: folder nodes are
// filled lazily (a placeholder child until first expanded), every node is
// found by its key in constant time.
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <vector>

#include "storage/database_model.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace orbo {

QString FolderKey(int folder);
QString RecordKey(int record);
// "root"/"item" and the number behind it; kind is empty for other keys.
struct NodeKey {
  QString kind;
  int index = -1;
};
NodeKey ParseKey(const QString& key);

// The tree's nodes by key: folders and records each in a table by index,
// so that finding the node of a record builds no text and hashes nothing.
class NodeTable {
 public:
  QTreeWidgetItem* Get(const NodeKey& key) const {
    const int table = TableOf(key.kind);
    return table >= 0 && key.index >= 0 &&
                   static_cast<std::size_t>(key.index) < tables_[table].size()
               ? tables_[table][static_cast<std::size_t>(key.index)]
               : nullptr;
  }
  QTreeWidgetItem* Record(int record) const { return Get({kRecordKind, record}); }
  void Set(const NodeKey& key, QTreeWidgetItem* item);
  QTreeWidgetItem* Take(const NodeKey& key);
  void Clear();
  // Index by index; nullptr where a folder has no node.
  const std::vector<QTreeWidgetItem*>& Folders() const { return tables_[0]; }
  const std::vector<QTreeWidgetItem*>& Records() const { return tables_[1]; }

  static const QString kFolderKind;
  static const QString kRecordKind;

 private:
  // 0 for folders, 1 for records, -1 for other kinds.
  static int TableOf(const QString& kind);

  std::vector<QTreeWidgetItem*> tables_[2];
};

class FolderTree {
 public:
  using IconFor = std::function<QIcon(const QString& iconKey)>;
  FolderTree(QTreeWidget& tree, IconFor iconFor);

  static QString KeyOf(const QTreeWidgetItem* item);

  void Rebuild(const Database& db);
  void Clear();
  QTreeWidgetItem* Node(const QString& key) const { return nodes_.Get(ParseKey(key)); }
  bool NodeExists(const QString& key) const { return Node(key) != nullptr; }

  // Fills a folder node whose contents are not loaded yet.
  void Populate(const Database& db, int folder);
  bool Loaded(int folder) const;
  // Loads whatever must hold the node first; nullptr when it cannot exist.
  QTreeWidgetItem* Reveal(const Database& db, const QString& key);

  // Shows records again in the nodes they have, when each kept its folder
  // (a sort of a folder's records); false, changing nothing, when a node
  // would have to come, go or move.
  bool UpdateRecordNodes(const Database& db, const std::vector<int>& records);
  // Brings the loaded nodes of the given records and folders in step with
  // the model: each comes, goes, moves or shows its entry again, wherever
  // the model's change put it. Nodes above the counts go too.
  void Follow(const Database& db, const std::vector<int>& records, const std::vector<int>& folders);
  // Folder nodes drawn apart (those leading to the quick filter's matches),
  // now and as they are made; empty: none.
  void HighlightFolders(std::vector<char> folders);

 private:
  // A node under the parent's node, when that is loaded.
  void AddFolderNode(const Database& db, int folder);
  void AddRecordNode(const Database& db, int record);
  void UpdateFolderNode(const Database& db, int folder);
  void RemoveNode(const QString& key);
  QTreeWidgetItem* MakeRecordItem(const Database& db, int record);
  // The node a folder's entry belongs under: the invisible root for a
  // top-level folder, nullptr when its parent is not loaded.
  QTreeWidgetItem* ParentNodeOf(const Database& db, int folder) const;
  void FollowFolder(const Database& db, int folder);
  void FollowRecord(const Database& db, int record);
  // The title, form icon and mark of record on its node.
  void ShowRecordOn(QTreeWidgetItem* item, const Database& db, int record);
  QTreeWidgetItem* MakeFolderItem(const Database& db, int folder, bool hasContents);
  void Register(QTreeWidgetItem* item, const QString& key);
  // Forgets the keys of the node's loaded descendants.
  void ForgetDescendants(QTreeWidgetItem* item);
  void ShowHighlight(QTreeWidgetItem* item, int folder) const;

  QTreeWidget& tree_;
  IconFor iconFor_;
  NodeTable nodes_;
  std::vector<char> highlighted_;
};

}  // namespace orbo
