#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QtTest>

#include "body_bytes.h"
#include "fake_file_commands_ui.h"
#include "sample_databases.h"
#include "shell/file_commands.h"
#include "storage/database_file.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

const QString kFailedLoad = QStringLiteral("t500/0\rt500/1|ok!");

}  // namespace

class DatabaseCommandsTest : public QObject, SampleFiles {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // A text the code page cannot hold is named before anything is written;
  // the user may save it with "?" (not the answer offered first) or not
  // save. NUL becomes a space either way.
  void unstorableTextsAreNamedBeforeSaving() {
    Database db = ExampleDatabase();
    db.Folders[0].Name = QString::fromUtf8("arrow \u2192");
    db.Records[0].TextValue[0] = QString::fromLatin1("a\0b", 3);
    db.DatabasePath = Path("arrow.2db");
    db.Modified = true;
    FakeUi ui(db);
    ui.answer = kAnswerNo;
    QVERIFY(!SaveDatabase(db, false, ui));
    QVERIFY2(ui.messages[0].contains(ui.DescribeForUser(db, TextPlace{TextPlace::kFolder, 0})),
             qPrintable(ui.messages[0]));
    QVERIFY2(ui.messages[0].endsWith("|yes-no! no"), qPrintable(ui.messages[0]));
    QVERIFY(!QFile::exists(db.DatabasePath));
    ui.answer = kAnswerYes;
    QVERIFY(SaveDatabase(db, false, ui));
    QCOMPARE(db.Folders[0].Name, QStringLiteral("arrow ?"));
    QCOMPARE(db.Records[0].TextValue[0], QStringLiteral("a b"));
  }

