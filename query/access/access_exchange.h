// MS Access exchange: the import dialog and its run (one undo step), the
// export dialog and the export, over an Access engine that tests may
// replace.
#pragma once

#include <QString>
#include <memory>

#include "query/access/tables/access_engine.h"

namespace orbo {

class ExportDialog;
class ImportDialog;
class Navigator;
class RecordSurface;
struct WindowContext;

class AccessExchange {
 public:
  // Connects mnuImAccess and mnuExAccess of the main window.
  AccessExchange(WindowContext& context, Navigator& navigator, RecordSurface& surface);
  ~AccessExchange();

  // mnuImAccess: ImForm, modally.
  void OpenImport();
  // DBButt of ImForm: the file dialog, then the file's tables.
  void ChooseImportFile();
  // mnuExAccess: ExAccForm, the file dialog, then the file.
  void Export();
  // The import of the dialog's table into new records.
  void Import();
  void SetEngine(std::unique_ptr<AccessEngine> engine);
  // Another database is shown: the file chosen for the one before is not
  // offered to it.
  void ForgetFiles();
  ImportDialog& Importing();
  ExportDialog& Exporting();

 private:
  // Reads every row first: a table that breaks off midway adds nothing.
  bool ReadRows(std::vector<QStringList>* rows);
  void AddRecords(const std::vector<QStringList>& rows);

  WindowContext& context_;
  Navigator& navigator_;
  RecordSurface& surface_;
  std::unique_ptr<AccessEngine> engine_;
  std::unique_ptr<ImportDialog> importDialog_;
  std::unique_ptr<ExportDialog> exportDialog_;
  QString lastFile_;  // the last Access file chosen, imported or exported
};

}  // namespace orbo
