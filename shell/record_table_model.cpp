#include "shell/record_table_model.h"

#include <QFont>
#include <algorithm>
#include <unordered_map>

#include "shell/contents_model.h"
#include "shell/node_data.h"
#include "shell/sorted_rows.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// The form most records listed have; the first of them on a tie.
int LargestShare(const std::vector<FormShare>& forms) {
  const auto largest =
      std::max_element(forms.begin(), forms.end(),
                       [](const FormShare& a, const FormShare& b) { return a.count < b.count; });
  return largest == forms.end() ? -1 : largest->form;
}

bool Lists(const std::vector<FormShare>& forms, int form) {
  return std::any_of(forms.begin(), forms.end(),
                     [form](const FormShare& share) { return share.form == form; });
}

}  // namespace

RecordTableModel::RecordTableModel(const Database& db, const ContentsModel& contents)
    : db_(db), contents_(contents) {
  // A new folder listed is a reset of the list; a change followed ends with
  // every row read anew.
  connect(&contents_, &QAbstractItemModel::modelReset, this, [this] { Relist(); });
  connect(&contents_, &QAbstractItemModel::dataChanged, this, [this] { Follow(); });
}

void RecordTableModel::SetForm(int form) {
  if (form == form_ || !Lists(forms_, form)) return;
  form_ = form;
  sortColumn_ = -1;
  Relist();
}

void RecordTableModel::SortBy(int column, bool ascending) {
  if (column >= static_cast<int>(columns_.size())) column = -1;
  sortColumn_ = column;
  ascending_ = ascending;
  std::vector<int> stored = rows_;
  std::sort(stored.begin(), stored.end());
  Reorder(Ordered(std::move(stored)));
}

void RecordTableModel::sort(int column, Qt::SortOrder order) {
  SortBy(column, order == Qt::AscendingOrder);
}

void RecordTableModel::Relist() {
  beginResetModel();
  forms_ = FormsAmong(db_, contents_.Records());
  if (!Lists(forms_, form_)) {
    form_ = LargestShare(forms_);
    sortColumn_ = -1;
  }
  columns_ = form_ >= 0 ? TableColumns(db_.Forms[At(form_)]) : std::vector<ElementRef>();
  rows_ =
      form_ >= 0 ? Ordered(RecordsWithForm(db_, contents_.Records(), form_)) : std::vector<int>();
  endResetModel();
  emit formsChanged();
}

void RecordTableModel::Follow() {
  std::vector<FormShare> forms = FormsAmong(db_, contents_.Records());
  // The form went, or its elements changed: the columns are made anew.
  if (!Lists(forms, form_) || form_ >= db_.FormCount ||
      TableColumns(db_.Forms[At(form_)]) != columns_) {
    Relist();
    return;
  }
  const bool otherForms = forms != forms_;
  forms_ = std::move(forms);
  std::vector<int> wanted = RecordsWithForm(db_, contents_.Records(), form_);
  if (sortColumn_ < 0) {
    RemoveRowsNotIn(
        rows_, wanted, 0, [this](int first, int last) { beginRemoveRows({}, first, last); },
        [this](int, int) { endRemoveRows(); });
    InsertRowsOf(
        rows_, wanted, 0, [this](int first, int last) { beginInsertRows({}, first, last); },
        [this](int, int) { endInsertRows(); });
  } else {
    std::vector<int> stored = rows_;
    std::sort(stored.begin(), stored.end());
    if (stored != wanted) {
      // Records came or went under an order of the view: the rows are made
      // anew in it.
      beginResetModel();
      rows_ = Ordered(std::move(wanted));
      endResetModel();
    } else {
      // A changed value may move its row.
      Reorder(Ordered(std::move(wanted)));
    }
  }
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  emit headerDataChanged(Qt::Horizontal, 0, std::max(columnCount() - 1, 0));
  if (otherForms) emit formsChanged();
}

std::vector<int> RecordTableModel::Ordered(std::vector<int> records) const {
  if (sortColumn_ < 0) return records;
  return TableOrder(db_, records, columns_[At(sortColumn_)], ascending_);
}

void RecordTableModel::Reorder(std::vector<int> rows) {
  if (rows == rows_) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::unordered_map<int, int> rowOf;
  rowOf.reserve(rows.size());
  for (std::size_t row = 0; row < rows.size(); ++row) rowOf[rows[row]] = static_cast<int>(row);
  const QModelIndexList held = persistentIndexList();
  QModelIndexList moved;
  moved.reserve(held.size());
  for (const QModelIndex& index : held)
    moved << this->index(rowOf.at(rows_[At(index.row())]), index.column());
  rows_ = std::move(rows);
  changePersistentIndexList(held, moved);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const int record = rows_[At(index.row())];
  // A table left behind by a change it was not told of shows nothing wrong.
  if (record >= db_.RecordCount) return {};
  const ElementRef& element = columns_[At(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return element.type == kFlag ? QVariant() : CellText(db_, record, element);
    case Qt::CheckStateRole:
      if (element.type != kFlag) return {};
      return db_.Records[At(record)].FlagValue[At(element.slot)] ? Qt::Checked : Qt::Unchecked;
    case Qt::FontRole:
      return db_.RecordMarks[At(record)] ? QVariant(BoldFont()) : QVariant();
    case kRecordRole:
      return record;
    default:
      return {};
  }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount() || form_ >= db_.FormCount) return {};
  const ElementRef& element = columns_[At(section)];
  return db_.Forms[At(form_)].Elements[At(element.type)][At(element.slot)].Name;
}

}  // namespace orbo
