// CSV files: the bytes of a small export, a round trip of hostile values
// through libcsv's strict reader, file names, scopes, writing whole; reading
// encodings, delimiters and hostile files; the import's view of a file.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include "../storage/sample_databases.h"
#include "../test_files.h"
#include "query/csv/csv_export.h"
#include "query/csv/csv_reader.h"
#include "query/csv/csv_source.h"
#include "query/csv/formula_quote.h"
#include "storage/navigation_logic.h"

using namespace orbo;
using namespace orbo::test;

namespace {

Database Small() {
  Database db = ExampleDatabase();
  FormDef& form = db.Forms[0];
  form.Name = QStringLiteral("People");
  form.Elements[kText][0].Name = QStringLiteral("Name");
  form.Elements[kMultiline][0].Name = QStringLiteral("Note");
  form.ElementCount[kFlag] = 1;
  form.Elements[kFlag][0].Name = QStringLiteral("Friend");
  db.Records[0].TextValue[0] = QStringLiteral("He said \"hi\", then left");
  db.Records[0].MemoValue[0] = QStringLiteral("two\r\nlines");
  db.Records[0].FlagValue[0] = true;
  return db;
}

QString RandomValue(QRandomGenerator& random) {
  // In this order: the values of the seed are drawn from it.
  static const QStringList kBreaks{"\r\n", "\n", "\r"};
  static const QStringList kPieces =
      QStringList{",", ";", "\t", "\""} + kBreaks +
      QStringList{" ",       "  lead", "trail ", "\u0416\u0438\u0437\u043d\u044c",
                  "\u20ac",  "plain",  "=1+2",   "\"\"",
                  "a,\"b\"", ""};
  QString value;
  const int pieces = random.bounded(6);
  for (int i = 0; i < pieces; ++i) value += kPieces[random.bounded(kPieces.size())];
  return value;
}

// What a column holds, read from the model, a combo's line split out here.
QString ModelValue(const FormDef& form, const RecordData& record, int type, std::size_t slot) {
  if (type == kImage) return record.ImageValue[slot];
  if (type == kText) return record.TextValue[slot];
  if (type == kButton) return record.ButtonValue[slot];
  if (type == kFlag) return QString::number(record.FlagValue[slot] ? 1 : 0);
  if (type != kCombo) return record.MemoValue[slot];
  const int item = record.ComboValue[slot];
  return item < 0 ? QString() : form.ComboList[slot].split(QStringLiteral("\r\n")).value(item);
}

}  // namespace

class CsvFilesTest : public QObject {
  Q_OBJECT

 private slots:
  // The whole file: the mark, the header, quotes doubled, a line break kept
  // inside its quotes, CR LF after each row.
  void bytesOfASmallFile() {
    const Database db = Small();
    const std::vector<CsvFile> comma = ExportToCsv(db, {}, {});
    QCOMPARE(comma.size(), std::size_t{1});
    QCOMPARE(comma[0].bytes,
             QByteArray("\xEF\xBB\xBFRoot,Name ID:20,Friend ID:50,Note ID:60\r\n"
                        "Simple Folder,\"He said \"\"hi\"\", then left\",1,\"two\r\nlines\"\r\n"));
    CsvOptions words;
    words.flagWords = true;
    QVERIFY(ExportToCsv(db, {}, words)[0].bytes.contains(",true,"));
    // Blanks at a field's edge, which spreadsheets drop from unquoted fields
    // (and the reader keeps), are quoted.
    QCOMPARE(CsvField(QStringLiteral("trail\t"), u','), QString("\"trail\t\""));
  }

