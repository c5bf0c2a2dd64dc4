// A save killed at any moment leaves the old file or the new one, whole; the
// temporary it leaves is removed by the next save of that file.
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include "../test_files.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

using namespace orbo;

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
    const QString temp = TempPathFor(path);
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
    int tempsLeft = 0;
    for (int kill = 0; kill < kKills; ++kill) {
      const int current = ReadBytes(path) == bytes[0] ? 0 : 1;
      QProcess process;
      QVERIFY(StartSave(process, path, versions[1 - current]));
      QThread::msleep(random.bounded(static_cast<int>(saveMs) + 1));
      process.kill();
      QVERIFY(process.waitForFinished(60000));
      const QByteArray now = ReadBytes(path);
      QVERIFY2(now == bytes[0] || now == bytes[1], qPrintable(QStringLiteral("kill %1").arg(kill)));
      const QStringList files = FilesIn(dir.path());
      if (files.size() == 2) ++tempsLeft;
      QVERIFY(files == QStringList{QStringLiteral("killed.2db")} ||
              files == (QStringList{QFileInfo(temp).fileName(), QStringLiteral("killed.2db")}));
    }
    qInfo("%d of %d kills left a temporary behind", tempsLeft, kKills);

    // Whatever was left, the next save removes; the user's own files stay.
    QFile leftOver(temp);
    QVERIFY(leftOver.open(QIODevice::WriteOnly) && leftOver.write("half a save") > 0);
    leftOver.close();
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

  // Under the temporary's name, only a regular file is ours to remove.
  void onlyARegularFileIsRemoved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.2db"));
    const QString temp = TempPathFor(path);
    QVERIFY(QFile::link(path, temp));
    QVERIFY_THROWS_EXCEPTION(StorageError, CreateTempBeside(path));
    QVERIFY(QFileInfo(temp).isSymbolicLink());
    QVERIFY(QFile::remove(temp));
    QVERIFY(QDir().mkpath(temp + QStringLiteral("/inside")));
    QVERIFY_THROWS_EXCEPTION(StorageError, CreateTempBeside(path));
    QVERIFY(QFileInfo::exists(temp + QStringLiteral("/inside")));
  }
};

QTEST_GUILESS_MAIN(KilledSavesTest)
#include "tst_killed_saves.moc"
