#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include "../shell/fake_file_commands_ui.h"
#include "../test_files.h"
#include "sample_databases.h"
#include "shell/file_commands.h"
#include "storage/backups.h"
#include "storage/database_file.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

QString FolderNameIn(const QString& path) {
  CodePage codePage;
  const ReadOutcome read = ReadDatabaseFile(path, codePage, {});
  return read.status == ReadOutcome::kLoaded ? read.db.Folders[0].Name : QString();
}

// Gives the file the time it was saved at, so that versions saved within
// one second have times and names of their own.
void DateFile(const QString& path, int minutes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadWrite));
  QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 1), QTime(8, 0)).addSecs(minutes * 60),
                           QFileDevice::FileModificationTime));
}

}  // namespace

class SafetyNetsTest : public QObject, SampleFiles {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // Five saves keeping three: the newest the very file the last save
  // replaced, its name counting on. A file without an extension has
  // backups without one. (Which version is newest first: tst_app.)
  void backupsRotate_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow(".2db") << "rotate.2db";
    QTest::newRow("no extension") << "rotate";
  }
  void backupsRotate() {
    QFETCH(QString, name);
    const QString path = Path(name);
    CodePage codePage;
    std::uint64_t replaced = 0;
    for (int n = 1; n <= 5; ++n) {
      if (n > 1) {
        DateFile(path, n);
        replaced = StatOf(path).st_ino;
      }
      QVERIFY(WriteDatabaseFile(Numbered(n), path, codePage, {.keepBackups = 3}).ok);
    }
    const std::vector<Backup> backups = ListBackups(path);
    QCOMPARE(backups.size(), std::size_t(3));
    QCOMPARE(StatOf(backups.front().path).st_ino, replaced);
    const QString newest = QFileInfo(backups.front().path).fileName();
    QVERIFY2(newest.startsWith(QStringLiteral("rotate 4 ")) && !newest.endsWith(u'.'),
             qPrintable(newest));
  }

  // The versions kept of a database: numbered ones newest first, then
  // those an earlier version named by their date alone, by date; another
  // database's and other files are not among them.
  void backupNamesAreReadWithTheirDates() {
    const QString path = Saved(Numbered(1), "notes.2db");
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(Numbered(2), path, codePage, {.keepBackups = 3}).ok);
    const QDir folder(BackupFolderOf(path));
    for (const char* name :
         {"notes 7 2026-12-01 08-03-00.2db", "notes 2026-12-01 09-00-00.2db",
          "notes 2026-12-01 07-00-00 (2).2db", "notes 2026-12-01 07-00-00 (10).2db",
          "notes 2026-12-01 07-00-00.2db", "other 9 2026-12-01 08-00-00.2db",
          "notes 8 2026-12-01 08-00-00.txt", "notes 2026-12-01 07-00-00 (x).2db"})
      QVERIFY(WriteBytes(folder.filePath(name), "kept"));
    QStringList listed;
    for (const Backup& backup : ListBackups(path)) {
      listed << QStringLiteral("%1 %2 %3")
                    .arg(backup.number)
                    .arg(backup.saved.toString(QStringLiteral("HH:mm")))
                    .arg(backup.sameSecond);
    }
    QCOMPARE(listed.size(), 6);
    QCOMPARE(listed[0], QString("7 08:03 0"));
    QVERIFY(listed[1].startsWith("1 "));  // the save's own
    // Of one second, the later names first.
    QCOMPARE(listed.mid(2), (QStringList{"0 09:00 0", "0 07:00 10", "0 07:00 2", "0 07:00 0"}));
    // Keeping one, the version the next save replaces is all that stays.
    QVERIFY(WriteDatabaseFile(Numbered(3), path, codePage, {.keepBackups = 1}).ok);
    QCOMPARE(ListBackups(path).size(), std::size_t(1));
    QCOMPARE(ListBackups(path).front().number, 8);
  }

  // A killed save can leave the live file linked under a backup's name; a
  // write in place after it would change both, so the version is kept as a
  // copy and the link goes.
  void aLinkToTheLiveFileIsNoBackup() {
    const QString path = Saved(Numbered(1), "linked.2db");
    const QByteArray first = ReadBytes(path);
    QVERIFY(QDir().mkpath(BackupFolderOf(path)));
    const QString link = BackupFolderOf(path) + "/linked 1 2026-12-01 08-00-00.2db";
    QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) == 0);
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(Numbered(2), path, codePage, InPlaceSave(3)).backupMade);
    QVERIFY(!QFileInfo::exists(link));
    QCOMPARE(ListBackups(path).size(), std::size_t(1));
    QCOMPARE(ReadBytes(ListBackups(path).front().path), first);
  }

  // A save that replaces a version with the same bytes keeps no copy of it,
  // nor one of a version the newest copy holds already.
  void noCopyOfAVersionKeptAlready() {
    const QString path = Saved(Numbered(1), "same.2db");
    CodePage codePage;
    const auto save = [&](int n) {
      return WriteDatabaseFile(Numbered(n), path, codePage, {.keepBackups = 3}).backupMade;
    };
    QVERIFY(save(2));
    QVERIFY(!save(2));
    QVERIFY(QFile::remove(ListBackups(path).front().path));
    QVERIFY(QFile::copy(path, BackupFolderOf(path) + "/same 5 2026-12-01 08-00-00.2db"));
    QVERIFY(!save(3));  // the file's version is the newest copy
    QVERIFY(save(4));
    QCOMPARE(ListBackups(path).size(), std::size_t(2));
  }

  // Switched off, backups stop and those kept stay; a lowered count prunes
  // at the next save, also one that kept nothing new; a save in place keeps
  // one when one is kept.
  void theCountKeptFollowsTheOptions() {
    const QString path = Saved(Numbered(1), "count.2db");
    CodePage codePage;
    const auto save = [&](int n, const SaveOptions& options) {
      const WriteOutcome outcome = WriteDatabaseFile(Numbered(n), path, codePage, options);
      return outcome.ok && outcome.backupMade;
    };
    QVERIFY(save(2, {.keepBackups = 3}));
    QVERIFY(save(3, {.keepBackups = 3}));
    QVERIFY(!save(4, {.keepBackups = 0}));
    QCOMPARE(ListBackups(path).size(), std::size_t(2));
    QVERIFY(!save(4, {.keepBackups = 1}));  // the same bytes: nothing new to keep
    QCOMPARE(ListBackups(path).size(), std::size_t(1));
    QVERIFY(save(5, InPlaceSave(1)));
    QCOMPARE(ListBackups(path).size(), std::size_t(1));
  }

  // A backup that cannot be made, or removed, is reported, not passed over.
  void failuresOfBackupsAreReported() {
    const QString path = Saved(Numbered(1), "unmade.2db");
    QVERIFY(WriteBytes(BackupFolderOf(path), "a file where the folder goes"));
    QVERIFY(PendingBackup::Write(path, [](const ByteSink& out) { out("x", 1); }).Failed());
    QVERIFY(QFile::remove(BackupFolderOf(path)));

    CodePage codePage;
    QVERIFY(WriteDatabaseFile(Numbered(2), path, codePage, {.keepBackups = 3}).backupMade);
    QVERIFY(WriteDatabaseFile(Numbered(3), path, codePage, {.keepBackups = 3}).backupMade);
    const std::vector<Backup> backups = ListBackups(path);
    QVERIFY(QFile::remove(backups.back().path));
    QVERIFY(!RemoveBackups(backups));
    QVERIFY(ListBackups(path).empty());
  }

  // The backups folder is as private as the database: who may read the
  // database may read and search it, nobody else.
  void theBackupsFolderIsAsPrivateAsTheDatabase() {
    ::umask(022);
    for (const auto& [file, folder] :
         {std::pair{0600, 0700}, {0640, 0750}, {0644, 0755}, {0641, 0750}}) {
      const QString path = Saved(Numbered(1), QStringLiteral("private-%1.2db").arg(file, 0, 8));
      QVERIFY(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(file)) == 0);
      CodePage codePage;
      QVERIFY(WriteDatabaseFile(Numbered(2), path, codePage, {.keepBackups = 3}).ok);
      struct stat info {};
      QVERIFY(::stat(QFile::encodeName(BackupFolderOf(path)).constData(), &info) == 0);
      QCOMPARE(QString::number(info.st_mode & 07777, 8), QString::number(folder, 8));
    }
    // A file gone before its sealed copy is written: the folder is as a new
    // file would be, readable by all under an open umask, searchable alike.
    ::umask(0);
    const QString gone = Path("gone.2db");
    PendingBackup::Write(gone, [](const ByteSink& out) { out("x", 1); });
    ::umask(022);
    struct stat info {};
    QVERIFY(::stat(QFile::encodeName(BackupFolderOf(gone)).constData(), &info) == 0);
    QCOMPARE(QString::number(info.st_mode & 07777, 8), QStringLiteral("755"));
    // Kept as it is, a file gone is a backup that failed, not one not needed.
    QVERIFY(PendingBackup::Link(gone).Failed());
  }

  // Saves written in place keep copies: each with the time of the version
  // it holds, none of a version the newest copy holds already, and nothing
  // left of a copy that could not take its name; what killed saves left in
  // the folder goes, a link named alike stays.
  void copiesOfSavesInPlace() {
    const QString path = Saved(Numbered(1), "in-place.2db");
    const QDir folder(BackupFolderOf(path));
    QVERIFY(folder.mkpath("."));
    QVERIFY(WriteBytes(folder.filePath(".orbo-backup-99999.tmp"), "left by a killed save"));
    QVERIFY(QFile::link(path, folder.filePath(".orbo-backup-88888.tmp")));
    const SaveOptions inPlace = InPlaceSave(5);
    CodePage codePage;
    const auto save = [&](int n, int minutes) {
      DateFile(path, minutes);
      return WriteDatabaseFile(Numbered(n), path, codePage, inPlace);
    };
    QVERIFY(save(2, 1).backupMade);
    QVERIFY(save(2, 2).backupMade);    // the file holds 2, the newest copy 1
    QVERIFY(!save(12, 3).backupMade);  // the newest copy holds 2 already
    QCOMPARE(FilesIn(folder.path()),
             (QStringList{".orbo-backup-88888.tmp", "in-place 1 2026-12-01 08-01-00.2db",
                          "in-place 2 2026-12-01 08-02-00.2db"}));
    QCOMPARE(QFileInfo(folder.filePath("in-place 2 2026-12-01 08-02-00.2db")).lastModified(),
             QDateTime(QDate(2026, 12, 1), QTime(8, 2)));
    // The next copy's name taken by a folder: no copy, and nothing left.
    QVERIFY(folder.mkpath("in-place 3 2026-12-01 08-04-00.2db/full"));
    const WriteOutcome blocked = save(3, 4);
    QVERIFY(blocked.ok && !blocked.backupMade);
    QCOMPARE(folder.entryList({".orbo-backup-*"}, QDir::Files | QDir::Hidden | QDir::System),
             QStringList{".orbo-backup-88888.tmp"});
    // A newest copy that is the first half of the file holds another version.
    const QByteArray now = ReadBytes(path);
    QVERIFY(WriteBytes(folder.filePath("in-place 2 2026-12-01 08-02-00.2db"),
                       now.left(now.size() / 2)));
    QVERIFY(save(14, 5).backupMade);
  }

  // A backup that cannot be made (its folder's name taken by a file) costs
  // the backup, never the save, and the user hears of it.
  void aFailedBackupLeavesTheSaveWhole() {
    const QString path = Saved(Numbered(1), "blocked.2db");
    QVERIFY(WriteBytes(BackupFolderOf(path), ""));
    Database db = Numbered(2);
    db.DatabasePath = path;
    FakeUi ui(db);
    ui.backups = 3;
    QVERIFY(SaveDatabase(db, false, ui));
    QCOMPARE(FolderNameIn(path), QString("Version 2"));
    QCOMPARE(ui.messages,
             QStringList{QStringLiteral("t985/1 %1 %2|ok!").arg(path, BackupFolderOf(path))});
  }

  // Another program wrote the file after it was loaded: the save asks
  // before writing over it, and once written here, the next save asks
  // nothing. (Cancel: tst_app.)
  void aFileChangedBehindTheProgramIsNotOverwrittenUnasked() {
    const QString path = Saved(Numbered(1), "shared.2db");
    const QString question = QStringLiteral("t985/0 %1|yes-no-cancel! no").arg(path);
    Database db;
    FakeUi ui(db);
    LoadDatabase(db, path, ui);
    db.Folders[0].Name = QStringLiteral("Mine");
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(Numbered(2), path, codePage).ok);
    ui.answer = kAnswerYes;
    QVERIFY(SaveDatabase(db, false, ui));
    QVERIFY(SaveDatabase(db, false, ui));
    QCOMPARE(ui.messages, QStringList{question});
    QCOMPARE(FolderNameIn(path), QString("Mine"));
  }

  // Failures name the file and say why in the user's words: a file that
  // is not there, a folder that is not there; a wrong password is asked
  // for again, and the right one opens the file.
  void failuresSayWhatAndWhy() {
    Database db = Numbered(1);
    FakeUi ui(db);
    const QString missing = Path("missing.2db");
    LoadDatabase(db, missing, ui);
    QCOMPARE(ui.messages, QStringList{"t500/0\rt986/16 " + missing + " %2|ok!"});
    ui.messages.clear();
    db.Modified = true;
    ui.savePath = Path("no-such-folder/x.2db");
    QVERIFY(!SaveDatabase(db, true, ui));
    QVERIFY2(ui.messages.size() == 1 &&
                 ui.messages[0].startsWith("Error while saving file\rt986/0") &&
                 ui.messages[0].contains("t986/8") && ui.messages[0].contains("t986/13"),
             qPrintable(ui.messages.join(u'\n')));
    ui.messages.clear();
    const QString locked = Saved(Locked(Numbered(2), "right"), "locked.2db");
    ui.passwords = QStringList{"wrong", "right"};
    db.Modified = false;
    LoadDatabase(db, locked, ui);
    QCOMPARE(db.Folders[0].Name, QString("Version 2"));
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages[0].startsWith("t500/0\rt986/20"));
  }
};

QTEST_GUILESS_MAIN(SafetyNetsTest)
#include "tst_safety_nets.moc"
