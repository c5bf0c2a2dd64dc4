#include "shell/contents_model.h"

#include <QFont>

#include "shell/folder_tree.h"
#include "storage/database_model.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

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

bool ContentsModel::FollowRecords(const std::vector<int>& records) {
  if (folder_ < 0 || folder_ >= db_.FolderCount || filtered_ || records_ != RecordsOf(db_, folder_))
    return false;
  if (records.empty() || records_.empty()) return true;
  // The view asks again for the rows it shows; the others are read when
  // they scroll in.
  const int first = upRows_ + static_cast<int>(siblings_.size()) + 1;
  emit dataChanged(index(first), index(first + static_cast<int>(records_.size()) - 1));
  return true;
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
      return RecordData(row.index, role);
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

QVariant ContentsModel::RecordData(int record, int role) const {
  if (record < 0 || record >= db_.RecordCount) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ShortenName(RecordTitleLine(db_, record), db_.MaxListString);
    case Qt::DecorationRole: {
      const int form = db_.Records[record].Form;
      return form >= 0 && form < db_.FormCount ? iconFor_(db_.Forms[form].Icon) : QVariant();
    }
    case Qt::FontRole: {
      if (!db_.RecordMarks[record]) return {};
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    case kKeyRole:
      return RecordKey(record);
    default:
      return {};
  }
}

}  // namespace orbo
