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

  void AddFolderNode(const Database& db, int folder);
  void AddRecordNode(const Database& db, int record);
  // Fills a folder node whose contents are not loaded yet.
  void Populate(const Database& db, int folder);
  bool Loaded(int folder) const;
  // Fills a loaded folder node again, after its contents changed places.
  void Refill(const Database& db, int folder);
  // Loads whatever must hold the node first; nullptr when it cannot exist.
  QTreeWidgetItem* Reveal(const Database& db, const QString& key);

  void UpdateRecordText(const Database& db, int record);
  // Shows records again in the nodes they have, when each kept its folder
  // (a sort of a folder's records); false, changing nothing, when a node
  // would have to come, go or move: the tree must be refilled then.
  bool UpdateRecordNodes(const Database& db, const std::vector<int>& records);
  void UpdateFolderNode(const Database& db, int folder);
  // Folder nodes drawn apart (those leading to the quick filter's matches),
  // now and as they are made; empty: none.
  void HighlightFolders(std::vector<char> folders);
  void ShowMark(const Database& db, int record);
  void RemoveNode(const QString& key);
  // Drops a record node's key and hands the node over, still in the tree
  // (nullptr when it is not loaded); deleting it removes it.
  QTreeWidgetItem* TakeNode(const QString& key) { return nodes_.Take(ParseKey(key)); }
  // Gives the node of one key another key.
  void Rekey(const QString& from, const QString& to);

 private:
  QTreeWidgetItem* MakeRecordItem(const Database& db, int record);
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
