#include <QtTest>

#include "body_bytes.h"
#include "sample_databases.h"
#include "storage/database_commands.h"
#include "storage/database_file.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

// Plays the window: answers from its fields, and logs what it was asked.
class FakeUi : public StorageUi {
 public:
  explicit FakeUi(Database& db) : db_(db) {}

  QString openPath;
  QString savePath;
  QString password;
  MessageAnswer answer = kAnswerOk;
  bool iconsCopy = true;
  QStringList messages;
  QStringList recent;
  QList<int> progress;
  QStringList calls;

  QString AskOpenPath() override { return openPath; }
  QString AskSavePath() override { return savePath; }
  QString AskPassword() override {
    calls << QStringLiteral("password");
    return password;
  }
  MessageAnswer ShowMessage(const QString& text, int style) override {
    messages << QStringLiteral("%1|%2").arg(text, QString::number(style));
    return answer;
  }
  QString GetText(int group, int entry) override {
    // The repair and code page texts carry a place for their number or name.
    const bool takesANumberOrName = group == 962 && (entry == 0 || entry == 2 || entry == 4);
    const QString tail = takesANumberOrName ? QStringLiteral(" %1") : QString();
    return QStringLiteral("t%1/%2").arg(group).arg(entry) + tail;
  }
  void ShowProgress(int value, const QString&) override { progress << value; }
  void SetModified(bool value) override { db_.Modified = value; }
  void SetEventsSuppressed(bool value) override { suppressed = value; }
  void UpdateTitle() override { calls << QStringLiteral("title"); }
  void AddRecentFile(const QString& path) override { recent << path; }
  void NewDatabase() override {
    db_ = ExampleDatabase();
    calls << QStringLiteral("new");
  }
  bool CopyCompanionIcons(const QString&) override { return iconsCopy; }
  void EnsureIcons() override { calls << QStringLiteral("icons"); }
  void ShowDatabase() override { calls << QStringLiteral("show"); }
  void RefreshWindow() override { calls << QStringLiteral("refresh"); }

  bool suppressed = false;

 private:
  Database& db_;
};

const QString kFailedLoad = QStringLiteral("t500/0\rt500/1|48");
const QString kFailedLoadAfterPassword = QStringLiteral("t500/0\rt500/1\rt500/2|48");

}  // namespace

class DatabaseCommandsTest : public QObject {
  Q_OBJECT

 private:
  SampleFiles files_;

  QString Path(const QString& name) const { return files_.Path(name); }
  QString Saved(const Database& db, const QString& name) const { return files_.Saved(db, name); }

