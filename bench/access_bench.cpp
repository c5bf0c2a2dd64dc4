// The export of the largest database to an Access file and to CSV files, the
// import of such a table back into new records through the window with its
// undo and redo, and the import of the same rows from a CSV file.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <functional>

#include "bench_app.h"
#include "bench_timing.h"
#include "query/access/access_exchange.h"
#include "query/access/import_dialog.h"
#include "query/access/tables/access_export.h"
#include "query/csv/csv_export.h"
#include "query/csv/csv_source.h"
#include "shell/file_commands.h"
#include "storage/navigation_logic.h"

using namespace orbo;

namespace {

// count records of the first form in folder 0, a title and a note each.
void FillRecords(Database& db, int count) {
  SetCount(db, kRecordsKind, static_cast<std::int16_t>(count));
  for (int i = 0; i < count; ++i) {
    NewRecord(db, i);
    RecordData& record = db.Records[static_cast<std::size_t>(i)];
    record.TextValue[0] = QStringLiteral("Name %1").arg(i);
    record.MemoValue[0] =
        QStringLiteral("A note on record %1, long enough to be a note.\r\nSecond line.").arg(i);
  }
  RecountBuffers(db);
}

double Export(const Database& db, const QString& path) {
  return Ms([&] {
    std::unique_ptr<AccessTarget> target = MakeAccessEngine()->CreateDatabase(path);
    ExportToAccess(db, {}, *target, [](int) {});
    jet4::Error error;
    if (!target->Close(&error)) qFatal("%s", qPrintable(error.text));
  });
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  BenchApp bench;
  if (!bench.Start(900, 700)) return 1;
  App& app = bench.app;
  QTemporaryDir dir;
  const QString full = dir.filePath("full.mdb");
  const QString room = dir.filePath("room.mdb");

  FillRecords(app.db, kMaxRecords);
  std::printf("Access exchange, %d records of a title and a note\n", kMaxRecords);
  Row("export of every record (tables, then the file)", Export(app.db, full));
  std::printf("  file size %lld kB\n", QFileInfo(full).size() / 1024);
  QStringList csvFiles;
  Row("CSV export of every record (rows, then the file)",
      Ms([&] { csvFiles = WriteCsvFiles(dir.path(), ExportToCsv(app.db, {}, {})).paths; }));
  std::printf("  CSV file size %lld kB\n", QFileInfo(csvFiles.value(0)).size() / 1024);
  // The import needs room: a database keeps at least one record.
  FillRecords(app.db, kMaxRecords - 1);
  Export(app.db, room);

  FillRecords(app.db, 1);
  app.Storage().ShowDatabase();
  ImportDialog& dialog = app.Parts().Access().Importing();
  dialog.Prepare();
  dialog.OpenFile(room);
  dialog.findChild<QComboBox*>("FieldsCombo")->setCurrentIndex(1);
  emit dialog.findChild<QComboBox*>("ElsCombo")->activated(1);
  Row("import of 31999 rows into new records, tree included",
      Ms([&] { app.Parts().Access().Import(); }));
  Row("undo of the import", Ms([&] { app.Funnel().Undo(); }));
  Row("redo of the import", Ms([&] { app.Funnel().Redo(); }));
  if (app.db.RecordCount != kMaxRecords ||
      app.db.Records[kMaxRecords - 1].TextValue[0] != "Name 31998") {
    std::printf("  the import did not add the rows\n");
    return 1;
  }

  // The same rows from a CSV file, through the engine the window uses.
  FillRecords(app.db, kMaxRecords - 1);
  QDir(dir.path()).mkdir("csv");
  const QString csv =
      WriteCsvFiles(dir.filePath("csv"), ExportToCsv(app.db, {}, {})).paths.value(0);
  FillRecords(app.db, 1);
  app.Storage().ShowDatabase();
  app.Parts().Access().SetEngine(MakeExchangeEngine([] { return QStringLiteral("windows-1252"); }));
  ImportDialog& csvDialog = app.Parts().Access().Importing();
  csvDialog.Prepare();
  Row("CSV: read 31999 rows (open in the import dialog)", Ms([&] { csvDialog.OpenFile(csv); }));
  csvDialog.findChild<QComboBox*>("FieldsCombo")->setCurrentIndex(1);
  emit csvDialog.findChild<QComboBox*>("ElsCombo")->activated(1);
  Row("CSV: import of 31999 rows into new records", Ms([&] { app.Parts().Access().Import(); }));
  app.Funnel().Undo();
  csvDialog.findChild<QCheckBox*>("FoldersFromFileCheck")->setChecked(true);
  Row("CSV: the same, each into the folder its row names",
      Ms([&] { app.Parts().Access().Import(); }));
  if (app.db.RecordCount != kMaxRecords ||
      app.db.Records[kMaxRecords - 1].TextValue[0] != "Name 31998") {
    std::printf("  the CSV import did not add the rows\n");
    return 1;
  }
  return 0;
}
