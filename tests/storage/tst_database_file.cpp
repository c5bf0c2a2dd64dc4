#include <QtTest>

#include "body_bytes.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/element_values.h"
#include "storage/field_table.h"
#include "storage/model_invariants.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

Q_DECLARE_METATYPE(orbo::Database)
using Spoil = std::function<void(orbo::Database&)>;
Q_DECLARE_METATYPE(Spoil)

namespace {

constexpr std::int32_t kSystemWindow = static_cast<std::int32_t>(0x80000005u);
constexpr std::int32_t kSystemText = static_cast<std::int32_t>(0x80000008u);

BodyBytes& EmptySlot(BodyBytes& b) {
  return b.I(0).I(0).I(0).I(0).S("").I(0).L(0).L(0).B(false).I(0).Font("", false, false, 0);
}

// A file of no forms, default settings and these counts.
QByteArray Counts(std::int16_t forms, std::int16_t records, std::int16_t folders) {
  BodyBytes b;
  b.I(forms).I(2500).I(20).I(0).Font("Arial", false, false, 10).I(records).I(folders);
  return FileBytes(kHeaderDefaultKey, b.bytes);
}

// Temporary files a save left in folder.
QStringList LeftoverTemps(const QString& folder) {
  return QDir(folder).entryList({QStringLiteral(".orbo-*")},
                                QDir::Files | QDir::Hidden | QDir::System);
}

}  // namespace

class DatabaseFileTest : public QObject, SampleFiles {
  Q_OBJECT

 private:
  CodePage codePage_;

  ReadOutcome Read(const QString& path, const QString& password = {}) {
    return ReadDatabaseFile(path, codePage_, password);
  }

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // The password decides the header word and the key, and only when on.
  void tinyDatabaseIsStoredFieldByField() {
    BodyBytes b;
    b.I(1);
    // Form header: title element, colour, border, height, icon, name,
    // width, print offsets, shadow, element counts.
    b.I(2000).L(kSystemWindow).I(1).I(4500).S("record").S("F").I(6000).L(200).L(200).I(1);
    b.I(0).I(0).I(1).I(0).I(0).I(0).I(0);
    // Image: the free slot 0, then image size and double-click action.
    EmptySlot(b).I(1).I(2);
    // Label: free slot with its tool tip.
    EmptySlot(b).S("tip");
    // Text: slot 0 (height, width, left, top, name, border, fore and back
    // colour, transparent, alignment, font), quick enter, password field;
    // then the free slot 1.
    b.I(250).I(5000).I(500).I(500).S("T").I(2).L(kSystemText).L(kSystemWindow).B(false).I(2);
    b.Font("Arial", true, false, 10).I(1).I(0);
    EmptySlot(b).I(0).I(0);
    // Button action, combo list, flag at right then appearance, text limit.
    EmptySlot(b).I(3);
    EmptySlot(b).S("a\r\nb");
    EmptySlot(b).I(1).I(0);
    EmptySlot(b).I(7);
    // Settings and font, record and folder counts.
    b.I(2500).I(20).I(0).Font("Arial", false, true, 9).I(2).I(1);
    // Records: form, folder, then the one text value; a free slot too.
    b.I(0).I(0).S("Hi \xe9");
    b.I(0).I(-100).S("");
    // Folder: name, parent, icon, reserved.
    b.S("Root").I(-1).S("root").I(0);
    for (const bool locked : {false, true}) {
      Database db = TinyDatabase();
      db.Password = QString::fromUtf8("p\u00e4ss");
      db.PasswordOn = locked;
      const QString path = Path("tiny.2db");
      QVERIFY(WriteDatabaseFile(db, path, codePage_).ok);
      const QByteArray expected =
          locked ? FileBytes(12, b.bytes, "p\xe4ss") : FileBytes(11, b.bytes);
      QCOMPARE(ReadBytes(path).toHex(), expected.toHex());
    }
  }

  // What is saved loads back equal (a wrong password: tst_file_commands).
  void roundTrip_data() {
    QTest::addColumn<Database>("db");
    QTest::newRow("empty") << Database();
    QTest::newRow("16 elements per type, non-ASCII names") << FullFormDatabase();
    QTest::newRow("password, ASCII, values in free slots")
        << Locked(TinyDatabase(), QStringLiteral("secret"));
    QTest::newRow("password, several stream chunks")
        << Locked(LargeDatabase(), QStringLiteral("secret"));
  }

  void roundTrip() {
    QFETCH(Database, db);
    const QString path = Path("round.2db");
    QVERIFY(WriteDatabaseFile(db, path, codePage_).ok);
    const ReadOutcome read = Read(path, db.Password);
    QCOMPARE(read.error, QString());
    QCOMPARE(StoredDifference(db, read.db), QString());
    QCOMPARE(read.db.Password, db.Password);
    // Slots that read as never written ones take no memory.
    const auto holdsOnlyWritten = [](const auto& values) {
      using Value = std::remove_cvref_t<decltype(values[0])>;
      return values.Held() == 0 || !(values[values.Held() - 1] == Value{});
    };
    for (const FormDef& form : read.db.Forms) {
      for (const auto& ofType : form.Elements) QVERIFY(holdsOnlyWritten(ofType));
      for (const ElementField& field : kElementFields) {
        std::visit(
            [&](auto member) {
              if constexpr (requires { (form.*member).Held(); })
                QVERIFY(holdsOnlyWritten(form.*member));
            },
            field.member);
      }
    }
    for (const RecordData& record : read.db.Records) {
      ForEachRecordField(record, [&](const RecordField&, const auto& values) {
        QVERIFY(holdsOnlyWritten(values));
      });
    }
  }