 private slots:
  void initTestCase() {
    QVERIFY(files_.IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  void saveOfANewDatabaseAsksForAPath() {
    Database db = ExampleDatabase();
    db.Modified = true;
    FakeUi ui(db);
    QVERIFY(!SaveDatabase(db, false, ui));
    QCOMPARE(db.DatabasePath, QStringLiteral("noname"));
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(db.Modified);

    ui.savePath = Path(QStringLiteral("Mixed Case.2db"));
    QVERIFY(SaveDatabase(db, false, ui));
    QCOMPARE(db.DatabasePath, ui.savePath);
    QCOMPARE(ui.recent, QStringList{ui.savePath});
    QVERIFY(!db.Modified);
    QCOMPARE(ui.progress, (QList<int>{0, 200}));
    QVERIFY(ui.calls.contains(QStringLiteral("title")));
  }

  void failedSaveSaysSoAndKeepsTheMark() {
    Database db = ExampleDatabase();
    db.DatabasePath = Path(QStringLiteral("missing/folder.2db"));
    db.Modified = true;
    FakeUi ui(db);
    QVERIFY(!SaveDatabase(db, false, ui));
    QCOMPARE(ui.messages, QStringList{QStringLiteral("Error while saving file|0")});
    QVERIFY(db.Modified);
    QCOMPARE(ui.progress.last(), 200);
    QVERIFY(ui.recent.isEmpty());
  }

  // A text the code page cannot hold is named before anything is written;
  // the user may save it with "?" or not save. NUL becomes a space either way.
  void unstorableTextsAreNamedBeforeSaving() {
    Database db = ExampleDatabase();
    db.Folders[0].Name = QString::fromUtf8("arrow \u2192");
    db.Records[0].TextValue[0] = QString::fromLatin1("a\0b", 3);
    db.DatabasePath = Path(QStringLiteral("arrow.2db"));
    db.Modified = true;
    FakeUi ui(db);
    ui.answer = kAnswerNo;
    QVERIFY(!SaveDatabase(db, false, ui));
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY2(ui.messages[0].contains(ui.DescribeForUser(db, TextPlace{TextPlace::kFolder, 0})), qPrintable(ui.messages[0]));
    QVERIFY(!QFile::exists(db.DatabasePath));
    QCOMPARE(db.Folders[0].Name, QString::fromUtf8("arrow \u2192"));

    ui.answer = kAnswerYes;
    QVERIFY(SaveDatabase(db, false, ui));
    QCOMPARE(db.Folders[0].Name, QStringLiteral("arrow ?"));
    QCOMPARE(db.Records[0].TextValue[0], QStringLiteral("a b"));
    CodePage codePage;
    QCOMPARE(StoredDifference(ReadDatabaseFile(db.DatabasePath, codePage, {}).db, db), QString());
  }

  // A model that would give a file that never opens again is not saved;
  // the message names what is wrong and the old file stays.
  void inconsistentModelIsNotSaved() {
    Database db = ExampleDatabase();
    const QString path = Saved(db, QStringLiteral("kept.2db"));
    const QByteArray before = ReadBytes(path);
    db.DatabasePath = path;
    db.Records[0].Folder = 7;
    FakeUi ui(db);
    QVERIFY(!SaveDatabase(db, false, ui));
    const ModelProblem problem{ModelProblem::kRecordFolder, 0, 7};
    QCOMPARE(ui.messages, QStringList{"t962/3\r" + ui.DescribeForUser(db, problem) + "|48"});
    QCOMPARE(ReadBytes(path), before);
  }

  // An older version's file opens repaired; the user is told how many
  // repairs were made and the database is marked modified.
  void loadTellsAboutRepairs() {
    Database db = ExampleDatabase();
    const QString path = Saved(db, QStringLiteral("own-parent.2db"));
    // The last folder ends with its parent (-1), "root" and 0: flipping the
    // stored bits of the parent makes the folder its own parent.
    QByteArray bytes = ReadBytes(path);
    for (qsizetype at : {bytes.size() - 17, bytes.size() - 16}) bytes[at] = static_cast<char>(bytes[at] ^ 0xFF);
    QVERIFY(WriteBytes(path, bytes));
    FakeUi ui(db);
    LoadDatabase(db, path, ui);
    QCOMPARE(db.DatabasePath, path);
    QCOMPARE(db.Folders[0].Parent, TopLevelParent);
    QCOMPARE(ui.messages, QStringList{QStringLiteral("t962/0 1|48")});
    QVERIFY(db.Modified);
  }

  void askSaveChanges_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveWorks");
    QTest::addColumn<bool>("goOn");
    QTest::newRow("yes, saved") << int(kAnswerYes) << true << true;
    QTest::newRow("yes, save failed") << int(kAnswerYes) << false << false;
    QTest::newRow("no") << int(kAnswerNo) << false << true;
    QTest::newRow("cancel") << int(kAnswerCancel) << true << false;
  }

  void askSaveChanges() {
    QFETCH(int, answer);
    QFETCH(bool, saveWorks);
    QFETCH(bool, goOn);
    Database db = ExampleDatabase();
    db.DatabasePath = Path(saveWorks ? QStringLiteral("ask.2db") : QStringLiteral("none/ask.2db"));
    FakeUi ui(db);
    ui.answer = MessageAnswer(answer);
    QVERIFY(AskSaveChanges(db, ui));
    QVERIFY(ui.messages.isEmpty());
    db.Modified = true;
    QCOMPARE(AskSaveChanges(db, ui), goOn);
    QCOMPARE(ui.messages.first(), QStringLiteral("t510/0|3"));
  }

  void loadReplacesTheModel() {
    const QString path = Saved(FullFormDatabase(), QStringLiteral("Load Me.2db"));
    Database db = ExampleDatabase();
    FakeUi ui(db);
    LoadDatabase(db, path, ui);
    QCOMPARE(StoredDifference(FullFormDatabase(), db), QString());
    QCOMPARE(db.DatabasePath, path);
    QCOMPARE(ui.recent, QStringList{path});
    QCOMPARE(ui.calls, (QStringList{QStringLiteral("icons"), QStringLiteral("show")}));
    QVERIFY(!ui.suppressed);
    QVERIFY(ui.messages.isEmpty());
  }

  void failedLoadKeepsTheOpenDatabase_data() {
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("iconsCopy");
    QTest::addColumn<QString>("message");
    QTest::newRow("damaged") << false << true << kFailedLoad;
    QTest::newRow("wrong password") << true << true << kFailedLoadAfterPassword;
    QTest::newRow("companion icons cannot be copied") << false << false << kFailedLoad;
  }

  void failedLoadKeepsTheOpenDatabase() {
    QFETCH(bool, locked);
    QFETCH(bool, iconsCopy);
    QFETCH(QString, message);
    Database source = FullFormDatabase();
    source.PasswordOn = locked;
    source.Password = QStringLiteral("right");
    const QString path = Saved(source, QStringLiteral("fail.2db"));
    if (!locked && iconsCopy) QVERIFY(QFile::resize(path, 40));
    Database db = FreeSlotDatabase();
    db.Modified = true;
    FakeUi ui(db);
    ui.answer = kAnswerNo;
    ui.password = QStringLiteral("wrong");
    ui.iconsCopy = iconsCopy;
    LoadDatabase(db, path, ui);
    QCOMPARE(ui.messages.last(), message);
    QVERIFY(!ui.calls.contains(QStringLiteral("new")));
    QCOMPARE(StoredDifference(FreeSlotDatabase(), db), QString());
    QVERIFY(db.Modified);
    QVERIFY(!ui.suppressed);
    QVERIFY(ui.recent.isEmpty());
  }

  void cancelledPasswordKeepsTheOpenDatabase() {
    const QString path = Saved(Locked(ExampleDatabase(), QStringLiteral("right")), QStringLiteral("locked.2db"));
    Database db = FullFormDatabase();
    db.Modified = true;
    FakeUi ui(db);
    ui.answer = kAnswerNo;
    LoadDatabase(db, path, ui);
    QCOMPARE(StoredDifference(FullFormDatabase(), db), QString());
    QVERIFY(db.Modified);
    QVERIFY(!ui.suppressed);
    QCOMPARE(ui.messages.size(), 1);
  }

  void importMergesAndMarksModified() {
    Database db = ExampleDatabase();
    FakeUi ui(db);
    ui.openPath = Saved(FullFormDatabase(), QStringLiteral("import.2db"));
    ImportDatabase(db, ui);
    QCOMPARE(db.FormCount, std::int16_t(3));
    QVERIFY(db.Modified);
    QCOMPARE(ui.calls, (QStringList{QStringLiteral("icons"), QStringLiteral("show")}));
    QVERIFY(ui.messages.isEmpty());
  }

  void failedImportLeavesTheDatabaseAsItWas() {
    Database db = ExampleDatabase();
    FakeUi ui(db);
    ui.openPath = Saved(FullFormDatabase(), QStringLiteral("bad-import.2db"));
    QVERIFY(QFile::resize(ui.openPath, 300));
    ImportDatabase(db, ui);
    QCOMPARE(StoredDifference(ExampleDatabase(), db), QString());
    QVERIFY(!db.Modified);
    QCOMPARE(ui.messages, QStringList{kFailedLoad});
    QVERIFY(!ui.suppressed);
  }
};

QTEST_GUILESS_MAIN(DatabaseCommandsTest)
#include "tst_database_commands.moc"
