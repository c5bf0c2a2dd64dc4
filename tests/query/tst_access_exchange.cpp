// MS Access import and export: the tables an export makes, the column map,
// the import dialog and its run over a fake engine, and a round trip
// through a real file read back by libmdb; CSV files through the window.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QtTest>

#include "../storage/sample_databases.h"
#include "../test_files.h"
#include "../test_install.h"
#include "access_fakes.h"
#include "app/main_window.h"
#include "forms/designer/mode_switch.h"
#include "query/access/access_exchange.h"
#include "query/access/export_dialog.h"
#include "query/access/import_dialog.h"
#include "query/access/jet4/jet4_writer.h"
#include "query/access/tables/access_export.h"
#include "query/access/tables/access_import.h"
#include "query/access/tables/access_mdb_source.h"
#include "query/access/tables/access_values.h"
#include "query/csv/csv_export.h"
#include "shell/file_commands.h"
#include "shell/navigator.h"
#include "storage/code_page.h"
#include "storage/database_file.h"

using namespace orbo;
using orbo::test::FiledRecords;
using orbo::test::WithoutRecords;

namespace {

// The app shows FullFormDatabase: form 0 with 16 elements of every type,
// five records over forms 0 and 1 and folders 0 to 2.
struct Fixture : RunningApp {
  Database& db = app.db;
  FakeEngine* engine = nullptr;

  explicit Fixture(bool fakeEngine = true) {
    db = test::FullFormDatabase();
    app.Storage().ShowDatabase();
    app.Parts().Modes().ToDatabaseMode();
    if (fakeEngine) {
      auto fake = std::make_unique<FakeEngine>();
      engine = fake.get();
      app.Parts().Access().SetEngine(std::move(fake));
    }
    dialogs.onModal = [](QDialog&) { return int(QDialog::Accepted); };
    dialogs.messages.clear();
  }
  ImportDialog& Import() { return app.Parts().Access().Importing(); }
  template <typename Widget>
  Widget* In(const char* name) {
    return Import().findChild<Widget*>(name);
  }
  // Opens path in the import dialog as DBButt would.
  void Open(const QString& path) {
    Import().Prepare();
    dialogs.openPath = path;
    In<QPushButton>("DBButt")->click();
  }
  // Chooses target n (0: not imported) for column, as the user would.
  void Map(int column, int target) {
    In<QComboBox>("FieldsCombo")->setCurrentIndex(column);
    In<QComboBox>("ElsCombo")->setCurrentIndex(target);
    emit In<QComboBox>("ElsCombo")->activated(target);
  }
  // Runs the import and gives the records it added.
  std::vector<int> ImportAdded() {
    const Database before = db;
    In<QPushButton>("ImportButt")->click();
    std::vector<int> added;
    for (int r = 0; r < db.RecordCount; ++r)
      if (db.Records[r].Folder != BufferFolder &&
          (r >= before.RecordCount || before.Records[r].Folder == BufferFolder))
        added.push_back(r);
    return added;
  }
};

FakeTable Table(const QString& name, int columns, int rows) {
  FakeTable t{name, {}, {}};
  for (int c = 0; c < columns; ++c) t.columns << QStringLiteral("c%1").arg(c);
  for (int r = 0; r < rows; ++r) {
    QStringList row;
    for (int c = 0; c < columns; ++c) row << QStringLiteral("r%1c%2").arg(r).arg(c);
    t.rows.push_back(row);
  }
  return t;
}

}  // namespace

class AccessExchangeTest : public QObject {
  Q_OBJECT

