#include <QProcess>
#include <QtTest>
#include <nlohmann/json.hpp>

#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;
using Json = nlohmann::ordered_json;

namespace {

struct Run {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

Run Cli(const QStringList& args) {
  QProcess process;
  process.start(QStringLiteral(ORBO_BIN_DIR "/orbo-cli"), args);
  Run run;
  if (!process.waitForFinished(60000)) return run;
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

QByteArray FileContents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteText(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

std::vector<std::string> Keys(const Json& object) {
  std::vector<std::string> keys;
  for (const auto& item : object.items()) keys.push_back(item.key());
  return keys;
}

// An image of the example database with one change applied at a JSON
// pointer; a null value removes the field.
QByteArray ChangedImage(const QByteArray& image, const char* pointer, const Json& value) {
  Json j = Json::parse(image.toStdString());
  const Json::json_pointer at(pointer);
  if (value.is_null()) {
    j.at(at.parent_pointer()).erase(at.back());
  } else {
    j[at] = value;
  }
  return QByteArray::fromStdString(j.dump(2));
}

}  // namespace

class OrboCliTest : public QObject {
  Q_OBJECT

 private:
  SampleFiles files_;

  QString Path(const QString& name) const { return files_.Path(name); }
  QString Saved(const Database& db, const QString& name) const { return files_.Saved(db, name); }

  QByteArray ExampleImage() { return Cli({"dump", Saved(ExampleDatabase(), "example.2db")}).out; }

 private slots:
  void initTestCase() {
    QVERIFY(files_.IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  void dumpWritesTheImageInFileOrder() {
    const Run run = Cli({"dump", Saved(TinyDatabase(), "tiny.2db")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    QVERIFY(
        run.out.startsWith("{\n  \"PasswordOn\": false,\n  \"Password\": \"\",\n  \"Forms\": [\n"
                           "    {\n      \"Name\": \"F\",\n      \"Icon\": \"record\",\n"));
    QVERIFY(run.out.endsWith("}\n"));
    const Json j = Json::parse(run.out.toStdString());
    QCOMPARE(Keys(j), (std::vector<std::string>{"PasswordOn", "Password", "Forms", "SplitterPos",
                                                "MaxListString", "DbReserved", "DatabaseFont",
                                                "Records", "Folders"}));
    const Json& form = j["Forms"][0];
    QCOMPARE(Keys(form),
             (std::vector<std::string>{"Name", "Icon", "Width", "Height", "ElementCount",
                                       "BackColor", "Border", "TitleElement", "PrintOffsetX",
                                       "PrintOffsetY", "Shadow", "Elements"}));
    QCOMPARE(form["BackColor"].get<int>(), -2147483643);
    QCOMPARE(form["Elements"].size(), std::size_t(7));
    QCOMPARE(form["Elements"][2].size(), std::size_t(2));
    QCOMPARE(form["Elements"][6].size(), std::size_t(1));
    const std::vector<std::string> common = {"Name",      "Left",        "Top",      "Width",
                                             "Height",    "Font",        "Border",   "BackColor",
                                             "ForeColor", "Transparent", "Alignment"};
    const std::vector<std::vector<std::string>> own = {{"ImageSize", "DblClickAction"},
                                                       {"ToolTip"},
                                                       {"QuickEnter", "PasswordField"},
                                                       {"ButtonAction"},
                                                       {"ComboList"},
                                                       {"FlagAtRight", "FlagAppearance"},
                                                       {"TextLimit"}};
    for (int t = 0; t < 7; ++t) {
      std::vector<std::string> expected = common;
      expected.insert(expected.end(), own[t].begin(), own[t].end());
      QCOMPARE(Keys(form["Elements"][t][0]), expected);
    }
    QCOMPARE(Keys(form["Elements"][0][0]["Font"]),
             (std::vector<std::string>{"Name", "Size", "Bold", "Italic"}));
    QCOMPARE(form["Elements"][2][0]["Font"]["Bold"], Json(true));
    QCOMPARE(form["Elements"][4][0]["ComboList"], Json("a\r\nb"));
    const Json& record = j["Records"][0];
    QCOMPARE(Keys(record),
             (std::vector<std::string>{"Form", "Folder", "ImageValue", "TextValue", "ButtonValue",
                                       "ComboValue", "FlagValue", "MemoValue"}));
    QCOMPARE(record["TextValue"], Json::parse("[\"Hi \u00e9\"]"));
    QCOMPARE(record["MemoValue"], Json::array());
    QCOMPARE(j["Records"][1]["Folder"], Json(-100));
    QCOMPARE(Keys(j["Folders"][0]),
             (std::vector<std::string>{"Name", "Parent", "Icon", "FolderReserved"}));
  }

  void dumpAndBuildGiveBackTheSameBytes_data() {
    QTest::addColumn<int>("sample");
    QTest::addColumn<QString>("password");
    QTest::newRow("tiny") << 0 << QString();
    QTest::newRow("16 elements per type") << 1 << QString();
    QTest::newRow("free slots") << 2 << QString();
    QTest::newRow("password") << 1 << QStringLiteral("s\u00e9same");
    QTest::newRow("large") << 3 << QString();
  }

  void dumpAndBuildGiveBackTheSameBytes() {
    QFETCH(int, sample);
    QFETCH(QString, password);
    Database db = sample == 0   ? TinyDatabase()
                  : sample == 1 ? FullFormDatabase()
                  : sample == 2 ? FreeSlotDatabase()
                                : LargeDatabase();
    db.PasswordOn = !password.isEmpty();
    db.Password = password;
    const QString original = Saved(db, "original.2db");
    QStringList dumpArgs{"dump", original};
    if (db.PasswordOn) dumpArgs << "--password" << password;
    const Run dumped = Cli(dumpArgs);
    QCOMPARE(dumped.err, QByteArray());
    QCOMPARE(dumped.exitCode, 0);
    if (db.PasswordOn) QVERIFY(dumped.out.contains("\"Password\": \"s\xc3\xa9same\""));
    QVERIFY(WriteText(Path("image.json"), dumped.out));

    const Run built = Cli({"build", Path("image.json"), Path("rebuilt.2db")});
    QCOMPARE(built.err, QByteArray());
    QCOMPARE(built.exitCode, 0);
    QVERIFY(built.out.isEmpty());
    QVERIFY(FileContents(original) == FileContents(Path("rebuilt.2db")));
    dumpArgs[1] = Path("rebuilt.2db");
    QVERIFY(Cli(dumpArgs).out == dumped.out);
  }

  void otherCodePages() {
    const QByteArray image =
        ChangedImage(ExampleImage(), "/Folders/0/Name", Json("\u041f\u0430\u043f\u043a\u0430"));
    QVERIFY(WriteText(Path("cyrillic.json"), image));
    const Run refused = Cli({"build", Path("cyrillic.json"), Path("cyrillic.2db")});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("Folders[0].Name") && refused.err.contains("U+041f"),
             refused.err);
    QVERIFY(!QFile::exists(Path("cyrillic.2db")));

    QCOMPARE(
        Cli({"build", Path("cyrillic.json"), Path("cyrillic.2db"), "--codepage", "windows-1251"})
            .exitCode,
        0);
    QCOMPARE(Cli({"dump", Path("cyrillic.2db"), "--codepage=windows-1251"}).out, image + '\n');
    QCOMPARE(Cli({"dump", Path("cyrillic.2db"), "--codepage", "no-such-page"}).exitCode, 1);
    // A multi-byte code page would make counts and bytes disagree.
    const Run utf8 = Cli({"build", Path("cyrillic.json"), Path("utf8.2db"), "--codepage", "UTF-8"});
    QCOMPARE(utf8.exitCode, 1);
    QVERIFY2(utf8.err.contains("UTF-8 is not a single-byte code page"), utf8.err);
  }

  // A file an older version could write is dumped as the program repairs
  // it, with the repairs on standard error.
  void dumpReportsRepairs() {
    const QString path = Saved(ExampleDatabase(), "own-parent.2db");
    // The last folder ends with its parent (-1), its icon "root" and 0;
    // scrambling is a XOR, so flipping the stored bits makes the parent 0.
    QByteArray bytes = FileContents(path);
    const qsizetype parent = bytes.size() - 17;
    bytes[parent] = static_cast<char>(bytes[parent] ^ 0xFF);
    bytes[parent + 1] = static_cast<char>(bytes[parent + 1] ^ 0xFF);
    QVERIFY(WriteText(path, bytes));
    const Run run = Cli({"dump", path});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("repaired: 1 folders"), run.err);
    QCOMPARE(Json::parse(run.out.toStdString())["Folders"][0]["Parent"].get<int>(), -1);
  }

  void badImagesAreRefusedNamingTheField_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QByteArray>("where");
    const QByteArray example = ExampleImage();
    QTest::newRow("not JSON") << QByteArray("{\"PasswordOn\": fals") << QByteArray("not JSON");
    QTest::newRow("missing field")
        << ChangedImage(example, "/DbReserved", nullptr) << QByteArray("DbReserved: is missing");
    QTest::newRow("unknown field")
        << ChangedImage(example, "/Forms/0/Colour", 1) << QByteArray("Forms[0].Colour");
    QTest::newRow("text where an integer belongs")
        << ChangedImage(example, "/Forms/0/Width", "wide")
        << QByteArray("Forms[0].Width: must be an integer");
    QTest::newRow("fraction") << ChangedImage(example, "/SplitterPos", 2.5)
                              << QByteArray("SplitterPos: must be an integer");
    QTest::newRow("beyond 16 bits") << ChangedImage(example, "/Forms/0/Elements/2/0/Left", 40000)
                                    << QByteArray("Forms[0].Elements[2][0].Left");
    QTest::newRow("beyond 32 bits") << ChangedImage(example, "/Forms/0/BackColor", 4294967295u)
                                    << QByteArray("Forms[0].BackColor");
    QTest::newRow("element count above 16") << ChangedImage(example, "/Forms/0/ElementCount/3", 17)
                                            << QByteArray("Forms[0].ElementCount[3]");
    QTest::newRow("slots disagree with the count")
        << ChangedImage(example, "/Forms/0/ElementCount/4", 1)
        << QByteArray("Forms[0].Elements[4]: must have 2 entries");
    QTest::newRow("values disagree with the form")
        << ChangedImage(example, "/Records/0/TextValue", Json::array())
        << QByteArray("Records[0].TextValue: must have 1 entries");
    QTest::newRow("record of no form")
        << ChangedImage(example, "/Records/0/Form", 3) << QByteArray("Records[0].Form");
    QTest::newRow("Boolean given as number")
        << ChangedImage(example, "/DatabaseFont/Bold", 0)
        << QByteArray("DatabaseFont.Bold: must be true or false");
    QTest::newRow("protected without password")
        << ChangedImage(example, "/PasswordOn", true) << QByteArray("Password");
    QTest::newRow("text too long")
        << ChangedImage(example, "/Forms/0/Name", std::string(100001, 'n'))
        << QByteArray("Forms[0].Name: is longer");
    QTest::newRow("record in no folder")
        << ChangedImage(example, "/Records/0/Folder", 99) << QByteArray("Records[0].Folder");
    QTest::newRow("own parent") << ChangedImage(example, "/Folders/0/Parent", 0)
                                << QByteArray("Folders[0].Parent: folder 0 is its own ancestor");
    QTest::newRow("title of a label")
        << ChangedImage(example, "/Forms/0/TitleElement", 1000) << QByteArray("Forms[0].TitleElement");
  }

  void badImagesAreRefusedNamingTheField() {
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, where);
    QVERIFY(WriteText(Path("bad.json"), image));
    const QString out = Path("existing.2db");
    QVERIFY(WriteText(out, "keep me"));
    const Run run = Cli({"build", Path("bad.json"), out});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(where), run.err);
    QCOMPARE(run.err.count('\n'), 1);
    QCOMPARE(FileContents(out), QByteArray("keep me"));
    QCOMPARE(QDir(Path(".")).entryList({".orbo-*"}, QDir::Files | QDir::Hidden), QStringList());
  }

  void unreadableFilesFailInOneLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("says");
    const QString lockedPath = Saved(Locked(ExampleDatabase(), "open up"), "locked.2db");
    const QString damaged = Saved(LargeDatabase(), "damaged.2db");
    QFile::resize(damaged, 100000);
    QTest::newRow("missing file") << QStringList{"dump", Path("none.2db")}
                                  << QByteArray("cannot be opened");
    QTest::newRow("no password") << QStringList{"dump", lockedPath} << QByteArray("--password");
    QTest::newRow("wrong password")
        << QStringList{"dump", lockedPath, "--password", "nope"} << QByteArray("wrong password");
    QTest::newRow("damaged") << QStringList{"dump", damaged} << QByteArray("ends");
    QTest::newRow("unknown command") << QStringList{"explode", damaged} << QByteArray("usage");
    QTest::newRow("unknown option")
        << QStringList{"dump", damaged, "--colour", "red"} << QByteArray("--colour");
    QTest::newRow("missing output")
        << QStringList{"build", Path("image.json")} << QByteArray("usage");
  }

  void unreadableFilesFailInOneLine() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, says);
    const Run run = Cli(args);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(says), run.err);
    QCOMPARE(run.err.count('\n'), 1);
  }

  void infoPrintsHeaderAndCounts() {
    const Run plain = Cli({"info", Saved(FreeSlotDatabase(), "info.2db")});
    QCOMPARE(plain.exitCode, 0);
    QCOMPARE(plain.out, QByteArray("File: info.2db\nHeader: 11\nPassword: not needed\nForms: 1\n"
                                   "Records: 7 (2 free slots)\nFolders: 2\n"));
    const QString path = Saved(Locked(TinyDatabase(), "pw"), "info-locked.2db");
    const Run unread = Cli({"info", path});
    QCOMPARE(unread.exitCode, 0);
    QVERIFY(unread.out.startsWith("File: info-locked.2db\nHeader: 12\nPassword: needed\nCounts:"));
    const Run opened = Cli({"info", path, "--password", "pw"});
    QVERIFY(
        opened.out.endsWith("Password: needed\nForms: 1\nRecords: 2 (1 free slots)\nFolders: 1\n"));
  }
};

QTEST_GUILESS_MAIN(OrboCliTest)
#include "tst_orbo_cli.moc"