  // A refused save changes nothing when the password or the file refuses
  // it, and is told before any question about the texts.
  void refusedSaveChangesNothing_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("message");
    QTest::newRow("password outside the code page")
        << false << QStringLiteral("t968/0 windows-1252|ok!");
    QTest::newRow("write-protected file")
        << true << QStringLiteral("Error while saving file\rt974/0 %1|ok!");
  }

  void refusedSaveChangesNothing() {
    QFETCH(bool, readOnly);
    QFETCH(QString, message);
    Database db = FullFormDatabase();
    db.Folders[0].Name = QString::fromUtf8("arrow \u2192");
    db.Records[0].TextValue[0] = QString::fromLatin1("a\0b", 3);
    db.DatabasePath = Path(QStringLiteral("refused.2db"));
    db.Modified = true;
    if (!readOnly) db = Locked(db, QString::fromUtf8("\u043f\u0430\u0440\u043e\u043b\u044c"));
    if (readOnly) {
      Saved(ExampleDatabase(), "refused.2db");
      QVERIFY(QFile::setPermissions(db.DatabasePath,
                                    QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    const QByteArray before = ReadBytes(db.DatabasePath);
    const Database unchanged = db;
    FakeUi ui(db);
    ui.answer = kAnswerYes;
    QVERIFY(!SaveDatabase(db, false, ui));
    QCOMPARE(ui.messages, QStringList{readOnly ? message.arg(db.DatabasePath) : message});
    QCOMPARE(StoredDifference(db, unchanged), QString());
    QVERIFY(db.Modified);
    QCOMPARE(ReadBytes(db.DatabasePath), before);
    QFile::setPermissions(db.DatabasePath, QFile::ReadOwner | QFile::WriteOwner);
  }

  // A folder that takes no new file (immutable for root, who may write any
  // folder; without write permission for others): the file is written in
  // place and the user told that the safe way was not available.
  void folderTakingNoFileIsToldAbout() {
    const QString folder = Path("closed");
    QVERIFY(QDir().mkpath(folder));
    Database db = ExampleDatabase();
    db.DatabasePath = Saved(db, "closed/closed.2db");
    const bool root = ::geteuid() == 0;
    const auto close = [&](bool closed) {
      if (!root) return ::chmod(QFile::encodeName(folder).constData(), closed ? 0555 : 0755) == 0;
      return QProcess::execute(QStringLiteral("chattr"),
                               {closed ? QStringLiteral("+i") : QStringLiteral("-i"), folder}) == 0;
    };
    if (!close(true)) QSKIP("the folder cannot be closed to new files here");
    db.Folders[0].Name = QStringLiteral("written in place");
    db.Modified = true;
    FakeUi ui(db);
    const bool saved = SaveDatabase(db, false, ui);
    QVERIFY(close(false));
    QVERIFY(saved);
    QCOMPARE(ui.messages, QStringList{QStringLiteral("t974/3 %1|ok!").arg(db.DatabasePath)});
    QVERIFY(!db.Modified);
  }

  // What is merged is read in the open database's code page, not the language's.
  void mergeReadsInTheDatabasesCodePage() {
    CodePage cyrillic(QStringLiteral("windows-1251"));
    Database source = ExampleDatabase();
    source.Folders[0].Name = QString::fromUtf8("\u041f\u0430\u043f\u043a\u0430");
    Database db = FreeSlotDatabase();
    db.CodePageName = QStringLiteral("windows-1251");
    FakeUi ui(db);
    ui.openPath = Path("cyrillic.2db");
    QVERIFY(WriteDatabaseFile(source, ui.openPath, cyrillic).ok);
    ImportDatabase(db, ui);
    QCOMPARE(db.Folders[2].Name, source.Folders[0].Name);
  }

  // A model that would give a file that never opens again is not saved;
  // the message names what is wrong and the old file stays.
  void inconsistentModelIsNotSaved() {
    Database db = ExampleDatabase();
    const QString path = Saved(db, "kept.2db");
    const QByteArray before = ReadBytes(path);
    db.DatabasePath = path;
    db.Records[0].Folder = 7;
    FakeUi ui(db);
    QVERIFY(!SaveDatabase(db, false, ui));
    const ModelProblem problem{ModelProblem::kRecordFolder, 0, 7};
    QCOMPARE(ui.messages, QStringList{"t962/3\r" + ui.DescribeForUser(db, problem) + "|ok!"});
    QCOMPARE(ReadBytes(path), before);
  }

  // Yes to saving first, and the save fails: what was to follow does not.
  void failedSaveAfterTheQuestionStops() {
    Database db = ExampleDatabase();
    db.DatabasePath = Path("no folder/x.2db");
    FakeUi ui(db);
    ui.answer = kAnswerYes;
    QVERIFY(AskSaveChanges(db, ui));
    db.Modified = true;
    QVERIFY(!AskSaveChanges(db, ui));
    QCOMPARE(ui.messages.first(), QStringLiteral("t510/0|yes-no-cancel"));
  }

  // A password is asked only of a protected file: three times at the most,
  // with "try again" between, and not again once the user gives up. A merge
  // asks between its attempts, so only the one the password opens changes
  // the database.
  void passwordsAreAskedUntilOneOpensOrTheUserGivesUp() {
    const QString locked = Saved(Locked(FullFormDatabase(), "right"), QStringLiteral("locked.2db"));
    Database db = FreeSlotDatabase();
    FakeUi ui(db);
    ui.passwords = QStringList{"one", "two", "three", "right"};
    LoadDatabase(db, locked, ui);
    QCOMPARE(ui.passwords, QStringList{"right"});
    QCOMPARE(ui.messages.size(), 3);
    for (const int wrong : {0, 1}) QVERIFY(ui.messages[wrong].startsWith("t500/0\rt986/20"));
    QCOMPARE(ui.messages[2], QStringLiteral("t500/0\rt500/1\rt500/2|ok!"));
    QCOMPARE(StoredDifference(FreeSlotDatabase(), db), QString());

    ui.messages.clear();
    ui.passwords = QStringList{"", "right"};
    LoadDatabase(db, locked, ui);
    QCOMPARE(ui.passwords, QStringList{"right"});
    QCOMPARE(ui.messages, QStringList());
    LoadDatabase(db, Saved(FullFormDatabase(), QStringLiteral("open.2db")), ui);
    QCOMPARE(ui.passwords, QStringList{"right"});

    const int folders = db.FolderCount;
    ui.openPath = locked;
    ui.passwords = QStringList{"wrong", "right"};
    ImportDatabase(db, ui);
    QCOMPARE(ui.passwords, QStringList());
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(db.FolderCount, 2 * folders);
  }

  // Whatever the user answered to saving first, the open database stays.
  void failedLoadKeepsTheOpenDatabase_data() {
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("iconsCopy");
    QTest::addColumn<QString>("lastMessage");
    QTest::newRow("damaged") << false << QString() << true << kFailedLoad;
    QTest::newRow("wrong password")
        << true << "wrong" << true << QStringLiteral("t500/0\rt500/1\rt500/2|ok!");
    QTest::newRow("companion icons cannot be copied") << false << QString() << false << kFailedLoad;
  }

  void failedLoadKeepsTheOpenDatabase() {
    QFETCH(bool, locked);
    QFETCH(QString, password);
    QFETCH(bool, iconsCopy);
    const Database source = FullFormDatabase();
    const QString path =
        Saved(locked ? Locked(source, "right") : source, QStringLiteral("fail.2db"));
    if (!locked && iconsCopy) QVERIFY(QFile::resize(path, 40));
    Database db = FreeSlotDatabase();
    db.Modified = true;
    FakeUi ui(db);
    ui.answer = kAnswerNo;
    ui.password = password;
    ui.iconsCopy = iconsCopy;
    LoadDatabase(db, path, ui);
    QTEST(ui.messages.last(), "lastMessage");
    QCOMPARE(StoredDifference(FreeSlotDatabase(), db), QString());
    QVERIFY(db.Modified);
  }
};

QTEST_GUILESS_MAIN(DatabaseCommandsTest)
#include "tst_file_commands.moc"