  // Every value of every record comes back from libcsv in strict mode,
  // whatever quotes, delimiters, breaks and blanks it holds.
  void hostileValuesReadBack() {
    QRandomGenerator random(0xC5F);
    for (int round = 0; round < 40; ++round) {
      Database db = FullFormDatabase();
      for (int r = 0; r < db.RecordCount; ++r) {
        for (int k = 0; k < kMaxElementsPerType; ++k) {
          db.Records[r].TextValue[k] = RandomValue(random);
          db.Records[r].MemoValue[k] = RandomValue(random);
          db.Records[r].ButtonValue[k] = RandomValue(random);
        }
      }
      db.Folders[1].Name = RandomValue(random);
      const QChar delimiter = QStringLiteral(",;\t")[round % 3];
      CsvOptions options;
      options.delimiter = delimiter;
      const std::vector<CsvFile> files = ExportToCsv(db, {}, options);
      QCOMPARE(files.size(), std::size_t{2});
      const CsvRead read = ReadCsv(files[0].bytes, QStringLiteral("windows-1252"));
      QVERIFY(read.table);
      QCOMPARE(read.reading.delimiter, delimiter);
      const std::vector<QStringList>& rows = read.table->rows;
      // Form 0 holds records 0, 2 and 4.
      QCOMPARE(rows.size(), std::size_t{4});
      const QStringList header = rows[0];
      QCOMPARE(header.size(), 1 + 6 * kMaxElementsPerType);
      int row = 1;
      for (int r = 0; r < db.RecordCount; r += 2, ++row) {
        const RecordData& record = db.Records[r];
        QCOMPARE(rows[row].size(), header.size());
        QCOMPARE(rows[row][0], FolderPath(db, record.Folder));
        for (int c = 1; c < header.size(); ++c) {
          // The suffix " ID:ts" names the element's type and slot.
          const QString code = header[c].section(QStringLiteral(" ID:"), -1);
          const QString written = rows[row][c];
          // A spreadsheet sees no formula.
          QVERIFY(written.isEmpty() || !QStringLiteral("=+-@\t\r").contains(written.front()));
          QCOMPARE(WithoutFormulaQuote(written),
                   ModelValue(db.Forms[0], record, code.left(1).toInt(),
                              static_cast<std::size_t>(code.mid(1).toInt())));
        }
      }
    }
  }