  // Combo choices that name no line (the list was shortened after they
  // were made, or nothing was chosen) load as stored and save to the same
  // bytes: a load mends references, never values.
  void choicesWithoutALineStayAsStored() {
    Database db = FullFormDatabase();
    int set = 0;
    for (int r = 0; r < db.RecordCount; ++r) {
      const FormDef& form = db.Forms[db.Records[r].Form];
      for (int k = 0; k < form.ElementCount[kCombo]; ++k) {
        // No choice, the first index past the list, one far past, the largest.
        const int lines = static_cast<int>(ComboItems(form.ComboList[k]).size());
        const int choices[] = {-1, lines, lines + 40, 32767};
        db.Records[r].ComboValue[k] = static_cast<std::int16_t>(choices[set++ % 4]);
      }
    }
    QVERIFY(set >= 4);
    const QString first = Path("choices1.2db");
    const QString second = Path("choices2.2db");
    QVERIFY(WriteDatabaseFile(db, first, codePage_).ok);
    const ReadOutcome read = Read(first);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.repairs.Total(), 0);
    QCOMPARE(StoredDifference(db, read.db), QString());
    QVERIFY(WriteDatabaseFile(read.db, second, codePage_).ok);
    QCOMPARE(ReadBytes(second), ReadBytes(first));
  }

  void loadFailures_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    const QString saved = Path("example.2db");
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), saved, codePage_).ok);
    // The example's body ends with its record's multiline text (55 bytes),
    // then its folder (39 bytes).
    const QByteArray example = ReadBytes(saved);
    QTest::newRow("header 13") << QByteArray("\x0d\0\0\0", 4) + example.mid(4) << "header word 13";
    QTest::newRow("ends inside a record") << example.chopped(60) << "the file ends inside record 0";
    QTest::newRow("ends inside the settings")
        << Counts(0, 0, 0).chopped(8) << "the file ends inside the database settings";
    QTest::newRow("more records than bytes") << Counts(0, 3000, 0) << "3000 records";
    QTest::newRow("more forms than bytes") << Counts(32767, 0, 0) << "32767 forms";
  }

  // Forms with nothing in them take the fewest bytes a form can: the check
  // that a form count is backed by the file's bytes lets them all through.
  void formsOfTheFewestBytesLoad() {
    Database db;
    SetCount(db, kFormsKind, 200);
    for (int f = 0; f < db.FormCount; ++f) db.Forms[f].TitleElement = kDefaultTitleElement;
    SetCount(db, kFoldersKind, 0);
    SetCount(db, kRecordsKind, 0);
    const QString path = Path("empty-forms.2db");
    QCOMPARE(WriteDatabaseFile(db, path, codePage_).error, QString());
    const ReadOutcome read = Read(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.db.FormCount, 200);
  }

  void loadFailures() {
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    const QString path = Path("bad.2db");
    QVERIFY(WriteBytes(path, file));
    const ReadOutcome read = Read(path);
    QCOMPARE(read.status, ReadOutcome::kFailed);
    QVERIFY2(read.error.contains(error), qPrintable(read.error));
    QCOMPARE(read.db.FormCount + read.db.RecordCount + read.db.FolderCount, 0);
  }

  // Each row spoils the full-form database, and the save says why it refuses.
  void failedSaveKeepsThePreviousFile_data() {
    QTest::addColumn<Spoil>("spoil");
    QTest::addColumn<QString>("error");
    auto row = [](const char* name, Spoil spoil, const char* error) {
      QTest::newRow(name) << spoil << QString::fromLatin1(error);
    };
    row(
        "character the code page cannot hold",
        [](Database& db) { db.Records[2].MemoValue[3] = QString::fromUtf8("\u4e2d"); }, "U+4e2d");
    row(
        "text too long for a file",
        [](Database& db) { db.Folders[0].Name = QString(100001, QLatin1Char('n')); },
        "100001 characters");
    row(
        "protected without a password", [](Database& db) { db.PasswordOn = true; }, "password");
    row(
        "NUL in the password",
        [](Database& db) { db = Locked(db, QString::fromLatin1("\0secret", 7)); }, "NUL");
  }

  void failedSaveKeepsThePreviousFile() {
    QFETCH(Spoil, spoil);
    QFETCH(QString, error);
    const QString path = Path("keep.2db");
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), path, codePage_).ok);
    const QByteArray before = ReadBytes(path);
    Database db = FullFormDatabase();
    spoil(db);
    const WriteOutcome outcome = WriteDatabaseFile(db, path, codePage_);
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(error), qPrintable(outcome.error));
    QCOMPARE(ReadBytes(path), before);
    QCOMPARE(LeftoverTemps(QFileInfo(path).path()), QStringList());
  }

  // A link is saved through to its target; a name as long as the system
  // allows saves.
  void saveKeepsLinksAndLongNames() {
    QTemporaryDir dir;
    const QString target = dir.filePath("real.2db");
    const QString link = dir.filePath("link.2db");
    QCOMPARE(WriteDatabaseFile(TinyDatabase(), target, codePage_).error, QString());
    QVERIFY(QFile::link(target, link));
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), link, codePage_).ok);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(StoredDifference(Read(link).db, ExampleDatabase()), QString());
    const QString longName = dir.filePath(QString(250, QLatin1Char('n')) + QStringLiteral(".2db"));
    QVERIFY(WriteDatabaseFile(TinyDatabase(), longName, codePage_).ok);
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), longName, codePage_).ok);
    QCOMPARE(Read(longName).status, ReadOutcome::kLoaded);
    QCOMPARE(LeftoverTemps(dir.path()), QStringList());
  }
};

QTEST_GUILESS_MAIN(DatabaseFileTest)
#include "tst_database_file.moc"
