// PrinterForm2: chooses the records to print (the shown record, all, the
// open folder's, the marked ones or those of the shown record's form) and
// their order, sets up the printer, opens the preview and prints, one
// record per page, to a printer or a PDF file.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "query/print/pages/print_job.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace orbo {

class PrintPreview;
struct WindowContext;

class PrintDialog : public QDialog {
 public:
  explicit PrintDialog(WindowContext& context);
  ~PrintDialog() override;

  // mnuPrint: fills the dialog and shows it, modal.
  void Open();
  // An entry of PrintCombo chosen: builds the print list from that set.
  void ChooseSet(int set);
  // The print list in print order.
  const std::vector<int>& Order() const { return order_; }
  QPrinter& Printer() { return *printer_; }
  PrintPreview& Preview();

 private:
  // Each activation rebuilds the sets, except the one after the preview.
  void Activate();
  void Reorder();
  void ShowPreview();
  void SetUpPrinter();
  void Print();
  // Where the pages go: pdfPath empty for the chosen printer, else the PDF
  // file, asked for when no printer is chosen. False when the user cancelled.
  bool ChooseTarget(QString& pdfPath);
  void Retitle(int page);
  // Prints the list with a progress bar that takes all input meanwhile.
  JobEnd RunJob(const QString& pdfPath, QString& error);

  WindowContext& context_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<PrintPreview> preview_;
  double screenTwipsPerPixel_;
  std::vector<int> list_;
  std::vector<int> order_;
  int position_ = 0;
  // The undo merge key of the print positions moved in this session.
  QString stepKey_;
  int sessions_ = 0;
  QString lastPdf_;
  bool keepListOnce_ = false;
  QLabel* sortWhatLabel_;
  QComboBox* printCombo_;
  QPlainTextEdit* printText_;
  QCheckBox* reverseCheck_;
  QPushButton* setupButton_;
  QPushButton* previewButton_;
  QPushButton* printButton_;
  QPushButton* cancelButton_;
  QPushButton* helpButton_;
};

}  // namespace orbo
