#include <QProcess>
#include <QtTest>
#include <nlohmann/json.hpp>

#include "../query/pdf_text.h"
#include "../test_files.h"
#include "sample_databases.h"
#include "storage/backups.h"
#include "storage/code_page.h"
#include "storage/database_file.h"
#include "storage/encrypted_file.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;
using Json = nlohmann::ordered_json;

const Json kCyrillic = "\u041f\u0430\u043f\u043a\u0430";
constexpr int kWriterRounds = 20;

namespace {

struct Run {
  int exitCode = -1;
  QByteArray out, err;
};

Run Cli(const QStringList& args, const QString& folder = {}) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.start(QStringLiteral(ORBO_BIN_DIR "/orbo-cli"), args);
  const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
  return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
          process.readAllStandardError()};
}

Database Read(const QString& path) {
  CodePage codePage;
  return ReadDatabaseFile(path, codePage, QString()).db;
}

// An image of the example database with one change applied at a JSON
// pointer; a null value removes the field.
QByteArray ChangedImage(const QByteArray& image, const char* pointer, const Json& value) {
  Json j = Json::parse(image.toStdString());
  const Json::json_pointer at(pointer);
  if (value.is_null()) j.at(at.parent_pointer()).erase(at.back());
  if (!value.is_null()) j[at] = value;
  return QByteArray::fromStdString(j.dump(2));
}

}  // namespace

class OrboCliTest : public QObject, SampleFiles {
  Q_OBJECT

