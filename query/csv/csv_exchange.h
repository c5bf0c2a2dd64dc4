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
  QString lastFile_;  // a file the last export wrote: the next one starts beside it
};

}  // namespace orbo
