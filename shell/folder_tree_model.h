// The folder tree as a model over the database: under each folder its
// sub-folders ascending, then its records ascending. The model keeps only
// the indices it lists, one int per record; names, titles, icons and marks
// are read from the database when the view asks. A change is followed by
// comparing what is listed with what the database holds now, so rows come
// and go as the finest inserts and removals, whatever the step says it
// touched; expanded folders stay expanded.
#pragma once

#include <QAbstractItemModel>
#include <vector>

#include "shell/node_data.h"

namespace orbo {

struct Database;

class FolderTreeModel : public QAbstractItemModel {
 public:
  // The node key ("root" & n, "item" & n) of a row.
  static constexpr int kKeyRole = kNodeKeyRole;

  FolderTreeModel(const Database& db, IconFor iconFor);

  // Lists nothing until Refresh: the database it listed was replaced.
  void Clear();
  // Lists the database: at once after Clear, else as a change of every
  // entry (rows kept where they stay, so are the folders opened).
  void Refresh();
  // Follows a change of the database. records and folders name the entries
  // whose names, titles, icons or marks may read differently; with complete
  // false, every entry may.
  void Follow(const std::vector<int>& records, const std::vector<int>& folders, bool complete);
  // Folders drawn apart (those leading to the quick filter's matches);
  // empty: none.
  void HighlightFolders(std::vector<char> folders);

  QModelIndex FolderIndex(int folder) const;
  QModelIndex RecordIndex(int record) const;
  // The row of a node key; invalid when the tree does not list it.
  QModelIndex IndexOfKey(const QString& key) const;
  static QString KeyOf(const QModelIndex& index) { return index.data(kKeyRole).toString(); }

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override;

 private:
  // The rows under one parent: slot 0 is the top level, slot f + 1 folder f.
  struct Children {
    std::vector<int> folders;
    std::vector<int> records;
    int size() const { return static_cast<int>(folders.size() + records.size()); }
  };
  enum : quintptr { kFolderNode = 0, kRecordNode = 1 };

  std::vector<Children> Wanted() const;
  // Brings what is listed to wanted: removals first, then insertions, each
  // as the runs of neighbouring rows, parents before their children.
  void RemoveUnwanted(const std::vector<Children>& wanted);
  void InsertWanted(std::vector<Children>& wanted);
  // The rows of a folder no longer listed are forgotten with it; a folder
  // listed anew brings what it holds as wanted.
  void Forget(int folder);
  void Adopt(int folder, std::vector<Children>& wanted);
  void SignalChanged(const std::vector<int>& records, const std::vector<int>& folders,
                     bool complete);
  QModelIndex SlotIndex(int slot) const;
  int FolderRow(int folder) const;
  int RecordRow(int record) const;
  QVariant FolderData(int folder, int role) const;

  const Database& db_;
  IconFor iconFor_;
  bool listing_ = false;
  std::vector<Children> listed_;
  // The slot each folder and record is listed in, -1 for none.
  std::vector<int> folderSlot_;
  std::vector<int> recordSlot_;
  std::vector<char> highlighted_;
};

}  // namespace orbo