 private slots:
  // Only forms with records in scope get a table, its first column the
  // folder; empty texts go out as one blank.
  void exportMakesOneTablePerFormInScope() {
    Database db = test::FullFormDatabase();
    db.Records[2].TextValue[3] = QString();
    db.Forms[0].Elements[kButton][12].Name = QString(70, 'N');
    std::vector<jet4::Table> written;
    // Folder 1 and the folder below it hold records 1 (form 1), 2 and 4
    // (form 0); the scopes themselves are the CSV export's.
    FakeTarget below(written);
    ExportToAccess(db, {1, true}, below, [](int) {});
    QCOMPARE(written.size(), size_t(2));
    QCOMPARE(written[0].rows.size(), size_t(2));
    const jet4::Table& form0 = written[0];
    // A name over Jet's 64 characters keeps its suffix.
    QCOMPARE(form0.columns[1 + 2 * 16 + 12].name, QString(57, 'N') + " ID:312");
    QCOMPARE(form0.rows[0][0].text, db.Folders[2].Name);
    QCOMPARE(form0.rows[0][1 + 16 + 3].text, QString(" "));
    QCOMPARE(form0.rows[0][1 + 4 * 16 + 1].flag, db.Records[2].FlagValue[1]);
  }

  // The dialog over a table of 200 columns: only the first 129 can be
  // mapped; the run, one step, adds one record per row with the mapped
  // values and cuts what a limited field cannot hold.
  void importMapsAtMost129Columns() {
    Fixture f;
    FakeTable wide = Table("Wide", 200, 3);
    wide.rows[1][128] = QString(40, 'x');
    f.engine->files["a.mdb"] = {Table("Empty", 2, 0), wide};
    f.db.Forms[0].TextLimit[0] = 10;  // multiline slot 0 is target 33
    f.Open("a.mdb");
    emit f.In<QComboBox>("TablesCombo")->activated(1);
    f.Map(0, 1);
    f.Map(5, 17);
    f.Map(128, 33);
    f.Map(2, 1);  // takes target 1 from column 0
    f.In<QComboBox>("FieldsCombo")->setCurrentIndex(150);
    QVERIFY(!f.In<QComboBox>("ElsCombo")->isEnabled());
    f.In<QComboBox>("WhereCombo")->setCurrentIndex(2);
    const StepStack& stack = f.app.Funnel().Stack();
    const int steps = stack.Count();
    const std::vector<int> added = f.ImportAdded();
    QCOMPARE(stack.Count(), steps + 1);
    QCOMPARE(added.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
      const RecordData& r = f.db.Records[added[i]];
      QCOMPARE(r.Folder, 2);
      QCOMPARE(r.TextValue[0], QString("r%1c2").arg(i));
      QCOMPARE(r.ButtonValue[0], QString("r%1c5").arg(i));
      QCOMPARE(r.MemoValue[0], i == 1 ? QString(10, 'x') : QString("r%1c128").arg(i));
    }
  }

  // Two imports in one opening of the dialog, into two folders: redoing the
  // first shows its record in its own folder (it once showed it outside).
  void twoImportsInOneOpeningRedoApart() {
    Fixture f;
    f.engine->files["a.mdb"] = {Table("T", 1, 2)};
    const StepStack& stack = f.app.Funnel().Stack();
    const int steps = stack.Count();
    f.app.Funnel().Run([&f] {
      f.Open("a.mdb");
      f.Map(0, 1);
      for (int folder : {2, 1}) {
        f.In<QComboBox>("WhereCombo")->setCurrentIndex(folder);
        f.In<QPushButton>("ImportButt")->click();
      }
    });
    QCOMPARE(stack.Count(), steps + 2);
    f.app.Funnel().Undo();
    f.app.Funnel().Undo();
    f.app.Funnel().Redo();
    QCOMPARE(f.db.Records[f.app.state.CurRecord].Folder, f.app.state.CurFolder);
    QCOMPARE(f.app.state.CurFolder, 2);
  }

