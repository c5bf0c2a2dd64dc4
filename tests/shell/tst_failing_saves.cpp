// Saves that fail part-way, through the program's save command. The library
// is the variant whose writes a test can fail (see orboinout/write_faults.h).
#include <QAction>
#include <QLibrary>
#include <QtTest>

#include "../test_files.h"
#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "orboinout/write_faults.h"
#include "sample_databases.h"
#include "storage/database_file.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr qint64 kChunk = 500000;
constexpr qint64 kHeaderBytes = 4;

// The library variant whose n-th write fails, or whose disk fills after so
// many bytes; -1 for either lifts it.
struct WriteFaults {
  WriteFaults() {
    stream::SetLibraryFolder(QStringLiteral(ORBO_WRITE_FAULTS_DIR));
    fail = reinterpret_cast<decltype(&oioTestFailWrites)>(library.resolve("oioTestFailWrites"));
    if (!fail) qFatal("%s", qPrintable(library.errorString()));
  }
  // How many writes a whole save of db makes.
  std::int32_t Count(const Database& db, const QString& path) {
    CodePage codePage;
    fail(-1, -1);
    if (!WriteDatabaseFile(db, path, codePage).ok) qFatal("cannot write %s", qPrintable(path));
    return fail(-1, -1);
  }
  QLibrary library{QStringLiteral(ORBO_WRITE_FAULTS_DIR "/orboinout")};
  decltype(&oioTestFailWrites) fail = nullptr;
};

}  // namespace

class FailingSavesTest : public QObject {
  Q_OBJECT

 private slots:
  // At every write and every chunk boundary: the old file stays as it was, no temporary is left,
  // the user is told and the database stays modified; the save after the faults writes the changes.
  void failedSaveKeepsTheOldFile() {
    TestInstall install;
    WriteFaults faults;

    CodePage codePage;
    const QString folder = install.Path(QStringLiteral("saves"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/large.2db");
    QVERIFY(WriteDatabaseFile(LargeDatabase(), path, codePage).ok);
    const QByteArray before = ReadBytes(path);

    FakeDialogs dialogs;
    App app(install.Path(), install.SettingsPath(), dialogs);
    QVERIFY(app.Main(path));
    app.db.Folders[0].Name = QStringLiteral("Changed before the save");
    app.Storage().SetModified(true);

    const QString copy = install.Path(QStringLiteral("copy.2db"));
    const std::int32_t writes = faults.Count(app.db, copy);
    const qint64 size = QFileInfo(copy).size();
    QVERIFY(QFile::remove(copy));
    QVERIFY(writes > 3);
    // Each write failing, then the disk filling at every chunk boundary.
    QList<std::pair<std::int32_t, qint64>> cases;
    for (std::int32_t w = 1; w <= writes; ++w) cases.append({w, -1});
    for (qint64 boundary = kHeaderBytes; boundary < size; boundary += kChunk) {
      for (qint64 limit : {boundary - 1, boundary, boundary + 1})
        cases.append({-1, std::max<qint64>(limit, 0)});
    }

    QAction* save = app.Parts().Window().Commands().Menu("mnuSave");
    for (const auto& [write, bytes] : cases) {
      dialogs.messages.clear();
      faults.fail(write, bytes);
      save->trigger();
      faults.fail(-1, -1);
      const QByteArray what = QStringLiteral("write %1, bytes %2").arg(write).arg(bytes).toUtf8();
      // What failed, why, and that the file is as it was.
      const QString said = dialogs.messages.join(u'|');
      const char* why = bytes >= 0 ? "the disk is full" : "the disk reported an error";
      QVERIFY2(dialogs.messages.size() == 1 && said.startsWith("Error while saving file\r") &&
                   said.contains(why) && said.contains("Nothing on disk was changed"),
               what + ": " + said.toUtf8());
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
    WriteFaults faults;
    CodePage codePage;
    const QString path = install.Path(QStringLiteral("in-place.2db"));
    QVERIFY(WriteDatabaseFile(LargeDatabase(), path, codePage).ok);
    const QByteArray before = ReadBytes(path);
    const TempFileFn noNewFile = [](const QString&) { return QString(); };
    const Database changed = FullFormDatabase();
    const std::int32_t writes = faults.Count(changed, install.Path(QStringLiteral("count.2db")));
    for (std::int32_t w = 1; w <= writes; ++w) {
      faults.fail(w, -1);
      const WriteOutcome outcome =
          WriteDatabaseFile(changed, path, codePage, {.createTemp = noNewFile});
      faults.fail(-1, -1);
      QVERIFY(!outcome.ok);
      QCOMPARE(outcome.fault, WriteOutcome::kPutBack);
      QVERIFY(ReadBytes(path) == before);
    }
    QVERIFY(WriteDatabaseFile(changed, path, codePage, {.createTemp = noNewFile}).inPlace);
    QCOMPARE(StoredDifference(ReadDatabaseFile(path, codePage, {}).db, changed), QString());
  }
};

QTEST_MAIN(FailingSavesTest)
#include "tst_failing_saves.moc"
