// The records the contents list shows, as a table of one form at a time:
// a row per record, a column per element that holds a value, the title
// first. The model keeps the records' indices only and reads each cell from
// the database when the view asks, so a folder of 32000 records shows
// without one value being made. It follows the contents list; a click on a
// column orders the rows by it without changing anything stored.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "storage/record_table.h"

namespace orbo {

class ContentsModel;
struct Database;

class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The role that carries a row's record index.
  static constexpr int kRecordRole = Qt::UserRole + 1;

  RecordTableModel(const Database& db, const ContentsModel& contents);

  // The forms among the records listed, with their counts.
  const std::vector<FormShare>& Forms() const { return forms_; }
  // The form whose records are rows, -1 for none.
  int Form() const { return form_; }
  void SetForm(int form);
  // Orders the rows by column; -1: the order they are stored in.
  void SortBy(int column, bool ascending);
  int SortColumn() const { return sortColumn_; }
  // The records shown, in the order of the rows.
  const std::vector<int>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 signals:
  // The forms among the records listed, or the form shown, changed.
  void formsChanged();

 private:
  // Lists the contents list's records of the form anew.
  void Relist();
  // Follows a change of the database while the same records are listed:
  // rows that went are removed, those that came inserted, every cell reads
  // anew.
  void Follow();
  std::vector<int> Ordered(std::vector<int> records) const;
  // Puts the rows in order, keeping what views hold on their records.
  void Reorder(std::vector<int> rows);

  const Database& db_;
  const ContentsModel& contents_;
  int form_ = -1;
  std::vector<FormShare> forms_;
  std::vector<ElementRef> columns_;
  std::vector<int> rows_;
  int sortColumn_ = -1;
  bool ascending_ = true;
};

}  // namespace orbo
