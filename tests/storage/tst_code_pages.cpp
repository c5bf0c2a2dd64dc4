#include <QtTest>

#include "../shell/fake_file_commands_ui.h"
#include "../test_files.h"
#include "sample_databases.h"
#include "shell/file_commands.h"
#include "storage/code_page_detection.h"
#include "storage/database_file.h"
#include "storage/file_paths.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

const QString kLatin1252 = QStringLiteral("windows-1252");
const QString kCyrillic1251 = QStringLiteral("windows-1251");
const QStringList kUmlauts{QString::fromUtf8("Kaktus \u00e4rger"),
                           QString::fromUtf8("Wintergarten (S\u00fcd)"),
                           QString::fromUtf8("drau\u00dfen")};
const QStringList kCyrillic{
    QString::fromUtf8("\u041f\u0430\u043f\u043a\u0430"),
    QString::fromUtf8("\u0421\u0430\u0434 \u0438 \u043e\u0433\u043e\u0440\u043e\u0434"),
    QString::fromUtf8("\u0441\u0435\u043c\u0435\u043d\u0430")};

// The example database with texts in a folder, a form and a record.
Database WithTexts(const QStringList& texts) {
  Database db = ExampleDatabase();
  db.Folders[0].Name = texts[0];
  db.Forms[0].Name = texts[1];
  db.Records[0].TextValue[0] = texts[2];
  return db;
}

QStringList TextsOf(const Database& db) {
  return {db.Folders[0].Name, db.Forms[0].Name, db.Records[0].TextValue[0]};
}

}  // namespace

class CodePagesTest : public QObject, SampleFiles {
  Q_OBJECT

  // The texts written in codePage into a file of that name.
  QString Written(const QStringList& texts, const QString& codePage) {
    CodePage page(codePage);
    const QString path = CanonicalFilePath(Path(codePage + ".2db"));
    if (!WriteDatabaseFile(WithTexts(texts), path, page).ok) return {};
    return path;
  }

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // Re-reading texts in another code page takes their bytes back from the
  // first: every byte must come back as itself.
  void everyByteRoundTripsInTheKnownCodePages() {
    QByteArray all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    for (const QString& name : KnownCodePages()) {
      CodePage page(name);
      QByteArray again;
      QVERIFY2(page.Encode(page.Decode(all.constData(), static_cast<int>(all.size())), &again),
               qPrintable(name));
      QCOMPARE(again, all);
    }
  }

  // Written in English, read with the Russian language chosen: the code
  // page the program remembers for the file, or else the one its texts tell.
  void umlautsComeBackWhateverTheLanguage_data() {
    QTest::addColumn<bool>("remembered");
    QTest::newRow("remembered") << true;
    QTest::newRow("detected") << false;
  }

  void umlautsComeBackWhateverTheLanguage() {
    QFETCH(bool, remembered);
    const QString path = Written(kUmlauts, kLatin1252);
    QVERIFY(!path.isEmpty());
    const QByteArray bytes = ReadBytes(path);
    Database db = FreeSlotDatabase();
    FakeUi ui(db);
    ui.language = kCyrillic1251;
    if (remembered) ui.codePages[path] = kLatin1252;
    LoadDatabase(db, path, ui);
    QCOMPARE(TextsOf(db), kUmlauts);
    QCOMPARE(db.CodePageName, kLatin1252);
    QCOMPARE(ui.codePages.value(path), kLatin1252);
    QVERIFY(!db.Modified);
    QCOMPARE(ReadBytes(path), bytes);
  }

  void cyrillicFileIsDetectedAs1251() {
    const QString path = Written(kCyrillic, kCyrillic1251);
    QVERIFY(!path.isEmpty());
    Database db = FreeSlotDatabase();
    FakeUi ui(db);
    LoadDatabase(db, path, ui);
    QCOMPARE(TextsOf(db), kCyrillic);
    QCOMPARE(db.CodePageName, kCyrillic1251);
  }