  // A value a spreadsheet would take for a formula is written behind one
  // more apostrophe; the import takes exactly that one away again.
  void formulasAreWrittenAsText_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("a link") << R"(=HYPERLINK("http://x","x"))"
                            << R"('=HYPERLINK("http://x","x"))";
    QTest::newRow("plus") << "+1-@"
                          << "'+1-@";
    QTest::newRow("a negative number") << "-5"
                                       << "'-5";
    QTest::newRow("at") << "@SUM(A1)"
                        << "'@SUM(A1)";
    QTest::newRow("tab") << "\tx"
                         << "'\tx";
    QTest::newRow("CR") << "\rx"
                        << "'\rx";
    QTest::newRow("already quoted") << "'=x"
                                    << "''=x";
    QTest::newRow("quoted twice") << "''@"
                                  << "'''@";
    QTest::newRow("apostrophe of a text") << "'plain"
                                          << "'plain";
    QTest::newRow("apostrophes alone") << "''"
                                       << "''";
    QTest::newRow("inside") << "a=b"
                            << "a=b";
    QTest::newRow("empty") << ""
                           << "";
  }
  void formulasAreWrittenAsText() {
    QFETCH(QString, value);
    QFETCH(QString, written);
    QCOMPARE(FormulaQuoted(value), written);
    QCOMPARE(WithoutFormulaQuote(written), value);
  }

  // The export writes values for spreadsheets unless told to keep them.
  void formulaQuotingIsAnOption() {
    Database db = FullFormDatabase();
    db.Records[0].TextValue[0] = QStringLiteral("=1+1");
    const auto line = [&db](bool quote) {
      CsvOptions options;
      options.quoteFormulas = quote;
      return ReadCsv(ExportToCsv(db, {}, options)[0].bytes, "windows-1252").table->rows[1];
    };
    QVERIFY(line(true).contains("'=1+1"));
    QVERIFY(line(false).contains("=1+1"));
  }

  // A form's name becomes a file name that is safe everywhere and unique;
  // only forms with records in scope give a file.
  void fileNamesAndScopes() {
    Database db = FullFormDatabase();
    db.Forms[0].Name = QStringLiteral("a/b:c");
    QCOMPARE(ExportToCsv(db, {}, {})[0].name, QString("a_b_c.csv"));
    for (const auto& [name, file] :
         {std::pair{"A_B_C", "A_B_C (2).csv"}, {"..", "Form 2.csv"}, {" Spaced  ", "Spaced.csv"}}) {
      db.Forms[1].Name = QString::fromUtf8(name);
      QCOMPARE(ExportToCsv(db, {}, {})[1].name, QString::fromUtf8(file));
    }
    // Records 0..4 lie in folders 0, 1, 2, 0, 1; folder 2 is below 1.
    const auto rowsIn = [&db](ExportScope scope, int form = -1) {
      CsvOptions options;
      options.form = form;
      std::size_t rows = 0;
      for (const CsvFile& file : ExportToCsv(db, scope, options))
        rows += ReadCsv(file.bytes, QStringLiteral("windows-1252")).table->rows.size();
      return rows;
    };
    QCOMPARE(rowsIn({}), std::size_t{5 + 2});
    QCOMPARE(rowsIn({1, true}), std::size_t{3 + 2});
    QCOMPARE(rowsIn({2, false}, 1), std::size_t{0});
    QCOMPARE(rowsIn({}, 1), std::size_t{2 + 1});
    QCOMPARE(rowsIn({}, 0), std::size_t{3 + 1});
  }

  void readingEncodingsAndLineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("codePage");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("rows");  // rows by "|", fields by "/"
    const auto row = [](const char* name, const QByteArray& bytes, const QString& rows,
                        const QString& encoding = "UTF-8",
                        const QString& codePage = "windows-1252") {
      QTest::newRow(name) << bytes << codePage << encoding << rows;
    };
    const QString text = QString::fromUtf8("a;b\r\n\u0416;\u20ac\r\n");
    const QString rows = QString::fromUtf8("a/b|\u0416/\u20ac");
    QStringEncoder le(QStringConverter::Utf16LE);
    row("UTF-8 with a mark", "\xEF\xBB\xBF" + text.toUtf8(), rows);
    row("UTF-16LE", "\xFF\xFE" + QByteArray(le.encode(text)), rows, "UTF-16LE");
    QStringEncoder be(QStringConverter::Utf16BE);
    const QString latin = QStringLiteral("name;town\r\nAnna;Bonn\r\n");
    row("UTF-16LE without a mark", le.encode(latin), "name/town|Anna/Bonn", "UTF-16LE");
    row("UTF-16BE without a mark", be.encode(latin), "name/town|Anna/Bonn", "UTF-16BE");
    row("the database's code page", "\xC6\tx\n", QString::fromUtf8("\u0416/x"), "windows-1251",
        "windows-1251");
    row("mixed line ends, blanks kept", " a , b \r\nc\nd\re", " a / b |c|d|e");
    // A quoted line break and quoted quotes do not end the first line.
    row("quoted breaks and quotes", "\"x\r\ny\";\"say \"\"hi\"\"\"\r\n", "x\r\ny/say \"hi\"");
    row("the first line tells the delimiter", "a,b,c;d\r\ne;f;g;h\r\n", "a/b/c;d|e;f;g;h");
    // Only the file's own mark is dropped: a field that begins with the
    // same character keeps it, in every encoding.
    const QString zw = QString(QChar(0xFEFF));
    row("a mark at a field's start is text", "\xEF\xBB\xBF\xEF\xBB\xBF;a,\xEF\xBB\xBF\r\n",
        zw + QStringLiteral(";a/") + zw);
    row("a second UTF-16 mark is text",
        "\xFF\xFE" + QByteArray(le.encode(zw + QStringLiteral("x,y"))), zw + QStringLiteral("x/y"),
        "UTF-16LE");
  }

  void readingEncodingsAndLineEnds() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, codePage);
    QFETCH(QString, encoding);
    QFETCH(QString, rows);
    const CsvRead read = ReadCsv(bytes, codePage);
    QVERIFY(read.table);
    QCOMPARE(read.reading.encoding, encoding);
    QStringList seen;
    for (const QStringList& row : read.table->rows) seen << row.join(u'/');
    QCOMPARE(seen.join(u'|'), rows);
  }

  // UTF-8 is told from the whole file: a character across the reader's
  // 64 KiB pieces is no error.
  void utf8AcrossPieces() {
    for (int before : {65535, 65534, 131071}) {
      const QByteArray bytes = QByteArray(before, 'a') + "\xD0\x96 M\xC3\xBCller\r\n";
      const CsvRead read = ReadCsv(bytes, QStringLiteral("windows-1252"));
      QVERIFY(read.table);
      QCOMPARE(read.reading.encoding, QString("UTF-8"));
      QVERIFY(read.table->rows[0][0].endsWith(QString::fromUtf8("\u0416 M\u00fcller")));
    }
  }

  // A file that cannot be opened gives no table and names itself.
  void unopenableFileIsNamed() {
    const QString path = QStringLiteral("/nonexistent/folder/list.csv");
    const CsvRead read = ReadCsvFile(path, QStringLiteral("windows-1252"));
    QVERIFY(!read.table);
    QCOMPARE(read.problem.kind, CsvProblem::kCannotOpen);
    QVERIFY(!read.problem.detail.isEmpty());
  }

  // The limit is on one field: many small ones make any size.
  void manySmallFieldsPassTheLimit() {
    const QByteArray row = QByteArray(60, 'x') + ',' + QByteArray(60, 'y') + "\r\n";
    const CsvRead read = ReadCsv(row.repeated(50000), QStringLiteral("windows-1252"));
    QVERIFY(read.table);
    QCOMPARE(read.table->rows.size(), std::size_t{50000});
  }

  // A hostile file gives no table, but what is wrong and where: the row
  // and the column of the field being read, counted from 1.
  void hostileFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("unbalanced quote")
        << QByteArray("a,\"b\r\nc,d\r\n") << int(CsvProblem::kQuoteNotClosed) << 1 << 2;
    QTest::newRow("quote inside a field")
        << QByteArray("a,b\r\nc,d\"e\"\r\n") << int(CsvProblem::kQuoteOutOfPlace) << 2 << 2;
    QTest::newRow("NUL bytes") << QByteArray("a,b\0c\r\n", 8) << int(CsvProblem::kNulBytes) << 0
                               << 0;
    QTest::newRow("field over 4 MB")
        << "x,\"" + QByteArray(5 << 20, 'x') + "\"" << int(CsvProblem::kFieldTooLong) << 1 << 2;
    QTest::newRow("no such code page")
        << QByteArray("\xC0\xC1\r\n") << int(CsvProblem::kCodePage) << 0 << 0;
  }

  void hostileFiles() {
    QFETCH(QByteArray, bytes);
    const CsvRead read = ReadCsv(bytes, QStringLiteral("no-such"));
    QVERIFY(!read.table);
    QTEST(int(read.problem.kind), "kind");
    QTEST(int(read.problem.row), "row");
    QTEST(int(read.problem.column), "column");
  }

  // The import sees one table of the widest row's columns, named by the
  // first row or numbered, every row as wide (the first row as data:
  // tst_access_exchange through the dialog).
  void theImportsViewOfAFile() {
    const std::unique_ptr<AccessSource> source =
        MakeCsvSource("Name,,Note\nAnn\nBob,2,x,extra\n", "people.csv", "windows-1252", {});
    QCOMPARE(source->TableNames(), QStringList{"people"});
    QStringList columns;
    qint64 count = 0;
    QVERIFY(source->OpenTable(0, &columns, &count));
    QCOMPARE(columns, (QStringList{"Name", "Column 2", "Note", "Column 4"}));
    QCOMPARE(count, 2);
    QStringList row;
    QVERIFY(source->NextRow(&row));
    QCOMPARE(row, (QStringList{"Ann", "", "", ""}));
    QVERIFY(source->NextRow(&row) && !source->NextRow(&row) && !source->Failed());
    QVERIFY(
        MakeCsvSource(QByteArray("v,").repeated(200), {}, {}, {})->OpenTable(0, &columns, &count));
    QCOMPARE(columns.size(), kReadColumns);
  }

  // Files already there are replaced whole; a folder in the way of one stops
  // the export before any file is replaced.
  void writingReplacesWholeOrNothing() {
    QTemporaryDir dir;
    QVERIFY(WriteBytes(dir.filePath("a_b_c.csv"), "old"));
    Database db = FullFormDatabase();
    db.Forms[0].Name = QStringLiteral("a/b:c");
    const std::vector<CsvFile> files = ExportToCsv(db, {}, {});
    const CsvWritten written = WriteCsvFiles(dir.path(), files);
    QVERIFY2(written.error.isEmpty(), qPrintable(written.error));
    QCOMPARE(written.paths, (QStringList{dir.filePath("a_b_c.csv"), dir.filePath(files[1].name)}));
    QCOMPARE(ReadBytes(written.paths[0]), files[0].bytes);
    QCOMPARE(ReadBytes(written.paths[1]), files[1].bytes);
    QVERIFY(QFile::remove(written.paths[0]) && QFile::remove(written.paths[1]));
    QVERIFY(QDir(dir.path()).mkdir(files[1].name));
    const CsvWritten refused = WriteCsvFiles(dir.path(), files);
    QVERIFY(refused.error.contains(files[1].name) && refused.paths.isEmpty());
    QCOMPARE(FilesIn(dir.path()), QStringList());
  }
};

QTEST_GUILESS_MAIN(CsvFilesTest)
#include "tst_csv_files.moc"
