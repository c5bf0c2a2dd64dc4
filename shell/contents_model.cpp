#include "shell/contents_model.h"

#include "shell/node_keys.h"
#include "shell/sorted_rows.h"
#include "storage/database_model.h"
#include "storage/navigation_logic.h"

namespace orbo {

ContentsModel::ContentsModel(const Database& db, IconFor iconFor)
    : db_(db), iconFor_(std::move(iconFor)) {}

void ContentsModel::ShowFolder(int folder, const std::vector<int>* matches) {
  beginResetModel();
  folder_ = folder;
  filtered_ = matches != nullptr;
  const int parent = db_.Folders[folder].Parent;
  upRows_ = parent != TopLevelParent ? 1 : 0;
  siblings_ = SubfoldersOf(db_, parent);
  records_ = matches ? *matches : RecordsOf(db_, folder);
  subfolders_ = matches ? std::vector<int>() : SubfoldersOf(db_, folder);
  endResetModel();
}

void ContentsModel::Clear() {
  if (folder_ < 0) return;
  beginResetModel();
  folder_ = -1;
  filtered_ = false;
  upRows_ = 0;
  siblings_.clear();
  records_.clear();
  subfolders_.clear();
  endResetModel();
}

int ContentsModel::FolderRow() const {
  for (std::size_t i = 0; i < siblings_.size(); ++i)
    if (siblings_[i] == folder_) return upRows_ + static_cast<int>(i);
  return -1;
}

bool ContentsModel::Follow(const std::vector<int>* matches) {
  if (folder_ < 0 || folder_ >= db_.FolderCount) return false;
  const int parent = db_.Folders[folder_].Parent;
  const int upRows = parent != TopLevelParent ? 1 : 0;
  if (upRows < upRows_) {
    beginRemoveRows({}, 0, 0);
    upRows_ = upRows;
    endRemoveRows();
  } else if (upRows > upRows_) {
    beginInsertRows({}, 0, 0);
    upRows_ = upRows;
    endInsertRows();
  }
  filtered_ = matches != nullptr;
  FollowPart(siblings_, SubfoldersOf(db_, parent), upRows_);
  const int recordsFrom = upRows_ + static_cast<int>(siblings_.size()) + 1;
  FollowPart(records_, matches ? *matches : RecordsOf(db_, folder_), recordsFrom);
  FollowPart(subfolders_, matches ? std::vector<int>() : SubfoldersOf(db_, folder_),
             recordsFrom + static_cast<int>(records_.size()));
  // The view asks again for the rows it shows; the others are read when
  // they scroll in.
  emit dataChanged(index(0), index(rowCount() - 1));
  return true;
}

void ContentsModel::FollowPart(std::vector<int>& shown, const std::vector<int>& wanted,
                               int offset) {
  RemoveRowsNotIn(
      shown, wanted, offset, [this](int first, int last) { beginRemoveRows({}, first, last); },
      [this](int, int) { endRemoveRows(); });
  InsertRowsOf(
      shown, wanted, offset, [this](int first, int last) { beginInsertRows({}, first, last); },
      [this](int, int) { endInsertRows(); });
}

int ContentsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || folder_ < 0) return 0;
  return upRows_ + static_cast<int>(siblings_.size() + 1 + records_.size() + subfolders_.size());
}

ContentsModel::Row ContentsModel::RowAt(int row) const {
  if (row < upRows_) return {Kind::kUp, db_.Folders[folder_].Parent};
  std::size_t at = static_cast<std::size_t>(row - upRows_);
  if (at < siblings_.size()) return {Kind::kSibling, siblings_[at]};
  at -= siblings_.size();
  if (at == 0) return {Kind::kSeparator, -1};
  at -= 1;
  if (at < records_.size()) return {Kind::kRecord, records_[at]};
  return {Kind::kSubfolder, subfolders_[at - records_.size()]};
}

QVariant ContentsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || folder_ >= db_.FolderCount) return {};
  const Row row = RowAt(index.row());
  switch (row.kind) {
    case Kind::kSeparator:
      if (role == Qt::DisplayRole) return QStringLiteral("* * *");
      if (role == kKeyRole) return QStringLiteral("xxxx0");
      return {};
    case Kind::kRecord:
      return RecordNodeData(db_, iconFor_, row.index, role);
    default:
      return FolderData(row.index, row.kind, role);
  }
}

QVariant ContentsModel::FolderData(int folder, Kind kind, int role) const {
  // A list left behind by a change it was not told of shows nothing wrong.
  if (folder < 0 || folder >= db_.FolderCount) return {};
  const FolderDef& def = db_.Folders[folder];
  switch (role) {
    case Qt::DisplayRole:
      return kind == Kind::kUp ? QStringLiteral("..") : def.Name;
    case Qt::DecorationRole:
      // Among the siblings only the folder listed shows its icon.
      if (kind == Kind::kSubfolder || (kind == Kind::kSibling && folder == folder_))
        return iconFor_(def.Icon);
      return {};
    case kKeyRole:
      return FolderKey(folder);
    default:
      return {};
  }
}

}  // namespace orbo