  // What the program remembers wins over what the texts seem: the user may
  // have chosen it.
  void rememberedCodePageIsNotSecondGuessed() {
    const QString path = Written(kUmlauts, kLatin1252);
    Database db = FreeSlotDatabase();
    FakeUi ui(db);
    ui.codePages[path] = kCyrillic1251;
    LoadDatabase(db, path, ui);
    QCOMPARE(db.CodePageName, kCyrillic1251);
    QCOMPARE(db.Folders[0].Name, QString::fromUtf8("Kaktus \u0434rger"));
  }

  // Texts that read alike in every code page keep the language's; so do
  // those of a protected file whose password would be other bytes, another
  // key, in the code page its texts tell. An ASCII password is no obstacle.
  void languageCodePageWhenTheTextsDoNotTell() {
    CodePage cyrillic(kCyrillic1251);
    const Database ascii = WithTexts({"plain", "words", "only"});
    QCOMPARE(DetectCodePage(ascii, cyrillic, KnownCodePages()), kCyrillic1251);
    Database locked = WithTexts(kCyrillic);
    locked.PasswordOn = true;
    // Byte 0x88: the euro sign in windows-1251, a circumflex in windows-1252.
    locked.Password = QString::fromUtf8("\u20ac1");
    const QString path = CanonicalFilePath(Path("locked.2db"));
    QVERIFY(WriteDatabaseFile(locked, path, cyrillic).ok);
    CodePage reading(kLatin1252);
    const ReadOutcome read =
        ReadDatabaseFile(path, reading, QString::fromUtf8("\u02c61"), {}, {}, KnownCodePages());
    QCOMPARE(read.status, ReadOutcome::kLoaded);
    QCOMPARE(read.db.CodePageName, kLatin1252);
    locked.Password = QStringLiteral("open up");
    QVERIFY(WriteDatabaseFile(locked, path, cyrillic).ok);
    Database db = FreeSlotDatabase();
    FakeUi ui(db);
    ui.password = QStringLiteral("open up");
    LoadDatabase(db, path, ui);
    QCOMPARE(TextsOf(db), kCyrillic);
    QCOMPARE(db.CodePageName, kCyrillic1251);
  }

  // Read again as another code page: only the decoder changes; the file's
  // bytes stay, the choice is remembered, and the way back gives the texts.
  void readAgainAs() {
    const QString path = Written(kUmlauts, kLatin1252);
    const QByteArray bytes = ReadBytes(path);
    Database db = FreeSlotDatabase();
    FakeUi ui(db);
    LoadDatabase(db, path, ui);
    QVERIFY(ReadAgainAs(db, kCyrillic1251, ui));
    QCOMPARE(db.CodePageName, kCyrillic1251);
    QCOMPARE(db.Records[0].TextValue[0], QString::fromUtf8("drau\u042fen"));
    QCOMPARE(ui.codePages.value(path), kCyrillic1251);
    QVERIFY(!db.Modified);
    QVERIFY(ReadAgainAs(db, kLatin1252, ui));
    QCOMPARE(TextsOf(db), kUmlauts);
    QCOMPARE(ReadBytes(path), bytes);
    Database fresh = ExampleDatabase();
    fresh.DatabasePath = QStringLiteral("noname");
    QVERIFY(!ReadAgainAs(fresh, kLatin1252, ui));
    ui.messages.clear();
    QVERIFY(!ReadAgainAs(db, QStringLiteral("no-such-page"), ui));
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(TextsOf(db), kUmlauts);
  }

  // A save remembers the code page the file was written in.
  void saveRemembersTheCodePage() {
    Database db = WithTexts(kCyrillic);
    db.CodePageName = kCyrillic1251;
    db.DatabasePath = CanonicalFilePath(Path("saved.2db"));
    db.Modified = true;
    FakeUi ui(db);
    QVERIFY(SaveDatabase(db, false, ui));
    QCOMPARE(ui.codePages.value(db.DatabasePath), kCyrillic1251);
  }
};

QTEST_GUILESS_MAIN(CodePagesTest)
#include "tst_code_pages.moc"
