// Saving over a file, keeping its mode and owner, a file another save holds
// or another program changes meanwhile, and a folder that takes no new file.
// (A write-protected file: tst_orbo_cli, tst_database_commands and the
// random runs of tst_command_sequences.)
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include "../test_files.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/save_target.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

struct stat StatOf(const QString& path) {
  struct stat info {};
  ::stat(QFile::encodeName(path).constData(), &info);
  return info;
}

// Nothing of a save is left beside the file: no temporary, no lock.
bool NothingLeftBeside(const QString& path) {
  return TempsBeside(path).isEmpty() && !QFileInfo::exists(LockPathFor(path));
}

}  // namespace

class SaveTargetTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  CodePage codePage_;

  // A saved example database under name.
  QString Saved(const QString& name) {
    const QString path = dir_.filePath(name);
    QFile::remove(path);
    WriteDatabaseFile(ExampleDatabase(), path, codePage_);
    return path;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // The new file takes the old one's mode bits exactly, set-id bits too, and
  // its owner and group where the user may set them.
  void modeAndOwnerAreKept_data() {
    QTest::addColumn<int>("mode");
    for (int mode : {0600, 0640, 0604, 0755, 02660, 0200})
      QTest::newRow(qPrintable(QString::number(mode, 8))) << mode;
  }

  void modeAndOwnerAreKept() {
    QFETCH(int, mode);
    const QString path = Saved(QStringLiteral("kept.2db"));
    const QByteArray name = QFile::encodeName(path);
    const bool root = ::geteuid() == 0;
    if (root) QCOMPARE(::chown(name.constData(), 4321, 8765), 0);
    QCOMPARE(::chmod(name.constData(), static_cast<mode_t>(mode)), 0);
    const struct stat before = StatOf(path);
    QVERIFY(WriteDatabaseFile(FullFormDatabase(), path, codePage_).ok);
    const struct stat after = StatOf(path);
    QVERIFY(after.st_ino != before.st_ino);  // a new file took the old one's place
    QCOMPARE(int(after.st_mode & 07777), mode);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QVERIFY(NothingLeftBeside(path));
  }

  // Another program writes the file, or makes it, while the database is
  // written: the save says so instead of replacing that file.
  void fileChangedMeanwhileIsNotReplaced_data() {
    QTest::addColumn<bool>("existed");
    QTest::newRow("written meanwhile") << true;
    QTest::newRow("made meanwhile") << false;
  }

  void fileChangedMeanwhileIsNotReplaced() {
    QFETCH(bool, existed);
    const QString path =
        existed ? Saved(QStringLiteral("changed.2db")) : dir_.filePath(QStringLiteral("made.2db"));
    const TempFileFn otherProgram = [](const QString& target) {
      const QString temp = CreateTempBeside(target);
      WriteBytes(target, "the other program's");
      return temp;
    };
    const WriteOutcome outcome =
        WriteDatabaseFile(FullFormDatabase(), path, codePage_, {}, otherProgram);
    QVERIFY(!outcome.ok);
    QCOMPARE(outcome.fault, WriteOutcome::kChangedMeanwhile);
    QVERIFY2(outcome.error.contains("changed by another program"), qPrintable(outcome.error));
    QCOMPARE(ReadBytes(path), QByteArray("the other program's"));
    QVERIFY(NothingLeftBeside(path));
    QVERIFY(QFile::remove(path));
  }

  // While one save of a file holds its lock, another does not start; once it
  // is free, the next save takes it.
  void fileBeingSavedIsNotSavedTwice() {
    const QString path = Saved(QStringLiteral("busy.2db"));
    const QByteArray before = ReadBytes(path);
    {
      SaveLock other(path);
      QCOMPARE(other.Take(), SaveLock::kTaken);
      const WriteOutcome outcome = WriteDatabaseFile(FullFormDatabase(), path, codePage_);
      QCOMPARE(outcome.fault, WriteOutcome::kSavedByAnother);
      QVERIFY2(outcome.error.contains("being saved by another program"), qPrintable(outcome.error));
      QCOMPARE(ReadBytes(path), before);
      QVERIFY(TempsBeside(path).isEmpty());
    }
    QVERIFY(NothingLeftBeside(path));
    QVERIFY(WriteDatabaseFile(FullFormDatabase(), path, codePage_).ok);
  }

  // Where no temporary can be made, the file is written where it is: the
  // same file, mode and owner (what it holds: tst_failing_saves). A new file
  // cannot be made there at all.
  void folderTakingNoFileIsWrittenInPlace() {
    const QString path = Saved(QStringLiteral("in-place.2db"));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const struct stat before = StatOf(path);
    const TempFileFn noNewFile = [](const QString&) { return QString(); };
    const Database db = FullFormDatabase();
    const WriteOutcome outcome = WriteDatabaseFile(db, path, codePage_, {}, noNewFile);
    QVERIFY2(outcome.ok && outcome.inPlace, qPrintable(outcome.error));
    const struct stat after = StatOf(path);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_mode, before.st_mode);
    QVERIFY(NothingLeftBeside(path));

    const QString fresh = dir_.filePath(QStringLiteral("fresh.2db"));
    const WriteOutcome refused = WriteDatabaseFile(db, fresh, codePage_, {}, noNewFile);
    QVERIFY(!refused.ok);
    QVERIFY2(refused.error.contains("takes no new file"), qPrintable(refused.error));
    QVERIFY(!QFileInfo::exists(fresh));
  }
};

QTEST_GUILESS_MAIN(SaveTargetTest)
#include "tst_save_target.moc"
