// Saves that fail part-way, through the program's save command. The library
// is the variant whose writes a test can fail (see orboinout/write_faults.h).
#include <QAction>
#include <QLibrary>
#include <QtTest>

#include "../test_files.h"
#include "app/app.h"
#include "app/main_window.h"
#include "orboinout/write_faults.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "test_install.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr qint64 kChunk = 500000;
constexpr qint64 kHeaderBytes = 4;

// What a save is told to suffer: the n-th write fails, or the disk fills
// after so many bytes.
struct Fault {
  std::int32_t failingWrite = -1;
  std::int64_t byteLimit = -1;
  QString Describe() const {
    return failingWrite > 0 ? QStringLiteral("write %1 fails").arg(failingWrite)
                            : QStringLiteral("the disk fills after %1 bytes").arg(byteLimit);
  }
};

}  // namespace

class FailingSavesTest : public QObject {
  Q_OBJECT

 private slots:
  // At every write and every chunk boundary: the old file stays as it was, no temporary is left,
  // the user is told and the database stays modified; the save after the faults writes the changes.
  void failedSaveKeepsTheOldFile() {
    TestInstall install;
    stream::SetLibraryFolder(QStringLiteral(ORBO_WRITE_FAULTS_DIR));
    QLibrary library(QStringLiteral(ORBO_WRITE_FAULTS_DIR "/orboinout"));
    const auto failWrites =
        reinterpret_cast<decltype(&oioTestFailWrites)>(library.resolve("oioTestFailWrites"));
    QVERIFY2(failWrites, qPrintable(library.errorString()));

    CodePage codePage;
    const QString folder = install.Path(QStringLiteral("saves"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/large.2db");
    QVERIFY(WriteDatabaseFile(LargeDatabase(), path, codePage).ok);
    const QByteArray before = ReadBytes(path);

    FakeDialogs dialogs;
    App app(install.Path(), install.SettingsPath(), dialogs);
    QVERIFY(app.Main(path));
    QCOMPARE(app.db.RecordCount, LargeDatabase().RecordCount);
    app.db.Folders[0].Name = QStringLiteral("Changed before the save");
    app.Storage().SetModified(true);

    // How many writes a whole save makes.
    const QString copy = install.Path(QStringLiteral("copy.2db"));
    failWrites(-1, -1);
    QVERIFY(WriteDatabaseFile(app.db, copy, codePage).ok);
    const std::int32_t writes = failWrites(-1, -1);
    const qint64 size = QFileInfo(copy).size();
    QVERIFY(QFile::remove(copy));
    QVERIFY(writes > 3);

    QList<Fault> faults;
    for (std::int32_t w = 1; w <= writes; ++w) faults << Fault{w, -1};
    for (qint64 boundary = kHeaderBytes; boundary < size; boundary += kChunk) {
      for (qint64 limit : {boundary - 1, boundary, boundary + 1})
        faults << Fault{-1, std::max<qint64>(limit, 0)};
    }

    QAction* save = app.Parts().Window().Commands().Menu("mnuSave");
    for (const Fault& fault : faults) {
      dialogs.messages.clear();
      failWrites(fault.failingWrite, fault.byteLimit);
      save->trigger();
      failWrites(-1, -1);
      const QByteArray what = fault.Describe().toUtf8();
      QVERIFY2(dialogs.messages == QStringList{QStringLiteral("Error while saving file")}, what);
      QVERIFY2(app.db.Modified, what);
      QVERIFY2(ReadBytes(path) == before, what);
      QVERIFY2(FilesIn(folder) == QStringList{QStringLiteral("large.2db")}, what);
    }

    dialogs.messages.clear();
    save->trigger();
    QCOMPARE(dialogs.messages, QStringList());
    QVERIFY(!app.db.Modified);
    const ReadOutcome saved = ReadDatabaseFile(path, codePage, {});
    QCOMPARE(StoredDifference(saved.db, app.db), QString());
  }

  // Written in place (the folder takes no new file), a failed write puts
  // the old bytes back into the file, which stays the same file.
  void failedWriteInPlacePutsTheOldBytesBack() {
    TestInstall install;
    stream::SetLibraryFolder(QStringLiteral(ORBO_WRITE_FAULTS_DIR));
    QLibrary library(QStringLiteral(ORBO_WRITE_FAULTS_DIR "/orboinout"));
    const auto failWrites =
        reinterpret_cast<decltype(&oioTestFailWrites)>(library.resolve("oioTestFailWrites"));
    QVERIFY2(failWrites, qPrintable(library.errorString()));
    CodePage codePage;
    const QString path = install.Path(QStringLiteral("in-place.2db"));
    QVERIFY(WriteDatabaseFile(LargeDatabase(), path, codePage).ok);
    const QByteArray before = ReadBytes(path);
    const TempFileFn noNewFile = [](const QString&) { return QString(); };
    const Database changed = FullFormDatabase();
    failWrites(-1, -1);
    QVERIFY(WriteDatabaseFile(changed, install.Path(QStringLiteral("count.2db")), codePage).ok);
    const std::int32_t writes = failWrites(-1, -1);
    for (std::int32_t w = 1; w <= writes; ++w) {
      failWrites(w, -1);
      const WriteOutcome outcome = WriteDatabaseFile(changed, path, codePage, {}, noNewFile);
      failWrites(-1, -1);
      QVERIFY(!outcome.ok);
      QCOMPARE(outcome.fault, WriteOutcome::kPutBack);
      QVERIFY2(outcome.error.endsWith(QStringLiteral("the previous contents were put back")),
               qPrintable(outcome.error));
      QVERIFY(ReadBytes(path) == before);
    }
    QVERIFY(WriteDatabaseFile(changed, path, codePage, {}, noNewFile).inPlace);
    QCOMPARE(StoredDifference(ReadDatabaseFile(path, codePage, {}).db, changed), QString());
  }
};

QTEST_MAIN(FailingSavesTest)
#include "tst_failing_saves.moc"
