// ImForm: an Access file, one of its tables, and which column goes into
// which field of new records of a form in a folder. The run itself is the
// AccessExchange's.
#pragma once

#include <QDialog>
#include <memory>

#include "query/access/tables/record_import.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace orbo {

class ReadingChoice;
struct WindowContext;

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  ImportDialog(const WindowContext& context, AccessEngine& engine, QWidget* parent);
  ~ImportDialog() override;

  // On every opening: the folder and form lists of the database as it is.
  void Prepare();
  // The open file, its table list and the first table; 900/0 when the file
  // cannot be read.
  void OpenFile(const QString& path);
  void ChooseTable(int index);

  // The open file, positioned on nothing; nullptr before a file is chosen.
  AccessSource* Source() { return source_.get(); }
  int Table() const { return table_; }
  int Folder() const;
  int Form() const;
  // The form, folder, map and, when chosen, the folder column.
  ImportPlan Plan() const;
  // Shown while an import runs; the window cannot be closed meanwhile.
  void SetWaiting(bool waiting);

 signals:
  void fileRequested();  // DBButt
  void importRequested();
  void helpRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FillTargets();
  void ShowColumnTarget();
  // Each column with the field it goes into, in the column list.
  void ShowMappedColumns();
  void TakeMap(const ColumnMap& map);
  void ShowSource(bool shown);
  // The open file's reading, and its first table or why it gives none.
  void ShowReading();
  // The first rows of the open table as the import will read them.
  void ShowPreview(const QStringList& columns);

  const WindowContext& context_;
  AccessEngine& engine_;
  std::unique_ptr<AccessSource> source_;
  int table_ = -1;
  ColumnMap map_;
  QPushButton* sourceFileButton_;
  QLineEdit* sourceFileEdit_;
  QComboBox* tablesCombo_;
  QCheckBox* firstRowCheck_;
  QLabel* tableInfoLabel_;
  ReadingChoice* readingChoice_;
  QLabel* previewLabel_;
  QTableWidget* previewTable_;
  QLabel* tableLabel_;
  QGroupBox* columnFrame_;
  QComboBox* fieldsCombo_;
  QComboBox* elementsCombo_;
  QComboBox* formsCombo_;
  QComboBox* whereCombo_;
  QCheckBox* foldersFromFileCheck_;
  QPushButton* importButton_;
  QPushButton* mapByNameButton_;
  QPushButton* mapInOrderButton_;
  QStringList columns_;  // the open table's, as the file names them
  QFrame* waitFrame_;
  QPushButton* cancelButton_;
  QPushButton* helpButton_;
};

}  // namespace orbo
