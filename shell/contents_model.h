// The contents list of a folder as a model over the database: "..", the
// folder among its siblings, a separator, its records (or the quick
// filter's matches below it) and its sub-folders. The list keeps the
// indices of what it shows; titles, icons and marks are read from the
// database when the view asks, so a folder of 32000 records lists without
// one title being made. A change is followed row by row: what went is
// removed, what came is inserted, the rest stays where the user scrolled.
#pragma once

#include <QAbstractListModel>
#include <vector>

#include "shell/node_data.h"

namespace orbo {

struct Database;

class ContentsModel : public QAbstractListModel {
 public:
  // The node key of a row: "root" & n for a folder, "item" & n for a
  // record, "xxxx0" for the separator.
  static constexpr int kKeyRole = kNodeKeyRole;

  ContentsModel(const Database& db, IconFor iconFor);

  // Lists folder; with matches, those records in place of its own and no
  // sub-folders (their matches are among them).
  void ShowFolder(int folder, const std::vector<int>* matches = nullptr);
  // Lists nothing: a list not shown is not kept in step.
  void Clear();
  // The folder listed, -1 for none.
  int Folder() const { return folder_; }
  // The row of the folder among its siblings.
  int FolderRow() const;
  // The records listed (the quick filter's matches, filtered), in order.
  const std::vector<int>& Records() const { return records_; }

  // Follows a change of the database while the same folder is listed (with
  // matches, the filter's matches now): rows that went are removed, those
  // that came inserted, and every row shown reads anew. False, changing
  // nothing, when the folder is gone.
  bool Follow(const std::vector<int>* matches = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  enum class Kind { kUp, kSibling, kSeparator, kRecord, kSubfolder };
  struct Row {
    Kind kind;
    int index;  // the folder or record; -1 for the separator
  };
  Row RowAt(int row) const;
  // Brings one part of the list to wanted; its rows start at offset.
  void FollowPart(std::vector<int>& shown, const std::vector<int>& wanted, int offset);
  QVariant FolderData(int folder, Kind kind, int role) const;

  const Database& db_;
  IconFor iconFor_;
  int folder_ = -1;
  bool filtered_ = false;
  int upRows_ = 0;
  std::vector<int> siblings_;
  std::vector<int> records_;
  std::vector<int> subfolders_;
};

}  // namespace orbo
