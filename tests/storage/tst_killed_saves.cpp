// A save killed at any moment leaves the old file or the new one, whole; the
// lock and temporary it leaves are removed by the next save of that file.
#include <unistd.h>

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include "../test_files.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/save_target.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr int kKills = 25;
const QString kHelper = QStringLiteral(ORBO_SAVE_HELPER);

// Starts the helper and waits until its save has begun.
bool StartSave(QProcess& process, const QString& path, const QString& version) {
  process.start(kHelper, {path, version});
  while (process.waitForReadyRead(60000)) {
    if (process.readAll().contains("saving")) return true;
  }
  return false;
}

// Lets the helper save to the end; *saveMs (when given) is how long the save took.
bool SaveToTheEnd(const QString& path, const QString& version, qint64* saveMs = nullptr) {
  QProcess process;
  if (!StartSave(process, path, version)) return false;
  QElapsedTimer timer;
  timer.start();
  const bool saved = process.waitForFinished(60000) &&
                     process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  if (saveMs) *saveMs = timer.elapsed();
  return saved;
}

}  // namespace

class KilledSavesTest : public QObject {
  Q_OBJECT

 private slots:
  void killedSaveLeavesAWholeFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed.2db"));
    const QStringList versions{QStringLiteral("old"), QStringLiteral("new")};
    QList<QByteArray> bytes;
    for (const QString& version : versions) {
      QVERIFY(SaveToTheEnd(path, version));
      bytes << ReadBytes(path);
    }
    QVERIFY(bytes[0] != bytes[1]);
    QVERIFY(bytes[0].size() > 8 * 500000);

    // How long a whole save takes, so that the kills fall inside one.
    qint64 saveMs = 0;
    QVERIFY(SaveToTheEnd(path, versions[0], &saveMs));

    QRandomGenerator random(19);
    for (int kill = 0; kill < kKills; ++kill) {
      const int current = ReadBytes(path) == bytes[0] ? 0 : 1;
      QProcess process;
      QVERIFY(StartSave(process, path, versions[1 - current]));
      QThread::msleep(random.bounded(static_cast<int>(saveMs) + 1));
      process.kill();
      QVERIFY(process.waitForFinished(60000));
      const QByteArray now = ReadBytes(path);
      QVERIFY2(now == bytes[0] || now == bytes[1], qPrintable(QStringLiteral("kill %1").arg(kill)));
      // Beside the file at most the killed save's lock and its one temporary.
      const QStringList temps = TempsBeside(path);
      QStringList others = FilesIn(dir.path());
      others.removeOne(QStringLiteral("killed.2db"));
      others.removeOne(QFileInfo(LockPathFor(path)).fileName());
      for (const QString& temp : temps) others.removeOne(QFileInfo(temp).fileName());
      QVERIFY2(others.isEmpty() && temps.size() <= 1, qPrintable(others.join(' ')));
    }

    // Whatever was left, the next save removes, and a temporary of an older
    // version and of a writer long dead too; the user's own files stay.
    const QString prefix = LockPathFor(path).chopped(4);
    for (const QString& planted : {prefix + "tmp", prefix + "99999-abcdef.tmp"})
      QVERIFY(WriteBytes(planted, "half a save"));
    const QString usersFile = path + QStringLiteral(".saving");
    QVERIFY(QFile::copy(path, usersFile));
    QVERIFY(SaveToTheEnd(path, versions[0]));
    QCOMPARE(ReadBytes(path), bytes[0]);
    QCOMPARE(FilesIn(dir.path()),
             (QStringList{QStringLiteral("killed.2db"), QStringLiteral("killed.2db.saving")}));
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
    CodePage codePage;
    QCOMPARE(ReadDatabaseFile(path, codePage, {}).status, ReadOutcome::kLoaded);
  }

  // Under a temporary's name, only a regular file is ours to remove: a link
  // or folder there stays, and the save goes on under a name of its own.
  void onlyARegularFileIsRemoved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.2db"));
    const QString prefix = LockPathFor(path).chopped(4);
    QVERIFY(QFile::link(path, prefix + QStringLiteral("1-aaaaaa.tmp")));
    QVERIFY(QDir().mkpath(prefix + QStringLiteral("2-bbbbbb.tmp/inside")));
    const QStringList planted = TempsBeside(path);
    QCOMPARE(planted.size(), 2);
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), path, codePage).ok);
    QCOMPARE(TempsBeside(path), planted);
    QVERIFY(QFileInfo(prefix + QStringLiteral("1-aaaaaa.tmp")).isSymLink());
    QVERIFY(QFileInfo::exists(prefix + QStringLiteral("2-bbbbbb.tmp/inside")));
  }

  // Every save takes a name of its own, created exclusively.
  void everySaveHasItsOwnTemporary() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("own.2db"));
    QSet<QString> names;
    for (int i = 0; i < 20; ++i) names << CreateTempBeside(path);
    QCOMPARE(names.size(), 20);
    QCOMPARE(TempsBeside(path).size(), 20);
    for (const QString& name : names)
      QVERIFY(QFileInfo(name).fileName().contains(QString::number(getpid())));
  }
};

QTEST_GUILESS_MAIN(KilledSavesTest)
#include "tst_killed_saves.moc"
