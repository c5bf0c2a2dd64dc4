// File › Export to CSV Files: the dialog, the folder, then the files.
#pragma once

#include <QString>
#include <memory>

namespace orbo {

class CsvExportDialog;
struct WindowContext;

class CsvExchange {
 public:
  // Connects mnuExCsv of the main window.
  explicit CsvExchange(WindowContext& context);
  ~CsvExchange();

  void Export();
  CsvExportDialog& Exporting();

 private:
  WindowContext& context_;
  std::unique_ptr<CsvExportDialog> exportDialog_;
  QString lastFolder_;  // where the last export went
};

}  // namespace orbo
