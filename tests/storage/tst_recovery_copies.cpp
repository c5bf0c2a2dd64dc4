// Recovery copies in their folder: which are offered, what a program
// removes of its own, how private they are, and that neither file times nor
// a failed write lose one. (What the window offers and restores: tst_app.)
#include <QSettings>
#include <QtTest>
#include <cerrno>

#include "../test_files.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/recovery_copies.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

ReadOutcome Read(const QString& path) {
  CodePage codePage;
  return ReadDatabaseFile(path, codePage, {});
}

}  // namespace

class RecoveryCopiesTest : public QObject, SampleFiles {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // Only the copies of programs that ended are offered, newest first; a
  // note without its copy is removed. The database saved since by another
  // program does not make the copy's changes saved. A lock goes with its
  // holder.
  void onlyCopiesOfProgramsThatEndedAreOffered() {
    const QString folder = Path("recovery");
    const QString path = Saved(Numbered(1), "recovered.2db");
    Database db = Numbered(2);
    db.DatabasePath = path;
    // Only a lock tells a program that runs: process 1 does, but holds none
    // here, and no process has the other id. Named in another order than
    // they were written.
    QVERIFY(RecoveryFolder(folder, 1).Write(db));
    Database unsaved = Numbered(3);
    unsaved.DatabasePath = QStringLiteral("noname");
    QVERIFY(RecoveryFolder(folder, 999999992).Write(unsaved));
    const RecoveryFolder runningFolder(folder, QCoreApplication::applicationPid());
    const RecoveryLock held(runningFolder);
    QVERIFY(runningFolder.Write(db));
    const RecoveryFolder mine(folder, 999999990);
    const std::vector<RecoveryCopy> left = mine.Left();
    QCOMPARE(left.size(), std::size_t(2));
    QCOMPARE(left[0].databasePath, QString("noname"));
    QCOMPARE(left[1].databasePath, path);
    QVERIFY(QFile::remove(left[0].copyPath));
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(Numbered(4), path, codePage).ok);
    QCOMPARE(mine.Left().size(), std::size_t(1));
    QVERIFY(!QFile::exists(left[0].notePath));
    // A lock goes with its holder.
    const QString lock = runningFolder.LockPath(runningFolder.ProcessId());
    QVERIFY(QFile::exists(lock));
    { const RecoveryLock another(RecoveryFolder(folder, 999999993)); }
    QVERIFY(!QFile::exists(runningFolder.LockPath(999999993)));
  }

  // Recovery copies: private, offered whatever the database's file time
  // says, kept while a newer one cannot be written, and what ended
  // programs left without a note is cleared away, and nothing else.
  void copiesOutliveClocksAndFailures() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const QString database = dir.filePath(QStringLiteral("db.2db"));
    Database db = ExampleDatabase();
    db.DatabasePath = database;
    // A text the code page cannot hold is kept as a save would store it.
    db.Folders[0].Name = QStringLiteral("Folder \u65e5");
    const RecoveryFolder ended(folder, 999999991);
    QVERIFY(ended.Write(db));
    db.Folders[0].Name = QStringLiteral("Folder ?");
    QCOMPARE(int(StatOf(folder).st_mode & 0777), 0700);
    for (const char* file : {"/copy-999999991.2db", "/copy-999999991.ini"})
      QCOMPARE(int(StatOf(folder + QString::fromLatin1(file)).st_mode & 0777), 0600);
    // What a program that ends removes of its own.
    const RecoveryFolder removed(folder, 999999995);
    QVERIFY(removed.Write(db));
    removed.Remove();
    QVERIFY(!FilesIn(folder).join(u' ').contains(QStringLiteral("999999995")));
    // Saved since, as another program or a clock ahead would date it.
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), database, codePage).ok);
    SetTime(database, 2099);
    // A copy that cannot be written leaves the one before.
    Database broken = db;
    broken.FolderCount = -5;
    QVERIFY(!ended.Write(broken));
    const RecoveryFolder mine(folder, 999999990);
    QVERIFY(WriteBytes(folder + QStringLiteral("/copy-999999993.lock"), {}));
    QVERIFY(WriteBytes(folder + QStringLiteral("/copy-999999994.2db"), "saved, note gone"));
    // Not named as a program names its copies: another's, kept.
    QVERIFY(WriteBytes(folder + QStringLiteral("/copy-x.2db"), "not a copy"));
    QVERIFY(WriteBytes(folder + QStringLiteral("/copy--1.2db"), "not a copy"));
    // The lock the ended program left, free; an error left by an earlier
    // call says nothing of it.
    QVERIFY(WriteBytes(folder + QStringLiteral("/copy-999999991.lock"), {}));
    errno = EWOULDBLOCK;
    const std::vector<RecoveryCopy> left = mine.Left();
    QCOMPARE(left.size(), std::size_t(1));
    QCOMPARE(left[0].databasePath, database);
    QCOMPARE(StoredDifference(Read(left[0].copyPath).db, db), QString());
    QCOMPARE(FilesIn(folder),
             (QStringList{"copy--1.2db", "copy-999999991.2db", "copy-999999991.ini",
                          "copy-999999991.lock", "copy-x.2db"}));
    // A note of an earlier version naming its database relatively.
    QSettings note(left[0].notePath, QSettings::IniFormat);
    note.setValue(QStringLiteral("Database"), QStringLiteral("../w/a.2db"));
    note.sync();
    QCOMPARE(mine.Left().front().databasePath, QString("noname"));
  }
};

QTEST_GUILESS_MAIN(RecoveryCopiesTest)
#include "tst_recovery_copies.moc"
