// SortForm: what to sort, in which folder, in which direction. The sort
// itself is the Sorter's.
#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace orbo {

struct WindowContext;

class SortDialog : public QDialog {
  Q_OBJECT

 public:
  SortDialog(const WindowContext& context, QWidget* parent);

  // On every opening: records, in the current folder.
  void Prepare();
  // The where list of what is chosen, the current folder selected.
  void FillWhere();
  bool SortsFolders() const;
  // The folder whose records or sub-folders are sorted; -1: the top level.
  int Where() const;
  bool Ascending() const;
  // Shown while a sort runs; the window cannot be closed meanwhile.
  void SetWaiting(bool waiting);

 signals:
  void sortRequested();
  void helpRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  const WindowContext& context_;
  QLabel* sortWhatLabel_;
  QLabel* sortWhereLabel_;
  QLabel* sortDirectionLabel_;
  QComboBox* whatCombo_;
  QComboBox* whereCombo_;
  QComboBox* dirCombo_;
  QPushButton* sortButton_;
  QPushButton* cancelButton_;
  QPushButton* helpButton_;
  QFrame* waitFrame_;
  QLabel* waitLabel_;
};

}  // namespace orbo
