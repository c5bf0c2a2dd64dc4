// FindForm: what to find and where. It keeps every choice while hidden, so
// Find next repeats the last search; the search itself is the Finder's.
#pragma once

#include <QDialog>

#include "storage/find_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace orbo {

struct WindowContext;

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  FindDialog(const WindowContext& context, QWidget* parent);

  // The form list and the type list afresh, after the forms may have changed.
  void ResetLists();
  // On every opening: the result log's greeting and the folder list.
  void Prepare();
  // The search the controls describe.
  FindSettings Settings() const;
  QTextEdit& ResultText() { return *resultText_; }

 signals:
  void findRequested();
  void markRequested();
  void helpRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ApplyTexts();
  void FormChosen();
  void TypeChosen();

  const WindowContext& context_;
  QLabel* findWhatLabel_;
  QLineEdit* whatText_;
  QComboBox* whatCombo_;
  QGroupBox* optionsFrame_;
  QCheckBox* wholeCheck_;
  QCheckBox* caseCheck_;
  QGroupBox* dirFrame_;
  QRadioButton* upDir_;
  QRadioButton* downDir_;
  QGroupBox* scopeFrame_;
  QLabel* formsLabel_;
  QLabel* fieldTypesLabel_;
  QLabel* fieldsLabel_;
  QLabel* folderLab_;
  QComboBox* formsCombo_;
  QComboBox* fieldsTypeCombo_;
  QComboBox* fieldsCombo_;
  QComboBox* folderCombo_;
  QCheckBox* subDirCheck_;
  QTextEdit* resultText_;
  QPushButton* findButton_;
  QPushButton* markButton_;
  QPushButton* cancelButton_;
  QPushButton* helpButton_;
};

}  // namespace orbo
