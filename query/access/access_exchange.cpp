#include "query/access/access_exchange.h"

#include <QFileInfo>
#include <algorithm>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "query/access/access_folder.h"
#include "query/access/export_dialog.h"
#include "query/access/import_dialog.h"
#include "query/access/tables/access_export.h"
#include "query/access/tables/access_import.h"
#include "query/print/pages/print_job.h"
#include "shell/folder_tree.h"
#include "shell/main_commands.h"
#include "shell/navigator.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

constexpr int kProgressEnd = 200;
constexpr int kRowsPerProgressStep = 20;

}  // namespace

AccessExchange::AccessExchange(App& app) : app_(app), engine_(MakeAccessEngine()) {
  MainCommands& c = app_.Window().Commands();
  c.OnTriggered(c.Menu("mnuImAccess"), [this] { OpenImport(); });
  c.OnTriggered(c.Menu("mnuExAccess"), [this] { Export(); });
}

AccessExchange::~AccessExchange() = default;

void AccessExchange::SetEngine(std::unique_ptr<AccessEngine> engine) {
  importDialog_.reset();
  engine_ = std::move(engine);
}

ImportDialog& AccessExchange::Importing() {
  if (!importDialog_) {
    importDialog_ = std::make_unique<ImportDialog>(app_, *engine_, &app_.Window());
    // The dialog's buttons act inside the command that opened it.
    QObject::connect(importDialog_.get(), &ImportDialog::fileRequested, importDialog_.get(),
                     [this] { ChooseImportFile(); });
    QObject::connect(importDialog_.get(), &ImportDialog::importRequested, importDialog_.get(),
                     [this] { Import(); });
    QObject::connect(importDialog_.get(), &ImportDialog::helpRequested, importDialog_.get(),
                     [this] { app_.ShowHelp(19); });
  }
  return *importDialog_;
}

ExportDialog& AccessExchange::Exporting() {
  if (!exportDialog_) exportDialog_ = std::make_unique<ExportDialog>(app_, &app_.Window());
  return *exportDialog_;
}

void AccessExchange::OpenImport() {
  Importing().Prepare();
  app_.Seams().RunModal(Importing());
}

void AccessExchange::ChooseImportFile() {
  const QString path =
      app_.Seams().OpenFileName(&Importing(), app_.texts.Get(960, 6), app_.texts.Get(342, 0),
                                AccessStartFolder(app_.db.DatabasePath, lastFile_));
  if (path.isEmpty()) return;
  lastFile_ = path;
  Importing().OpenFile(path);
}

void AccessExchange::Import() {
  ImportDialog& dialog = Importing();
  if (!dialog.Source() || dialog.Table() < 0 || !IsFolderIndex(app_.db, dialog.Folder()) ||
      dialog.Form() < 0 || dialog.Form() >= app_.db.FormCount) {
    return;
  }
  dialog.SetWaiting(true);
  std::vector<QStringList> rows;
  if (ReadRows(&rows)) AddRecords(rows);
  dialog.SetWaiting(false);
}

bool AccessExchange::ReadRows(std::vector<QStringList>* rows) {
  ImportDialog& dialog = Importing();
  AccessSource& source = *dialog.Source();
  QStringList columns;
  qint64 count = 0;
  const int capacity = ImportCapacity(app_.db);
  const auto tooMany = [&] {
    app_.ShowMessage(
        app_.texts.Get(800, 0) + u' ' + QString::number(capacity) + u' ' + app_.texts.Get(810, 0),
        kOkOnly);
    return false;
  };
  if (!source.OpenTable(dialog.Table(), &columns, &count)) {
    app_.ShowMessage(app_.texts.Get(900, 0), kOkOnly);
    return false;
  }
  if (count > capacity) return tooMany();
  QStringList row;
  while (source.NextRow(&row)) {
    // A file may hold more rows than its table says.
    if (static_cast<qint64>(rows->size()) >= capacity) return tooMany();
    rows->push_back(row);
  }
  if (source.Failed()) {
    app_.ShowMessage(app_.texts.Get(900, 0), kOkOnly);
    return false;
  }
  return true;
}

void AccessExchange::AddRecords(const std::vector<QStringList>& rows) {
  ImportDialog& dialog = Importing();
  Database& db = app_.db;
  const int folder = dialog.Folder();
  const int total = static_cast<int>(rows.size());
  // The slots one AddRecord after another would take, found in one pass:
  // row by row, each search would cost a walk over the whole table.
  std::vector<int> places = ChooseRecordSlots(db, folder, total);
  const auto grown = static_cast<int>(std::count(places.begin(), places.end(), -1));
  const int firstNew = db.RecordCount;
  if (grown > 0) SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount + grown));
  int cut = 0;
  for (int i = 0, next = firstNew; i < total; ++i) {
    int& slot = places[static_cast<size_t>(i)];
    if (slot < 0) slot = next++;
    NewRecord(db, slot);
    db.Records[static_cast<size_t>(slot)].Folder = static_cast<std::int16_t>(folder);
    db.Records[static_cast<size_t>(slot)].Form = static_cast<std::int16_t>(dialog.Form());
    cut += StoreImportedRow(db, slot, dialog.Map(), rows[static_cast<size_t>(i)]);
    if ((i + 1) % kRowsPerProgressStep == 0)
      app_.ShowProgress((i + 1) * 100 / total, app_.texts.Get(830, 0));
  }
  RecountBuffers(db);
  if (!places.empty()) app_.state.CurRecord = places.back();
  app_.Tree().Refill(db, folder);
  app_.ShowProgress(kProgressEnd, QString());
  app_.Canvas().DrawForm(app_.state.CurForm);
  app_.Navigation().ShowRecord(app_.state.CurRecord);
  app_.SetModified(true);
  if (cut > 0) app_.ShowMessage(app_.texts.Get(972, 0).arg(cut), kExclamation);
}

void AccessExchange::Export() {
  ExportDialog& dialog = Exporting();
  dialog.Prepare();
  if (app_.Seams().RunModal(dialog) != QDialog::Accepted) return;
  QString path =
      app_.Seams().SaveFileName(&app_.Window(), app_.texts.Get(960, 7), app_.texts.Get(342, 0),
                                AccessStartFolder(app_.db.DatabasePath, lastFile_));
  if (path.isEmpty()) return;
  lastFile_ = path;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".mdb");
  if (IsDatabaseFile(path, app_.db.DatabasePath)) {
    app_.ShowMessage(app_.texts.Get(972, 1), kExclamation);
    return;
  }
  const QString text = app_.texts.Get(831, 0);
  std::unique_ptr<AccessTarget> target = engine_->CreateDatabase(path);
  ExportToAccess(app_.db, dialog.Scope(), *target,
                 [&](int percent) { app_.ShowProgress(percent, text); });
  jet4::Error error;
  const bool written = target->Close(&error);
  app_.ShowProgress(kProgressEnd, QString());
  if (!written) {
    app_.ShowMessage(app_.texts.Get(910, 0) + QStringLiteral(" N: ") +
                         QString::number(error.number) + u'\n' + error.text,
                     kExclamation);
  }
}

}  // namespace orbo
