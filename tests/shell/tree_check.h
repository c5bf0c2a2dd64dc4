// Whether the folder tree model lists what the database holds.
#pragma once

#include <QFont>
#include <QStringList>
#include <vector>

#include "shell/folder_tree_model.h"
#include "shell/node_keys.h"
#include "storage/database_model.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

namespace orbo::test {

// Every row of the tree is what the database holds there: under the top
// level and each folder its sub-folders, then its records, each with its
// title and mark, its parent, and found under its key. Empty when the tree
// shows the database.
inline QString TreeDifference(const Database& db, const FolderTreeModel& tree) {
  std::vector<QModelIndex> pending{QModelIndex()};
  while (!pending.empty()) {
    const QModelIndex parent = pending.back();
    pending.pop_back();
    const int folder =
        parent.isValid() ? ParseKey(FolderTreeModel::KeyOf(parent)).index : TopLevelParent;
    QStringList expected;
    for (int sub : SubfoldersOf(db, folder)) expected << FolderKey(sub);
    if (folder != TopLevelParent)
      for (int r : RecordsOf(db, folder)) expected << RecordKey(r);
    QStringList shown;
    for (int row = 0; row < tree.rowCount(parent); ++row) {
      const QModelIndex at = tree.index(row, 0, parent);
      const QString key = FolderTreeModel::KeyOf(at);
      shown << key;
      if (tree.parent(at) != parent) return key + " is under the wrong parent";
      if (tree.IndexOfKey(key) != at) return key + " is not found under its key";
      const NodeKey node = ParseKey(key);
      const bool record = node.kind == u"item";
      if (node.index >= (record ? db.RecordCount : db.FolderCount))
        return key + " shows nothing the database holds";
      const QString title = ShortenName(
          record ? RecordTitleLine(db, node.index) : db.Folders[node.index].Name, db.MaxListString);
      if (at.data().toString() != title)
        return key + " shows " + at.data().toString() + " instead of " + title;
      if (record && at.data(Qt::FontRole).value<QFont>().bold() != db.RecordMarks[node.index])
        return key + " shows its mark wrong";
      if (!record) pending.push_back(at);
    }
    if (shown != expected)
      return (folder == TopLevelParent ? QStringLiteral("the top level") : FolderKey(folder)) +
             " lists " + shown.join(' ') + " instead of " + expected.join(' ');
  }
  return {};
}

}  // namespace orbo::test