  // A table that breaks off midway and one larger than the room left: a
  // message each, and no record added.
  void failedImportsAddNothing() {
    Fixture f;
    FakeTable broken = Table("Broken", 3, 50);
    broken.breaksAfter = 30;
    f.engine->files["b.mdb"] = {broken, Table("Big", 1, 32000)};
    f.Open("b.mdb");
    f.Map(0, 1);
    const int count = f.db.RecordCount;
    f.In<QPushButton>("ImportButt")->click();
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(900, 0));
    emit f.In<QComboBox>("TablesCombo")->activated(1);
    f.In<QPushButton>("ImportButt")->click();
    const int room = kMaxRecords - count;
    QCOMPARE(f.dialogs.messages.last(),
             f.app.texts.Get(800, 0) + " " + QString::number(room) + " " + f.app.texts.Get(810, 0));
    QCOMPARE(f.db.RecordCount, count);
  }

  // The export through the window: a failed write says so with its number;
  // a file named like the database is refused before anything is written.
  void exportFailuresAreReported() {
    Fixture f;
    f.engine->failWrites = true;
    f.dialogs.savePath = "out";
    f.Trigger("mnuExAccess");
    QVERIFY(f.dialogs.messages.value(0).startsWith(f.app.texts.Get(910, 0) +
                                                   " N: " + QString::number(jet4::kCannotCreate)));
    f.install.Write("db.2db", "x");
    f.db.DatabasePath = f.install.Path("db.2db");
    f.dialogs.savePath = f.db.DatabasePath;
    f.engine->written.clear();
    f.Trigger("mnuExAccess");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(972, 1));
    QVERIFY(f.engine->written.empty());
  }

  // Export to a real Access file, import the table back through libmdb,
  // mapped by name: the values come back equal, non-ASCII text and a
  // 30000-character memo included.
  void roundTripThroughARealFile() {
    Fixture f(false);
    f.db.Forms[0].TextLimit = {};
    RecordData& first = f.db.Records[0];
    first.MemoValue[0] = QString(30000, QChar(0x0416));
    first.TextValue[0] = QString::fromUtf8("Gr\u00fc\u00dfe \u20ac \u0416; \"quoted\"\r\n  next");
    QTemporaryDir dir;
    const QString path = dir.filePath("export.mdb");
    f.dialogs.savePath = path;
    ExportDialog& exporting = f.app.Parts().Access().Exporting();
    exporting.Prepare();
    exporting.findChild<QComboBox*>("FolderCombo")->setCurrentIndex(0);  // all folders
    f.Trigger("mnuExAccess");
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.join('\n')));
    std::vector<int> exported;
    for (int r = 0; r < f.db.RecordCount; ++r)
      if (f.db.Records[r].Form == 0) exported.push_back(r);
    f.Open(path);
    f.In<QPushButton>("MapByNameButt")->click();
    const std::vector<int> added = f.ImportAdded();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.join('\n')));
    QCOMPARE(added.size(), exported.size());
    for (size_t i = 0; i < added.size(); ++i) {
      const RecordData& in = f.db.Records[added[i]];
      const RecordData& out = f.db.Records[exported[i]];
      for (int k = 0; k < 16; ++k) {
        QCOMPARE(in.TextValue[k], out.TextValue[k]);
        QCOMPARE(in.ButtonValue[k], out.ButtonValue[k]);
        QCOMPARE(in.MemoValue[k], out.MemoValue[k]);
      }
    }
  }

  // A CSV file's first row is data when the user says so; a file that
  // cannot be read says so under its own title, with the row and column
  // and how to mend it.
  void csvFilesInTheImportDialog() {
    Fixture f(false);
    QTemporaryDir dir;
    const QString bad = dir.filePath("quotes.csv");
    QVERIFY(WriteBytes(bad, "a,b\r\nc,d\"e\"\r\n"));
    f.Open(bad);
    QCOMPARE(f.In<QLabel>("InfLab")->text(),
             "The CSV file cannot be opened.\nA quote inside an unquoted field at row 2, column 2. "
             "Enclose the field in quotes and double each quote inside it.");
    QVERIFY(!f.In<QGroupBox>("Frame2")->isVisibleTo(&f.Import()));
    QCOMPARE(f.dialogs.messages, QStringList());
    // UTF-16 of Cyrillic letters without a byte order mark reads as NUL
    // bytes until the user names its encoding.
    const QString utf16 = dir.filePath("utf16.csv");
    QVERIFY(WriteBytes(
        utf16, QStringEncoder(QStringEncoder::Utf16LE).encode(QStringLiteral("Имя\r\nЖанна\r\n"))));
    f.Open(utf16);
    QVERIFY(f.In<QLabel>("InfLab")->text().contains("NUL"));
    auto* encoding = f.In<QComboBox>("EncodingCombo");
    encoding->setCurrentIndex(encoding->findText("UTF-16LE"));
    emit encoding->activated(encoding->currentIndex());
    QCOMPARE(f.In<QTableWidget>("PreviewTable")->item(0, 0)->text(), QStringLiteral("Жанна"));
    // A file that cannot be read at all is told in a message.
    f.Open(dir.filePath("missing.csv"));
    QVERIFY(f.dialogs.messages.last().startsWith("The CSV file cannot be opened.\r"));
    const QString good = dir.filePath("people.csv");
    QVERIFY(WriteBytes(good, "Name;Age\r\nAnn;30\r\n"));
    f.Open(good);
    f.In<QCheckBox>("FirstRowCheck")->setChecked(false);
    f.Map(0, 1);
    const std::vector<int> added = f.ImportAdded();
    QCOMPARE(added.size(), size_t(2));
    QCOMPARE(f.db.Records[added[0]].TextValue[0], QString("Name"));
  }

  // Exported to CSV and imported through the dialog into the same forms
  // without records, "Map by name" and the folders the file names, every
  // record comes back; one Undo takes the records and the folders away.
  void csvRoundTripThroughTheWindow_data() {
    QTest::addColumn<Database>("source");
    QTest::newRow("every element") << test::FullFormDatabase();
    CodePage codePage;
    const ReadOutcome example = ReadDatabaseFile(
        QStringLiteral(ORBO_BIN_DIR "/data/examples/ex1.2db"), codePage, QString());
    QVERIFY2(example.status == ReadOutcome::kLoaded, qPrintable(example.error));
    QTest::newRow("example") << example.db;
    QTest::newRow("random") << test::RandomEveryKindDatabase(11, 1000);
  }

  void csvRoundTripThroughTheWindow() {
    QFETCH(Database, source);
    Fixture f(false);
    f.db = WithoutRecords(source);
    f.app.Storage().ShowDatabase();
    const Database empty = f.db;
    QTemporaryDir dir;
    Database beforeLast;
    for (int form = 0; form < source.FormCount; ++form) {
      CsvOptions options;
      options.form = form;
      for (const CsvFile& file : ExportToCsv(source, {}, options)) {
        QVERIFY(WriteBytes(dir.filePath(file.name), file.bytes));
        f.Open(dir.filePath(file.name));
        f.In<QComboBox>("FormsCombo")->setCurrentIndex(form);
        f.In<QComboBox>("WhereCombo")->setCurrentIndex(0);
        f.In<QPushButton>("MapByNameButt")->click();
        QCheckBox* folders = f.In<QCheckBox>("FoldersFromFileCheck");
        QVERIFY(folders->isEnabled());
        folders->setChecked(true);
        beforeLast = f.db;
        f.In<QPushButton>("ImportButt")->click();
      }
    }
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(FiledRecords(f.db), FiledRecords(source));
    QVERIFY(f.app.Funnel().Undo());
    QCOMPARE(FiledRecords(f.db), FiledRecords(beforeLast));
    QCOMPARE(f.db.FolderCount, beforeLast.FolderCount);
    while (f.app.Funnel().Undo()) {
    }
    QCOMPARE(f.db.FolderCount, empty.FolderCount);
    QCOMPARE(f.db.RecordCount - f.db.BufferCount, 0);
  }

  // A file's encoding and delimiter as found, changed by the user with the
  // preview following at once; a choice that gives no table says why in the
  // dialog and offers nothing to import.
  void csvReadingChosenInTheDialog() {
    Fixture f(false);
    QTemporaryDir dir;
    const QString path = dir.filePath("people.csv");
    QVERIFY(WriteBytes(path, QStringEncoder("windows-1251")
                                 .encode(QStringLiteral("Имя|Город,\"x\"\r\nИван|Тула,y\r\n"))));
    f.Open(path);
    auto* encoding = f.In<QComboBox>("EncodingCombo");
    auto* delimiter = f.In<QComboBox>("DelimiterCombo");
    auto* table = f.In<QTableWidget>("PreviewTable");
    QVERIFY(encoding->isVisibleTo(&f.Import()));
    QCOMPARE(encoding->currentText(), f.db.CodePageName);
    QCOMPARE(delimiter->currentIndex(), 0);
    const auto choose = [](QComboBox* combo, int index) {
      combo->setCurrentIndex(index);
      emit combo->activated(index);
    };
    choose(encoding, encoding->findText("windows-1251"));
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Иван|Тула"));
    // With | the first row's quote stands inside a field.
    delimiter->setCurrentIndex(3);
    auto* other = f.In<QLineEdit>("DelimiterEdit");
    other->setText("|");
    emit other->textEdited("|");
    QVERIFY(!f.Import().Source()->Problem().isEmpty());
    QVERIFY(f.In<QLabel>("InfLab")->text().contains("row 1, column 2"));
    QCOMPARE(delimiter->currentIndex(), 3);
    QVERIFY(!f.In<QGroupBox>("Frame2")->isVisibleTo(&f.Import()));
    QCOMPARE(table->rowCount(), 0);
    choose(delimiter, 0);
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Имя|Город"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("y"));
    QVERIFY(f.In<QGroupBox>("Frame2")->isVisibleTo(&f.Import()));
    QCOMPARE(f.dialogs.messages, QStringList());
  }

  // Nothing of one database is offered to the next: after a load or a new
  // database the import dialog has no file and the quick filter is empty.
  void anotherDatabaseStartsAfresh() {
    Fixture f(false);
    QTemporaryDir dir;
    const QString csv = dir.filePath("people.csv");
    QVERIFY(WriteBytes(csv, "Name;Age\r\nAnn;30\r\n"));
    const QString saved = dir.filePath("saved.2db");
    f.dialogs.savePath = saved;
    QVERIFY(SaveDatabaseAs(f.db, f.app.Storage()));
    for (const bool load : {true, false}) {
      f.Open(csv);
      QVERIFY(f.Import().Source());
      QLineEdit& filter = Child<QLineEdit>(f.app.Parts().Window(), "QuickFilterText");
      filter.setText("Ann");
      QTRY_COMPARE(f.app.Parts().Navigation().Filter().text, QString("Ann"));
      if (load) {
        LoadDatabase(f.db, saved, f.app.Storage());
      } else {
        f.Trigger("mnuNew");
      }
      QVERIFY(!f.Import().Source());
      QCOMPARE(filter.text(), QString());
      QCOMPARE(f.app.Parts().Navigation().Filter().text, QString());
    }
  }

  // File › Export to CSV Files: the dialog's choices reach the bytes, and
  // files already there are replaced only when the user says so.
  void csvExportAsksBeforeReplacing() {
    RunningApp r;
    r.app.db.Records[0].TextValue[0] = "=1+1";
    QTemporaryDir out;
    r.dialogs.folderPath = out.path();
    const QString name = r.app.db.Forms[0].Name + ".csv";
    const auto bytes = [&] { return ReadBytes(out.filePath(name)); };
    const auto exportWith = [&](int delimiter, QList<MessageAnswer> answers, bool quote = true) {
      r.dialogs.answers = std::move(answers);
      r.dialogs.messages.clear();
      r.RunDialog(r.app.Parts().Window().Commands().Menu("mnuExCsv"),
                  [delimiter, quote](QDialog& dialog) {
                    Child<QComboBox>(dialog, "DelimiterCombo").setCurrentIndex(delimiter);
                    Child<QCheckBox>(dialog, "BomCheck").setChecked(false);
                    Child<QCheckBox>(dialog, "FormulasCheck").setChecked(quote);
                  });
    };
    exportWith(1, {});
    QVERIFY2(bytes().startsWith("Root;") && bytes().contains(";'=1+1;"), bytes());
    // The question offers No first; No leaves the file as it was.
    exportWith(0, {kAnswerNo});
    QVERIFY2(r.dialogs.messages.value(0).endsWith("?\n" + name),
             qPrintable(r.dialogs.messages.value(0)));
    QVERIFY(bytes().startsWith("Root;"));
    exportWith(0, {kAnswerYes}, false);
    QVERIFY2(bytes().startsWith("Root,") && bytes().contains(",=1+1,"), bytes());
    QVERIFY(!r.app.db.Modified);
  }

  // A table with Date/Time, Currency and Yes/No columns written by our Jet 4
  // writer and read through libmdb: dates over the whole range Access
  // allows (0100-01-01 to 9999-12-31, with and without a time), amounts
  // without the zeros of their scale, True and False.
  void typedValuesReadAsAccessShowsThem() {
    jet4::Table table;
    table.name = QStringLiteral("Typed");
    table.columns = {{QStringLiteral("When"), jet4::ColumnType::DateTime},
                     {QStringLiteral("Price"), jet4::ColumnType::Currency},
                     {QStringLiteral("Done"), jet4::ColumnType::Boolean}};
    std::vector<QStringList> expected;
    auto add = [&](std::optional<double> when, const QString& date, std::optional<double> price,
                   const QString& amount, bool done) {
      table.rows.push_back(
          {{QString(), false, when}, {QString(), false, price}, {QString(), done}});
      expected.push_back({date, amount, done ? QStringLiteral("True") : QStringLiteral("False")});
    };
    add(-1.25, "1899-12-29 06:00:00", 0.0001, "0.0001", false);
    add(-657434, "0100-01-01", 0, "0", true);
    add(2958465 + 86399 / 86400.0, "9999-12-31 23:59:59", 123456789.1234, "123456789.1234", true);
    add(0.5, "1899-12-30 12:00:00", -12345678901.2345, "-12345678901.2345", false);
    add(std::nullopt, "", std::nullopt, "", false);
    QTemporaryDir dir;
    const QString path = dir.filePath("typed.mdb");
    jet4::Error error;
    QVERIFY2(jet4::WriteDatabase(path, {table}, &error), qPrintable(error.text));
    std::unique_ptr<AccessSource> source = OpenMdbSource(path);
    QVERIFY(source);
    QStringList columns;
    qint64 count = 0;
    QVERIFY(source->OpenTable(0, &columns, &count));
    QStringList row;
    for (const QStringList& want : expected) {
      QVERIFY(source->NextRow(&row));
      QCOMPARE(row, want);
    }
    QVERIFY(!source->NextRow(&row) && !source->Failed());
  }

  // Numbers no real date has come out as numbers; a time that rounds to the
  // next second past midnight moves the day on; only decimals lose zeros.
  void valueTextEdges() {
    QCOMPARE(AccessDateText(-657435), QString("-657435"));
    QCOMPARE(AccessDateText(2958466), QString("2958466"));
    QCOMPARE(AccessDateText(std::nan("")), QString("nan"));
    QCOMPARE(AccessDateText(1.9999999999), QString("1900-01-01"));
    QCOMPARE(AccessDateText(-1.9999999999), QString("1899-12-30"));
    QCOMPARE(WithoutTrailingZeros("-3.000"), QString("-3"));
    QCOMPARE(WithoutTrailingZeros("100"), QString("100"));
    QCOMPARE(WithoutTrailingZeros("0.0100"), QString("0.01"));
  }

  // A file whose table has no page map (found by fuzzing) reads or reports
  // itself failed.
  void fileWithoutAPageMapIsRefusedOrRead() {
    std::unique_ptr<AccessSource> source =
        OpenMdbSource(QStringLiteral(ORBO_SOURCE_DIR "/tests/data/access/no-page-map.mdb"));
    for (int t = 0; source && t < source->TableNames().size(); ++t) {
      QStringList columns;
      qint64 rows = 0;
      if (!source->OpenTable(t, &columns, &rows)) continue;
      QStringList row;
      for (int read = 0; read < 100000 && source->NextRow(&row); ++read) {
      }
    }
  }
};

QTEST_MAIN(AccessExchangeTest)
#include "tst_access_exchange.moc"
