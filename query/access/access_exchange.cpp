#include "query/access/access_exchange.h"

#include <QFileInfo>
#include <algorithm>

#include "query/access/access_texts.h"
#include "query/access/export_dialog.h"
#include "query/access/import_dialog.h"
#include "query/access/tables/access_export.h"
#include "query/access/tables/access_import.h"
#include "query/access/tables/record_import.h"
#include "shell/help_pages.h"
#include "shell/navigator.h"
#include "shell/record_surface.h"
#include "shell/unencrypted_export.h"
#include "shell/window_context.h"
#include "storage/data_path.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

constexpr int kRowsPerProgressStep = 20;
constexpr int kProgressEnd = 200;

}  // namespace

AccessExchange::AccessExchange(WindowContext& context, Navigator& navigator, RecordSurface& surface)
    : context_(context), navigator_(navigator), surface_(surface), engine_(MakeAccessEngine()) {
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Menu("mnuImAccess"), [this] { OpenImport(); });
  c.OnTriggered(c.Menu("mnuExAccess"), [this] { Export(); });
}

AccessExchange::~AccessExchange() = default;

void AccessExchange::SetEngine(std::unique_ptr<AccessEngine> engine) {
  importDialog_.reset();
  engine_ = std::move(engine);
}

void AccessExchange::ForgetFiles() {
  importDialog_.reset();
  lastFile_.clear();
}

ImportDialog& AccessExchange::Importing() {
  if (!importDialog_) {
    importDialog_ =
        std::make_unique<ImportDialog>(context_, *engine_, &context_.services.DialogParent());
    // The dialog's buttons act inside the command that opened it.
    QObject::connect(importDialog_.get(), &ImportDialog::fileRequested, importDialog_.get(),
                     [this] { ChooseImportFile(); });
    QObject::connect(importDialog_.get(), &ImportDialog::importRequested, importDialog_.get(),
                     [this] { Import(); });
    QObject::connect(importDialog_.get(), &ImportDialog::helpRequested, importDialog_.get(),
                     [this] { context_.services.ShowHelp(help_topics::kExchange); });
  }
  return *importDialog_;
}

ExportDialog& AccessExchange::Exporting() {
  if (!exportDialog_)
    exportDialog_ = std::make_unique<ExportDialog>(context_, &context_.services.DialogParent());
  return *exportDialog_;
}

void AccessExchange::OpenImport() {
  Importing().Prepare();
  context_.dialogs.RunModal(Importing());
}

void AccessExchange::ChooseImportFile() {
  const QString path = context_.dialogs.OpenFileName(
      &Importing(), context_.texts.Get(access_texts::kOpenAccessTitle),
      context_.texts.Get(access_texts::kTablesFilter) + u'|' +
          context_.texts.Get(access_texts::kAccessFilter) + u'|' +
          context_.texts.Get(access_texts::kCsvFilter),
      FileDialogStart(context_.db.DatabasePath, lastFile_));
  if (path.isEmpty()) return;
  lastFile_ = path;
  Importing().OpenFile(path);
}

void AccessExchange::Import() {
  ImportDialog& dialog = Importing();
  if (!dialog.Source() || dialog.Table() < 0 || !IsFolderIndex(context_.db, dialog.Folder()) ||
      dialog.Form() < 0 || dialog.Form() >= context_.db.FormCount) {
    return;
  }
  dialog.SetWaiting(true);
  std::vector<QStringList> rows;
  if (ReadRows(&rows)) AddRecords(rows);
  dialog.SetWaiting(false);
}

bool AccessExchange::ReadRows(std::vector<QStringList>* rows) {
  ImportDialog& dialog = Importing();
  const LanguageTexts& t = context_.texts;
  const int capacity = ImportCapacity(context_.db);
  QStringList columns;
  switch (ReadTableRows(*dialog.Source(), dialog.Table(), capacity, &columns, rows)) {
    case TableRows::kRead:
      return true;
    case TableRows::kTooMany:
      context_.services.ShowMessage(t.Get(access_texts::kTooManyRowsStart) + u' ' +
                                        QString::number(capacity) + u' ' +
                                        t.Get(access_texts::kTooManyRowsEnd),
                                    kOkOnly);
      return false;
    default:
      context_.services.ShowMessage(t.Get(access_texts::kAccessFileNotOpened), kOkOnly);
      return false;
  }
}

void AccessExchange::AddRecords(const std::vector<QStringList>& rows) {
  Database& db = context_.db;
  const ImportPlan plan = Importing().Plan();
  const ImportLayout layout = LayOutImport(db, plan, rows);
  const LanguageTexts& t = context_.texts;
  const int total = static_cast<int>(rows.size());
  ImportTally tally;
  context_.funnel.Change(t.Get(access_texts::kImportStep), layout.Scope(), [&] {
    tally = RunImport(db, plan, layout, rows, [&](int done) {
      if (done % kRowsPerProgressStep == 0)
        context_.services.ShowProgress(done * 100 / total, t.Get(access_texts::kImportingRecords));
    });
    if (!layout.places.empty()) context_.state.CurRecord = layout.places.back();
  });
  context_.services.ShowProgress(kProgressEnd, QString());
  surface_.DrawForm(context_.state.CurForm);
  navigator_.ShowRecord(context_.state.CurRecord);
  QStringList told;
  const std::pair<int, TextId> counts[] = {{tally.cut, access_texts::kValuesCut},
                                           {tally.unknownChoices, access_texts::kUnknownChoices},
                                           {tally.unknownFlags, access_texts::kUnknownFlags},
                                           {tally.unplaced, access_texts::kUnplacedRecords}};
  for (const auto& [count, text] : counts) {
    if (count > 0) told << t.Count(text, count);
  }
  if (!told.isEmpty()) context_.services.ShowMessage(told.join(u'\n'), kExclamation);
}

void AccessExchange::Export() {
  ExportDialog& dialog = Exporting();
  dialog.Prepare();
  if (context_.dialogs.RunModal(dialog) != QDialog::Accepted) return;
  QString path = context_.dialogs.SaveFileName(
      &context_.services.DialogParent(), context_.texts.Get(access_texts::kExportAccessTitle),
      context_.texts.Get(access_texts::kAccessFilter),
      FileDialogStart(context_.db.DatabasePath, lastFile_));
  if (path.isEmpty()) return;
  lastFile_ = path;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".mdb");
  if (IsDatabaseFile(path, context_.db.DatabasePath)) {
    context_.services.ShowMessage(context_.texts.Get(access_texts::kAccessFileOverDatabase),
                                  kExclamation);
    return;
  }
  if (!MayExportUnencrypted(context_, access_texts::kFileUnencrypted)) return;
  const QString text = context_.texts.Get(access_texts::kExportingRecords);
  std::unique_ptr<AccessTarget> target = engine_->CreateDatabase(path);
  ExportToAccess(context_.db, dialog.Scope(), *target,
                 [&](int percent) { context_.services.ShowProgress(percent, text); });
  jet4::Error error;
  const bool written = target->Close(&error);
  context_.services.ShowProgress(kProgressEnd, QString());
  if (!written) {
    context_.services.ShowMessage(context_.texts.Get(access_texts::kExportFailed) +
                                      QStringLiteral(" N: ") + QString::number(error.number) +
                                      u'\n' + error.text,
                                  kExclamation);
  }
}

}  // namespace orbo
