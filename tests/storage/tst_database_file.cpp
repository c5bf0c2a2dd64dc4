#include <QTemporaryDir>
#include <QtTest>

#include "body_bytes.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/model_invariants.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr std::int32_t kSystemWindow = static_cast<std::int32_t>(0x80000005u);
constexpr std::int32_t kSystemText = static_cast<std::int32_t>(0x80000008u);

void EmptySlot(BodyBytes& b) {
  b.I(0).I(0).I(0).I(0).S("").I(0).L(0).L(0).B(false).I(0).Font("", false, false, 0);
}

// The type's property fields of a slot holding zeros.
void EmptyProperty(BodyBytes& b, int t) {
  switch (t) {
    case kLabel:
    case kCombo:
      b.S("");
      break;
    case kButton:
    case kMultiline:
      b.I(0);
      break;
    default:
      b.I(0).I(0);
  }
}

// A form of empty slots with the given element counts.
void PlainForm(BodyBytes& b, std::array<std::int16_t, kElementTypeCount> counts, std::int16_t title = 2000) {
  b.I(title).L(0).I(0).I(0).S("").S("").I(0).L(0).L(0).I(0);
  for (std::int16_t n : counts) b.I(n);
  for (int t = 0; t < kElementTypeCount; ++t) {
    for (int k = 0; k <= counts[t]; ++k) {
      EmptySlot(b);
      EmptyProperty(b, t);
    }
  }
}

void Settings(BodyBytes& b) { b.I(2500).I(20).I(0).Font("Arial", false, false, 10); }

// One plain form with a text element, the settings, then the counts.
BodyBytes BodyUpToRecords(std::int16_t records, std::int16_t folders) {
  BodyBytes b;
  b.I(1);
  PlainForm(b, {0, 0, 1, 0, 0, 0, 0});
  Settings(b);
  b.I(records).I(folders);
  return b;
}

QString NoPassword() { return {}; }

// Temporary files a save left in folder.
QStringList LeftoverTemps(const QString& folder) {
  return QDir(folder).entryList({QStringLiteral(".orbo-*")}, QDir::Files | QDir::Hidden | QDir::System);
}

}  // namespace

class DatabaseFileTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  CodePage codePage_;

  QString Path(const QString& name) const { return dir_.filePath(name); }

  ReadOutcome Read(const QString& path, const QString& password = {}) {
    return ReadDatabaseFile(path, codePage_, [password] { return password; });
  }

  Database ReadBack(const Database& db, const QString& name) {
    const QString path = Path(name);
    const WriteOutcome written = WriteDatabaseFile(db, path, codePage_);
    if (!written.ok) qWarning() << written.error;
    ReadOutcome read = Read(path, db.Password);
    if (read.status != ReadOutcome::kLoaded) qWarning() << read.error;
    return read.db;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  void tinyDatabaseIsStoredFieldByField() {
    BodyBytes b;
    b.I(1);
    // Form header: title element, colour, border, height, icon, name,
    // width, print offsets, shadow, element counts.
    b.I(2000).L(kSystemWindow).I(1).I(4500).S("record").S("F").I(6000).L(200).L(200).I(1);
    b.I(0).I(0).I(1).I(0).I(0).I(0).I(0);
    // Image: the free slot 0, then image size and double-click action.
    EmptySlot(b);
    b.I(1).I(2);
    // Label: free slot with its tool tip.
    EmptySlot(b);
    b.S("tip");
    // Text: slot 0 (height, width, left, top, name, border, fore and back
    // colour, transparent, alignment, font), quick enter, password field;
    // then the free slot 1.
    b.I(250).I(5000).I(500).I(500).S("T").I(2).L(kSystemText).L(kSystemWindow).B(false).I(2);
    b.Font("Arial", true, false, 10).I(1).I(0);
    EmptySlot(b);
    b.I(0).I(0);
    // Button action, combo list, flag at right then appearance, text limit.
    EmptySlot(b);
    b.I(3);
    EmptySlot(b);
    b.S("a\r\nb");
    EmptySlot(b);
    b.I(1).I(0);
    EmptySlot(b);
    b.I(7);
    // Settings and font, record and folder counts.
    b.I(2500).I(20).I(0).Font("Arial", false, true, 9);
    b.I(2).I(1);
    // Records: form, folder, then the one text value; a free slot too.
    b.I(0).I(0).S("Hi \xe9");
    b.I(0).I(-100).S("");
    // Folder: name, parent, icon, reserved.
    b.S("Root").I(-1).S("root").I(0);

    const QString path = Path(QStringLiteral("tiny.2db"));
    QVERIFY(WriteDatabaseFile(TinyDatabase(), path, codePage_).ok);
    QCOMPARE(ReadBytes(path).toHex(), FileBytes(11, b.bytes).toHex());
  }

  void passwordDecidesHeaderAndKey() {
    Database db;
    ClearDatabase(db, Arial());
    db.Password = QStringLiteral("secret");
    const QString path = Path(QStringLiteral("key.2db"));
    BodyBytes b;
    b.I(0).I(2500).I(20).I(0).Font("Arial", false, false, 10).I(0).I(0);

    QVERIFY(WriteDatabaseFile(db, path, codePage_).ok);
    QCOMPARE(ReadBytes(path).toHex(), FileBytes(11, b.bytes).toHex());

    db.PasswordOn = true;
    QVERIFY(WriteDatabaseFile(db, path, codePage_).ok);
    QCOMPARE(ReadBytes(path).toHex(), FileBytes(12, b.bytes, "secret").toHex());
  }

  void roundTrip_data() {
    QTest::addColumn<int>("sample");
    QTest::addColumn<QString>("password");
    QTest::newRow("empty") << 0 << QString();
    QTest::newRow("example") << 1 << QString();
    QTest::newRow("16 elements per type, non-ASCII names") << 2 << QString();
    QTest::newRow("free slots") << 3 << QString();
    QTest::newRow("password, ASCII names") << 4 << QStringLiteral("secret");
    QTest::newRow("password, non-ASCII names") << 2 << QString::fromUtf8("p\u00e4ss");
    QTest::newRow("large") << 5 << QString();
    QTest::newRow("large with password") << 5 << QStringLiteral("secret");
  }

  void roundTrip() {
    QFETCH(int, sample);
    QFETCH(QString, password);
    Database db;
    switch (sample) {
      case 0:
        ClearDatabase(db, Arial());
        break;
      case 1:
        db = ExampleDatabase();
        break;
      case 2:
        db = FullFormDatabase();
        break;
      case 3:
        db = FreeSlotDatabase();
        break;
      case 4:
        db = TinyDatabase();
        break;
      default:
        db = LargeDatabase();
        break;
    }
    db.PasswordOn = !password.isEmpty();
    db.Password = password;
    const QString path = Path(QStringLiteral("round.2db"));
    QVERIFY(WriteDatabaseFile(db, path, codePage_).ok);
    ReadOutcome read = Read(path, db.Password);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.status, ReadOutcome::kLoaded);
    QCOMPARE(StoredDifference(db, read.db), QString());
    QCOMPARE(read.db.DatabasePath, path);
    QCOMPARE(read.db.PasswordOn, db.PasswordOn);
    QCOMPARE(read.db.Password, db.PasswordOn ? db.Password : QString());
    QCOMPARE(read.db.BufferCount, db.BufferCount);
    QCOMPARE(LeftoverTemps(dir_.path()), QStringList());
    if (sample == 5) QVERIFY(QFileInfo(path).size() > 3 * 500000);
  }

  void stringRecordMayDisagreeWithItsCount() {
    // A count above the record's length keeps spaces; below it cuts the
    // text; either way the next items still read in step.
    BodyBytes b = BodyUpToRecords(2, 1);
    b.I(0).I(0).L(5).RecordOnly("ab");
    b.I(0).I(0).L(2).RecordOnly("abcdef");
    b.S("Root").I(-1).S("root").I(0);
    const QString path = Path(QStringLiteral("counts.2db"));
    QVERIFY(WriteBytes(path, FileBytes(11, b.bytes)));
    ReadOutcome read = Read(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.db.Records[0].TextValue[0], QStringLiteral("ab   "));
    QCOMPARE(read.db.Records[1].TextValue[0], QStringLiteral("ab"));
    QCOMPARE(read.db.Folders[0].Name, QStringLiteral("Root"));
  }

  // What older files may hold is mended on load, never dropped, and the
  // writer refuses to write it again.
  void repairsOnLoad_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("kind");  // 0 record, 1 folder, 2 title
    const auto folders = [](BodyBytes b, std::vector<std::int16_t> parents) {
      for (std::int16_t parent : parents) b.S("F").I(parent).S("root").I(0);
      return b;
    };
    {
      BodyBytes b = BodyUpToRecords(2, 1);
      b.I(0).I(0).S("kept").I(0).I(-98).S("orphan");
      QTest::newRow("record in no folder") << FileBytes(11, folders(b, {-1}).bytes) << 0;
    }
    QTest::newRow("parent of no folder") << FileBytes(11, folders(BodyUpToRecords(0, 2), {-1, 7}).bytes) << 1;
    QTest::newRow("parents in a loop")
        << FileBytes(11, folders(BodyUpToRecords(0, 3), {-1, 2, 1}).bytes) << 1;
    QTest::newRow("own parent") << FileBytes(11, folders(BodyUpToRecords(0, 1), {0}).bytes) << 1;
    {
      BodyBytes b;
      b.I(1);
      PlainForm(b, {0, 0, 1, 0, 0, 0, 0}, 4007);
      Settings(b);
      b.I(0).I(0);
      QTest::newRow("title of no element") << FileBytes(11, b.bytes) << 2;
    }
  }

  void repairsOnLoad() {
    QFETCH(QByteArray, file);
    QFETCH(int, kind);
    const QString path = Path(QStringLiteral("old.2db"));
    QVERIFY(WriteBytes(path, file));
    const ReadOutcome read = ReadDatabaseFile(path, codePage_, NoPassword, {}, RepairNames{"Found", {}});
    QCOMPARE(read.error, QString());
    QCOMPARE(read.repairs.Total(), 1);
    QCOMPARE(FindModelProblems(read.db), std::vector<ModelProblem>{});
    const Database& db = read.db;
    switch (kind) {
      case 0:
        QCOMPARE(db.RecordCount, std::int16_t(2));
        QCOMPARE(db.Records[0].Folder, std::int16_t(0));
        QCOMPARE(db.Folders[1].Name, QStringLiteral("Found"));
        QCOMPARE(db.Folders[1].Parent, TopLevelParent);
        QCOMPARE(db.Records[1].Folder, std::int16_t(1));
        QCOMPARE(db.Records[1].TextValue[0], QStringLiteral("orphan"));
        break;
      case 1:
        QCOMPARE(db.Folders[1].Parent, TopLevelParent);
        break;
      default:
        QCOMPARE(db.Forms[0].TitleElement, std::int16_t(2000));
        break;
    }
    // What was repaired saves and loads back equal.
    QCOMPARE(StoredDifference(ReadBack(db, QStringLiteral("repaired.2db")), db), QString());
  }

  void loadFailures_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("where");
    const auto folder = [](BodyBytes b) { return b.S("Root").I(-1).S("root").I(0); };

    QTest::newRow("header 13") << FileBytes(13, BodyUpToRecords(0, 0).bytes) << "header word 13";
    QTest::newRow("shorter than the header") << QByteArray("\x0b\x00", 2) << "header";
    QTest::newRow("empty body") << FileBytes(11, {}) << "form count";
    {
      BodyBytes b = BodyUpToRecords(1, 1);
      b.I(0).I(0).S("x");
      QTest::newRow("ends inside a record") << FileBytes(11, b.bytes) << "the file ends";
    }
    QByteArray whole = FileBytes(11, folder(BodyUpToRecords(0, 1)).bytes);
    QTest::newRow("ends inside the folders") << whole.left(whole.size() - 1) << "the folders";
    QTest::newRow("bytes after the last folder") << whole + "junk"
                                                 << "4 bytes follow";
    QTest::newRow("negative form count")
        << FileBytes(11, BodyBytes().I(-1).bytes) << "form count -1";
    QTest::newRow("negative record count")
        << FileBytes(11, BodyUpToRecords(-2, 0).bytes) << "record count -2";
    QTest::newRow("negative folder count")
        << FileBytes(11, BodyUpToRecords(0, -3).bytes) << "folder count -3";
    QTest::newRow("counts the file cannot hold")
        << FileBytes(11, BodyUpToRecords(3000, 0).bytes) << "3000 records";
    {
      BodyBytes b;
      b.I(1);
      PlainForm(b, {0, 0, 17, 0, 0, 0, 0});
      QTest::newRow("17 elements") << FileBytes(11, b.bytes) << "element count 17";
      BodyBytes n;
      n.I(1);
      PlainForm(n, {0, -1, 0, 0, 0, 0, 0});
      QTest::newRow("negative element count") << FileBytes(11, n.bytes) << "element count -1";
    }
    {
      BodyBytes b = BodyUpToRecords(1, 1);
      b.I(1).I(0);
      QTest::newRow("record of no form") << FileBytes(11, folder(b).bytes) << "record 0: form 1";
    }
    {
      BodyBytes b = BodyUpToRecords(1, 0);
      b.I(0).I(-100).L(100001);
      QTest::newRow("text longer than a record") << FileBytes(11, b.bytes) << "length 100001";
      BodyBytes n = BodyUpToRecords(1, 0);
      n.I(0).I(-100).L(-5);
      QTest::newRow("negative text length") << FileBytes(11, n.bytes) << "length -5";
    }
    {
      BodyBytes b = BodyUpToRecords(1, 0);
      b.I(0).I(-100).L(2).L(2).Raw("Xab");
      QTest::newRow("damaged string record") << FileBytes(11, b.bytes) << "damaged in record 0";
    }
  }

  void loadFailures() {
    QFETCH(QByteArray, file);
    QFETCH(QString, where);
    const QString path = Path(QStringLiteral("bad.2db"));
    QVERIFY(WriteBytes(path, file));
    const ReadOutcome read = Read(path);
    QCOMPARE(read.status, ReadOutcome::kFailed);
    QVERIFY2(read.error.contains(where), qPrintable(read.error));
    QCOMPARE(read.db.FormCount, std::int16_t(0));
    QCOMPARE(read.db.RecordCount, std::int16_t(0));
  }

  void wrongPasswordFails_data() {
    QTest::addColumn<bool>("large");
    QTest::newRow("small") << false;
    QTest::newRow("large") << true;
  }

  void wrongPasswordFails() {
    QFETCH(bool, large);
    const Database db = Locked(large ? LargeDatabase() : TinyDatabase(), QStringLiteral("right one"));
    const QString path = Path(QStringLiteral("locked.2db"));
    QVERIFY(WriteDatabaseFile(db, path, codePage_).ok);
    const ReadOutcome read = Read(path, QStringLiteral("wrong one"));
    QCOMPARE(read.status, ReadOutcome::kFailed);
    QVERIFY(read.askedPassword);
  }

  void emptyPasswordCancels() {
    const Database db = Locked(TinyDatabase(), QStringLiteral("secret"));
    const QString path = Path(QStringLiteral("cancel.2db"));
    QVERIFY(WriteDatabaseFile(db, path, codePage_).ok);
    const ReadOutcome read = ReadDatabaseFile(path, codePage_, NoPassword);
    QCOMPARE(read.status, ReadOutcome::kCancelled);
    QVERIFY(read.askedPassword);
  }

  void failedSaveKeepsThePreviousFile_data() {
    QTest::addColumn<int>("fault");
    QTest::newRow("temporary cannot be created") << 0;
    QTest::newRow("writing fails") << 1;
    QTest::newRow("character the code page cannot hold") << 2;
    QTest::newRow("text too long for a file") << 3;
    QTest::newRow("record of no form") << 4;
    QTest::newRow("element count out of range") << 5;
    QTest::newRow("protected without a password") << 6;
    QTest::newRow("NUL in the password") << 7;
    QTest::newRow("record in no folder") << 8;
    QTest::newRow("folders in a loop") << 9;
    QTest::newRow("title of no element") << 10;
  }

  void failedSaveKeepsThePreviousFile() {
    QFETCH(int, fault);
    const QString path = Path(QStringLiteral("keep.2db"));
    const QString temp = Path(QStringLiteral("temp"));
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), path, codePage_).ok);
    const QByteArray before = ReadBytes(path);

    Database db = FullFormDatabase();
    switch (fault) {
      case 0:
        QVERIFY(QDir().mkpath(temp));
        break;
      case 1:
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), temp));
        break;
      case 2:
        db.Records[2].MemoValue[3] = QString::fromUtf8("\u4e2d");
        break;
      case 3:
        db.Folders[0].Name = QString(100001, QLatin1Char('n'));
        break;
      case 4:
        db.Records[1].Form = 9;
        break;
      case 5:
        db.Forms[1].ElementCount[kFlag] = 17;
        break;
      case 6:
        db.PasswordOn = true;
        break;
      case 7:
        db.PasswordOn = true;
        db.Password = QString::fromLatin1("\0secret", 7);
        break;
      case 8:
        db.Records[1].Folder = 99;
        break;
      case 9:
        db.Folders[0].Parent = static_cast<std::int16_t>(db.FolderCount - 1);
        db.Folders[db.FolderCount - 1].Parent = 0;
        break;
      default:
        db.Forms[0].TitleElement = 1000;
        break;
    }
    // The first two faults strike the temporary file.
    const TempFileFn createTemp = [&](const QString& target) { return fault < 2 ? temp : CreateTempBeside(target); };
    const WriteOutcome outcome = WriteDatabaseFile(db, path, codePage_, {}, createTemp);
    QVERIFY(!outcome.ok);
    QVERIFY(!outcome.error.isEmpty());
    QCOMPARE(ReadBytes(path), before);
    if (fault == 0) {
      QVERIFY(QDir(temp).removeRecursively());
    } else {
      QVERIFY(!QFileInfo::exists(temp) && !QFileInfo(temp).isSymLink());
    }
    QCOMPARE(LeftoverTemps(dir_.path()), QStringList());
    if (fault == 2)
      QVERIFY2(outcome.error.contains(QStringLiteral("U+4e2d")), qPrintable(outcome.error));
  }

  // A link is saved through to its target; the user's own files beside the
  // database are never touched; a name as long as the system allows saves;
  // the file keeps its permissions.
  void saveKeepsLinksNamesAndPermissions() {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("real.2db"));
    const QString link = dir.filePath(QStringLiteral("link.2db"));
    QCOMPARE(WriteDatabaseFile(TinyDatabase(), target, codePage_).error, QString());
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(target, link));
    const QString userFile = link + QStringLiteral(".saving");
    QVERIFY(WriteBytes(userFile, "the user's own"));

    QVERIFY(WriteDatabaseFile(ExampleDatabase(), link, codePage_).ok);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(StoredDifference(Read(link).db, ExampleDatabase()), QString());
    const QFile::Permissions ownerGroupOther(0x7077);
    QCOMPARE(QFile::permissions(target) & ownerGroupOther, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QCOMPARE(ReadBytes(userFile), QByteArray("the user's own"));

    const QString longName = dir.filePath(QString(250, QLatin1Char('n')) + QStringLiteral(".2db"));
    QVERIFY(WriteDatabaseFile(TinyDatabase(), longName, codePage_).ok);
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), longName, codePage_).ok);
    QCOMPARE(Read(longName).status, ReadOutcome::kLoaded);
    QCOMPARE(LeftoverTemps(dir.path()), QStringList());
  }

  void progressEveryHundredRecords() {
    Database db = ExampleDatabase();
    SetCount(db, kRecordsKind, 250);
    for (int r = 0; r < 250; ++r) db.Records[r] = db.Records[0];
    QList<int> saved;
    QList<int> loaded;
    const QString path = Path(QStringLiteral("progress.2db"));
    QVERIFY(WriteDatabaseFile(db, path, codePage_, RecordProgress([&](int v) { saved << v; })).ok);
    QCOMPARE(
        ReadDatabaseFile(path, codePage_, NoPassword, RecordProgress([&](int v) { loaded << v; }))
            .status,
        ReadOutcome::kLoaded);
    const QList<int> expected{0, 40, 80, 200};
    QCOMPARE(saved, expected);
    QCOMPARE(loaded, expected);
  }
};

QTEST_GUILESS_MAIN(DatabaseFileTest)
#include "tst_database_file.moc"
