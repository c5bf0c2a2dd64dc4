#include "query/csv/csv_exchange.h"

#include <QDir>
#include <QFileInfo>

#include "query/csv/csv_export.h"
#include "query/csv/csv_export_dialog.h"
#include "query/csv/csv_texts.h"
#include "shell/unencrypted_export.h"
#include "shell/window_context.h"
#include "storage/data_path.h"

namespace orbo {

CsvExchange::CsvExchange(WindowContext& context) : context_(context) {
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Menu("mnuExCsv"), [this] { Export(); });
}

CsvExchange::~CsvExchange() = default;

CsvExportDialog& CsvExchange::Exporting() {
  if (!exportDialog_)
    exportDialog_ = std::make_unique<CsvExportDialog>(context_, &context_.services.DialogParent());
  return *exportDialog_;
}

void CsvExchange::Export() {
  CsvExportDialog& dialog = Exporting();
  dialog.Prepare();
  if (context_.dialogs.RunModal(dialog) != QDialog::Accepted) return;
  const LanguageTexts& t = context_.texts;
  const std::vector<CsvFile> files = ExportToCsv(context_.db, dialog.Scope(), dialog.Options());
  if (files.empty()) {
    context_.services.ShowMessage(t.Get(csv_texts::kNothingToWrite), kExclamation);
    return;
  }
  const QString folder = context_.dialogs.ExistingFolder(
      &context_.services.DialogParent(), t.Get(csv_texts::kChooseFolderTitle),
      FileDialogStart(context_.db.DatabasePath, lastFile_));
  if (folder.isEmpty()) return;
  if (!MayExportUnencrypted(context_, csv_texts::kFilesUnencrypted)) return;
  lastFile_ = QDir(folder).filePath(files.front().name);
  QStringList existing;
  for (const CsvFile& file : files) {
    if (QFileInfo::exists(QDir(folder).filePath(file.name))) existing << file.name;
  }
  if (!existing.isEmpty() &&
      context_.services.ShowMessage(t.Get(csv_texts::kReplaceFiles) + u'\n' + existing.join(u'\n'),
                                    kYesNo.NoByDefault()) != kAnswerYes) {
    return;
  }
  const CsvWritten written = WriteCsvFiles(folder, files);
  if (!written.error.isEmpty()) {
    context_.services.ShowMessage(t.Get(csv_texts::kNotWritten).arg(written.error), kExclamation);
    return;
  }
  QStringList names;
  for (const CsvFile& file : files) names << file.name;
  context_.services.ShowMessage(t.Get(csv_texts::kWrittenTo).arg(QDir::toNativeSeparators(folder)) +
                                    u'\n' + names.join(u'\n'),
                                kOkOnly);
}

}  // namespace orbo