 private:
  QByteArray example_;  // the image of the example database
  void Row(const char* name, const QStringList& args, const char* says) {
    QTest::newRow(name) << args << QByteArray(says);
  }
  // Building the example image changed at pointer, over an existing file.
  void BadImage(const char* name, const char* pointer, const Json& value, const char* says) {
    const QString path = Path(QString(name) + ".json");
    QVERIFY(WriteBytes(path, ChangedImage(example_, pointer, value)));
    Row(name, {"build", path, Path("existing.2db")}, says);
  }

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
    example_ = Cli({"dump", Saved(ExampleDatabase(), "example.2db")}).out;
  }

  void dumpAndBuildGiveBackTheSameBytes_data() {
    QTest::addColumn<int>("sample");
    QTest::addColumn<QString>("password");
    QTest::newRow("16 elements per type, password") << 0 << QStringLiteral("s\u00e9same");
    QTest::newRow("free slots") << 1 << QString();
    QTest::newRow("no forms or records") << 2 << QString();
  }

  void dumpAndBuildGiveBackTheSameBytes() {
    QFETCH(int, sample);
    QFETCH(QString, password);
    Database db = sample == 0 ? FullFormDatabase() : sample == 1 ? FreeSlotDatabase() : Database();
    if (sample == 2) ClearDatabase(db, Arial());
    if (!password.isEmpty()) db = Locked(db, password);
    const QString original = Saved(db, "original.2db");
    QStringList dumpArgs{"dump", original};
    if (db.PasswordOn) dumpArgs << "--password" << password;
    const Run dumped = Cli(dumpArgs);
    QVERIFY2(dumped.exitCode == 0 && dumped.err.isEmpty(), dumped.err);
    if (db.PasswordOn) QVERIFY(dumped.out.contains("\"Password\": \"s\xc3\xa9same\""));
    QVERIFY(WriteBytes(Path("image.json"), dumped.out));
    const Run built = Cli({"build", Path("image.json"), Path("rebuilt.2db")});
    QVERIFY2(built.exitCode == 0 && built.err.isEmpty() && built.out.isEmpty(), built.err);
    QVERIFY(ReadBytes(original) == ReadBytes(Path("rebuilt.2db")));
  }

  void otherCodePages() {
    const QByteArray image = ChangedImage(example_, "/Folders/0/Name", kCyrillic);
    QVERIFY(WriteBytes(Path("cyrillic.json"), image));
    Cli({"build", Path("cyrillic.json"), Path("cyrillic.2db"), "--codepage", "windows-1251"});
    QCOMPARE(Cli({"dump", Path("cyrillic.2db"), "--codepage=windows-1251"}).out, image + '\n');
  }

  // Without --codepage a file is read in the code page its texts tell, and
  // info names the one it used.
  void infoNamesTheCodePage() {
    const QByteArray image = ChangedImage(example_, "/Folders/0/Name", kCyrillic);
    QVERIFY(WriteBytes(Path("cyrillic.json"), image));
    const QString file = Path("detected.2db");
    Cli({"build", Path("cyrillic.json"), file, "--codepage", "windows-1251"});
    QCOMPARE(Cli({"dump", file}).out, image + '\n');
    QVERIFY(
        Cli({"info", file}).out.contains("\nCode page: windows-1251 (detected from the texts)\n"));
    QVERIFY(Cli({"info", file, "--codepage", "windows-1252"})
                .out.contains("\nCode page: windows-1252 (given)\n"));
    const QString locked = Saved(Locked(ExampleDatabase(), "pw12"), "locked-page.2db");
    QVERIFY(Cli({"info", locked}).out.contains("\nCode page: windows-1252 (the default"));
  }

  // "\\" is an ordinary character of a file name here: a folder "docs\\2024"
  // is written into and read from.
  void pathsWithABackslash() {
    QVERIFY(QDir(Path(".")).mkpath("docs\\2024"));
    QVERIFY(WriteBytes(Path("example.json"), example_));
    const QString built = Path("docs\\2024/contacts.2db");
    Cli({"build", Path("example.json"), built});
    QCOMPARE(FilesIn(Path("docs\\2024")), QStringList{"contacts.2db"});
    QCOMPARE(Cli({"dump", built}).out, example_);
  }

  // Two builds of one file at the same moment, again and again: each writes
  // the file whole or says why it did not, the file always holds one of the
  // two databases whole, and nothing is left beside it.
  void twoBuildsOfOneFile() {
    // Of one size, so that the two saves overlap.
    QList<QByteArray> wholeFiles;
    for (const char* name : {"one", "two"}) {
      Database db = LargeDatabase();
      db.Folders[0].Name = name;
      const QString saved = Saved(db, QString(name) + ".2db");
      wholeFiles << ReadBytes(saved);
      QVERIFY(WriteBytes(Path(QString(name) + ".json"), Cli({"dump", saved}).out));
    }
    const QString target = Path("both.2db");
    for (int round = 0; round < kWriterRounds; ++round) {
      QProcess builds[2];
      for (int i = 0; i < 2; ++i) {
        builds[i].start(QStringLiteral(ORBO_BIN_DIR "/orbo-cli"),
                        {"build", Path((i + round) % 2 ? "one.json" : "two.json"), target});
      }
      for (QProcess& build : builds) {
        QVERIFY(build.waitForFinished(60000));
        const QByteArray err = build.readAllStandardError();
        if (build.exitCode() == 0) continue;
        QVERIFY2(err.contains("being saved by another program") ||
                     err.contains("was changed by another program"),
                 err);
      }
      QVERIFY2(wholeFiles.contains(ReadBytes(target)), qPrintable(QString("round %1").arg(round)));
      QCOMPARE(QDir(Path(".")).entryList({".orbo-*"}, QDir::AllEntries | QDir::Hidden),
               QStringList());
    }
  }

  // A file an older version could write is dumped as the program repairs
  // it, with the repairs on standard error.
  void dumpReportsRepairs() {
    const QString path = Saved(ExampleDatabase(), "own-parent.2db");
    // The last folder ends with its parent (-1), its icon "root" and 0;
    // scrambling is a XOR, so flipping the stored bits makes the parent 0.
    QByteArray bytes = ReadBytes(path);
    for (qsizetype i : {bytes.size() - 17, bytes.size() - 16})
      bytes[i] = static_cast<char>(~bytes[i]);
    QVERIFY(WriteBytes(path, bytes));
    const Run run = Cli({"dump", path});
    QVERIFY2(run.exitCode == 0 && run.err.contains("repaired: 1 folders"), run.err);
    QCOMPARE(Json::parse(run.out.toStdString())["Folders"][0]["Parent"].get<int>(), -1);
  }

  // Every failure is one line on standard error; a build leaves an existing
  // output file, and no temporary file, behind.
  void failuresAreOneLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("says");
    const QString locked = Saved(Locked(ExampleDatabase(), "open up"), "locked.2db");
    const QString damaged = Saved(LargeDatabase(), "damaged.2db");
    QFile::resize(damaged, 100000);
    Row("missing file", {"dump", Path("none.2db")}, "cannot be opened");
    Row("wrong password", {"dump", locked, "--password", "nope"}, "wrong password");
    Row("unknown code page", {"dump", damaged, "--codepage", "no-page"},
        "unknown code page no-page");
    // A multi-byte code page would make counts and bytes disagree.
    Row("UTF-8", {"dump", damaged, "--codepage", "UTF-8"}, "UTF-8 is not a single-byte code page");
    QVERIFY(WriteBytes(Path("not.json"), "{\"PasswordOn\": fals"));
    Row("not JSON", {"build", Path("not.json"), Path("existing.2db")}, "not JSON");
    BadImage("missing field", "/DbReserved", nullptr, "DbReserved: is missing");
    BadImage("beyond 16 bits", "/Forms/0/Elements/2/0/Left", 40000, "Forms[0].Elements[2][0].Left");
    BadImage("outside the code page", "/Folders/0/Name", kCyrillic,
             "Folders[0].Name: character U+041f");
    BadImage("own parent", "/Folders/0/Parent", 0,
             "Folders[0].Parent: folder 0 is its own ancestor");
    // Refused for root too, whom the system lets write anything.
    const QString readOnly = Saved(ExampleDatabase(), "read-only.2db");
    QVERIFY(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    QVERIFY(WriteBytes(Path("example.json"), example_));
    Row("write-protected", {"build", Path("example.json"), readOnly},
        "read-only.2db is write-protected");
    Row("encrypted without a password",
        {"build", Path("example.json"), Path("out.2db"), "--encrypt"}, "--encrypt needs");
    const QString good = Saved(FreeSlotDatabase(), "print.2db");
    const QString out = Path("out.pdf");
    Row("print: damaged, over a file", {"print", damaged, "--pdf", Path("existing.2db")}, "ends");
    Row("print: no such folder", {"print", good, "--pdf", out, "--folder", "7"}, "no folder 7");
    Row("print: over the database", {"print", Path("existing.2db"), "--pdf", Path("existing.2db")},
        "database file itself");
    Row("export-mdb: folder missing", {"export-mdb", good, Path("none/out.mdb")}, "none/out.mdb");
    Row("export-csv: no folder there", {"export-csv", good, Path("none")}, "is not a folder");
    Row("export-csv: formulas", {"export-csv", good, Path("."), "--formulas", "run"},
        "--formulas run: give quote or keep");
    QVERIFY(WriteBytes(Path("quote.csv"), "Text\r\na\"b\r\n"));
    QVERIFY(WriteBytes(Path("plain.csv"), "Text\r\nab\r\n"));
    const QString into = Path("out.2db");
    Row("import-csv: a stray quote", {"import-csv", good, Path("quote.csv"), into},
        "a quote inside an unquoted field at row 2, column 1");
    Row("import-csv: the database by another name",
        {"import-csv", good, Path("plain.csv"), Path("./print.2db")}, "give the same path twice");
    QFile::link(good, Path("link.2db"));
    Row("import-csv: the database through a link",
        {"import-csv", good, Path("plain.csv"), Path("link.2db")}, "give the same path twice");
    Row("import-csv: no folder for the result",
        {"import-csv", good, Path("plain.csv"), Path("none/out.2db"), "--map", "order"},
        "none/out.2db");
    Row("import-csv: encoding", {"import-csv", good, Path("plain.csv"), into, "--encoding", "x"},
        "--encoding x: give one of UTF-8, UTF-16LE");
    Row("import-csv: no folder column",
        {"import-csv", good, Path("plain.csv"), into, "--folders-from-file", "--map", "order"},
        "has no column");
    Row("import-csv: no such form", {"import-csv", good, Path("plain.csv"), into, "--form", "9"},
        "there is no form 9");
    Row("import-mdb: no table named", {"import-mdb", good, Path("plain.csv"), into},
        "import-mdb needs --table NAME");
    Row("import-mdb: no Access file", {"import-mdb", good, Path("plain.csv"), into, "--table", "t"},
        "is no MS Access file");
  }

  void failuresAreOneLine() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, says);
    QVERIFY(WriteBytes(Path("existing.2db"), "keep me"));
    const Run run = Cli(args);
    QVERIFY2(run.exitCode == 1 && run.out.isEmpty(), run.out);
    QVERIFY2(run.err.contains(says) && run.err.count('\n') == 1, run.err);
    QCOMPARE(ReadBytes(Path("existing.2db")), QByteArray("keep me"));
    QCOMPARE(QDir(Path(".")).entryList({".orbo-*", "out.pdf*", "out.mdb*", "out.2db*"},
                                       QDir::Files | QDir::Hidden),
             QStringList());
  }

  // One page per record of the database, or of a folder with or without
  // those below it.
  void printWritesOnePagePerRecord() {
    if (!HavePdfToText()) QSKIP("pdftotext is not installed");
    const QString pdf = Path("example.pdf");
    const QString free = Saved(FreeSlotDatabase(), "folders.2db");
    const std::pair<QStringList, int> runs[] = {
        {{}, 5}, {{"--folder", "0"}, 3}, {{"--folder", "0", "--subfolders"}, 5}};
    for (const auto& [options, pages] : runs) {
      const Run run = Cli(QStringList{"print", free, "--pdf", pdf} + options);
      QVERIFY2(run.exitCode == 0 && run.out.isEmpty(), run.err);
      QCOMPARE(PdfPages(pdf).size(), pages);
    }
  }

  // One file per form with records in scope, its path printed; the options
  // reach the bytes.
  void exportCsvWritesAFilePerForm() {
    const QString free = Saved(FreeSlotDatabase(), "csv.2db");
    QVERIFY(QDir(Path(".")).mkpath("csv"));
    const Run run = Cli(
        {"export-csv", free, Path("csv"), "--folder", "1", "--delimiter", "semicolon", "--no-bom"});
    const QString file = Path("csv/") + FreeSlotDatabase().Forms[0].Name + ".csv";
    QCOMPARE(run.out, (file + "\n").toLocal8Bit());
    const QByteArray bytes = ReadBytes(file);
    QVERIFY2(bytes.startsWith("Root;") && bytes.count("\r\nSimple Folder\\Second;") == 2, bytes);
    // A value a spreadsheet would run is written as text unless kept.
    Database formula = FreeSlotDatabase();
    formula.Folders[0].Name = "=cmd";
    const QString withFormula = Saved(formula, "formula.2db");
    for (const bool keep : {false, true}) {
      QStringList args{"export-csv", withFormula, Path("csv"), "--folder", "1"};
      if (keep)
        args << "--formulas"
             << "keep";
      QCOMPARE(Cli(args).exitCode, 0);
      QVERIFY(ReadBytes(file).contains(keep ? "\r\n=cmd\\Second," : "\r\n'=cmd\\Second,"));
    }
  }

  // Every form's CSV file imported into a database of the same forms without
  // records, each record into the folder its file names, gives every record,
  // value and folder back.
  void importCsvGivesEveryRecordBack_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("example") << QStringLiteral(ORBO_BIN_DIR "/data/examples/ex1.2db");
    QTest::newRow("random") << Saved(RandomEveryKindDatabase(9, 1000), "random.2db");
  }

  void importCsvGivesEveryRecordBack() {
    QFETCH(QString, source);
    const Database db = Read(source);
    const QString folder = Path("round trip");
    QVERIFY(QDir(folder).removeRecursively() && QDir().mkpath(folder));
    QCOMPARE(Cli({"export-csv", source, folder}).exitCode, 0);
    const QString back = Saved(WithoutRecords(db), "back.2db");
    for (int form = 0; form < db.FormCount; ++form) {
      const QString csv = folder + u'/' + db.Forms[form].Name + ".csv";
      // Names alone are too few to find the code page by.
      const Run run = Cli({"import-csv", back, csv, back, "--form", QString::number(form),
                           "--folders-from-file", "--codepage", "windows-1252"});
      QVERIFY2(run.exitCode == 0 && run.err.isEmpty() && run.out.contains("records imported"),
               run.err);
    }
    QCOMPARE(FiledRecords(Read(back)), FiledRecords(db));
  }

  // Relative paths from the folder orbo-cli was started in: the file given
  // twice is changed and keeps its previous version as a backup.
  void importWithRelativePaths() {
    QDir(Path(".")).mkpath("here");
    Saved(FreeSlotDatabase(), "here/mine.2db");
    QVERIFY(WriteBytes(Path("here/rows.csv"), "Text\r\nfirst\r\nsecond\r\n"));
    const Run run =
        Cli({"import-csv", "mine.2db", "rows.csv", "mine.2db", "--map", "order"}, Path("here"));
    QVERIFY2(run.exitCode == 0, run.err);
    QCOMPARE(run.out, QByteArray("2 records imported, 0 folders made\n"));
    const Database db = Read(Path("here/mine.2db"));
    QCOMPARE(db.RecordCount - db.BufferCount,
             FreeSlotDatabase().RecordCount - FreeSlotDatabase().BufferCount + 2);
    QCOMPARE(ListBackups(Path("here/mine.2db")).size(), std::size_t(1));
  }

  // The table of an Access file comes in as the CSV file does: combos by
  // their line, flags from Access's own Boolean.
  void importMdbTakesATable() {
    const QString source = QStringLiteral(ORBO_BIN_DIR "/data/examples/ex1.2db");
    const Database db = Read(source);
    const QString mdb = Path("example.mdb");
    QCOMPARE(Cli({"export-mdb", source, mdb}).exitCode, 0);
    const QString out = Path("from-access.2db");
    const Run run = Cli({"import-mdb", Saved(WithoutRecords(db), "empty.2db"), mdb, out, "--table",
                         db.Forms[0].Name});
    QVERIFY2(run.exitCode == 0, run.err);
    const Database imported = Read(out);
    std::vector<int> records;
    for (int r = 0; r < db.RecordCount; ++r)
      if (db.Records[r].Form == 0) records.push_back(r);
    QCOMPARE(imported.RecordCount, int(records.size()));
    const RecordData& first = db.Records[records[0]];
    QCOMPARE(imported.Records[0].ComboValue, first.ComboValue);
    QCOMPARE(imported.Records[0].FlagValue, first.FlagValue);
    QCOMPARE(imported.Records[0].TextValue, first.TextValue);
  }

  // A command's help lists the options its synopsis names, each once, and
  // no other; the help of all lists every option.
  void helpListsTheCommandsOptions_data() {
    QTest::addColumn<QString>("command");
    for (const char* command :
         {"dump", "build", "info", "backups", "print", "export-mdb", "export-csv"})
      QTest::newRow(command) << QString(command);
  }

  void helpListsTheCommandsOptions() {
    QFETCH(QString, command);
    const Run run = Cli({command, "--help"});
    QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), run.err);
    const QString help = QString::fromUtf8(run.out);
    const QString synopsis = help.section(u'\n', 0, 0);
    QVERIFY2(synopsis.startsWith("orbo-cli " + command + " "), qPrintable(help));
    QStringList named, listed;
    for (const QRegularExpressionMatch& m : QRegularExpression("--([a-z-]+)").globalMatch(synopsis))
      named << m.captured(1);
    const QRegularExpression optionLine("^  --([a-z-]+) ", QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& m : optionLine.globalMatch(help.section("\n\n", -1)))
      listed << m.captured(1);
    named.sort();
    listed.sort();
    QCOMPARE(listed, named);
    QVERIFY(!help.contains("--version"));
  }

  void helpOfAllListsEveryOption() {
    const QByteArray help = Cli({"--help"}).out;
    const QByteArray all = help.mid(help.lastIndexOf("\n\n"));
    for (const char* option :
         {"\n  --password ", "\n  --codepage ", "\n  --encrypt ", "\n  --pdf ", "\n  --folder ",
          "\n  --subfolders ", "\n  --form ", "\n  --delimiter ", "\n  --flags ", "\n  --no-bom ",
          "\n  --formulas ", "\n  --help ", "\n  --version "})
      QVERIFY2(all.count(option) == 1, option);
    QVERIFY(!Cli({"export-csv", "--help"}).out.contains("--pdf"));
  }

  // build --encrypt writes what the reading commands open with the
  // password alone; info tells it without the password, and the counts of a
  // scrambled file only with it.
  void encryptedFilesEverywhere() {
    const QString image = Path("locked.json");
    const QString locked = Saved(Locked(TinyDatabase(), "pw12"), "locked.2db");
    QVERIFY(!Cli({"info", locked}).out.contains("Records:"));
    QVERIFY(
        Cli({"info", locked, "--password", "pw12"}).out.contains("Records: 2 (1 free slots)\n"));
    const Run dumped = Cli({"dump", locked, "--password", "pw12"});
    QVERIFY(WriteBytes(image, dumped.out));
    const QString sealed = Path("sealed.2db");
    QCOMPARE(Cli({"build", image, sealed, "--encrypt"}).exitCode, 0);
    QVERIFY(Cli({"info", sealed}).out.contains("Header: encrypted\n"));
    QCOMPARE(Cli({"dump", sealed, "--password", "pw12"}).out, dumped.out);
  }

  // What dump, print and the exports write from an encrypted file is in the
  // clear: a line on standard error says so, and the command succeeds. From
  // a file the password only scrambles, nothing is said.
  void plainOutputOfAnEncryptedFileIsNamed() {
    const QString scrambled = Saved(Locked(FreeSlotDatabase(), "pw12"), "scrambled.2db");
    // The classic file sealed at the least cost reads as an encrypted database.
    const QString sealed = Path("cheaply-sealed.2db");
    QVERIFY(WriteBytes(sealed, SealFile(ReadBytes(Saved(FreeSlotDatabase(), "unsealed.2db")),
                                        "pw12", KeyCost::Least())));
    QVERIFY(QDir(Path(".")).mkpath("csv-plain"));
    for (const QString& file : {scrambled, sealed}) {
      const QString out = Path(QFileInfo(file).baseName());
      const QStringList commands[] = {{"dump", file},
                                      {"print", file, "--pdf", out + ".pdf"},
                                      {"export-mdb", file, out + ".mdb"},
                                      {"export-csv", file, Path("csv-plain")}};
      for (const QStringList& command : commands) {
        const Run run = Cli(command + QStringList{"--password", "pw12"});
        const QByteArray seen = command.join(' ').toUtf8() + ": " + run.err;
        QVERIFY2(run.exitCode == 0, seen);
        if (file == scrambled) {
          QVERIFY2(run.err.isEmpty(), seen);
        } else {
          QVERIFY2(run.err.count('\n') == 1 && run.err.contains("is encrypted, but"), seen);
        }
      }
    }
  }
};

QTEST_GUILESS_MAIN(OrboCliTest)
#include "tst_orbo_cli.moc"
