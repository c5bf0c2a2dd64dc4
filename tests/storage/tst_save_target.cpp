// Saving over a file: a save killed at any moment leaves the old file or the
// new one, whole, and the next save removes what it left; the old file's mode
// and owner are kept; a file another save holds or another program changes
// meanwhile is not replaced; a folder that takes no new file is written in
// place; without the storage library, nothing is saved. (A write-protected
// file: tst_orbo_cli, tst_file_commands and the random runs of
// tst_command_sequences.)
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>
#include <optional>
#include <type_traits>

#include "../test_files.h"
#include "sample_databases.h"
#include "storage/backups.h"
#include "storage/database_file.h"
#include "storage/save_target.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr int kKills = 25;
constexpr int kKeep = 2;
const QString kHelper = QStringLiteral(ORBO_SAVE_HELPER);

// What work returns when a child process runs it as user 65534 (root's
// tests only); nothing when the child could not become that user.
template <typename Work>
auto AsAnotherUser(Work work) -> std::optional<decltype(work())> {
  using Result = decltype(work());
  static_assert(std::is_trivially_copyable_v<Result>);
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
      const Result result = work();
      if (::write(pipeEnds[1], &result, sizeof result) != sizeof result) ::_exit(1);
    }
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  Result result{};
  const bool got = ::read(pipeEnds[0], &result, sizeof result) == sizeof result;
  ::close(pipeEnds[0]);
  ::waitpid(child, nullptr, 0);
  return got ? std::optional<Result>(result) : std::nullopt;
}

// A lock's result with the system's reason.
struct LockTaken {
  SaveLock::Result result;
  int reason;
  friend bool operator==(const LockTaken&, const LockTaken&) = default;
};

// Starts the helper and waits until its save has begun.
bool StartSave(QProcess& process, const QString& path, const QString& version) {
  process.start(kHelper, {path, version, QString::number(kKeep)});
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
  // Until the binding is pointed at the program folder, the storage library
  // is out of reach: reading and writing fail cleanly, naming it.
  void initTestCase() {
    // Before the first file is made: the program reads the umask once.
    ::umask(027);
    QVERIFY(dir_.isValid());
    const QString path = dir_.filePath(QStringLiteral("x.2db"));
    const WriteOutcome written = WriteDatabaseFile(Database(), path, codePage_);
    QVERIFY2(!written.ok && written.error.contains("orboinout"), qPrintable(written.error));
    QVERIFY(!QFile::exists(path));
    QVERIFY(WriteBytes(path, Le32(11)));
    const ReadOutcome read = ReadDatabaseFile(path, codePage_, {});
    QVERIFY(read.status == ReadOutcome::kFailed && read.error.contains("orboinout"));
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  void killedSaveLeavesAWholeFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed.2db"));
    const QStringList versions{QStringLiteral("old"), QStringLiteral("new")};
    QList<QByteArray> bytes;
    // How long a whole save over a file takes, so that the kills fall inside one.
    qint64 saveMs = 0;
    for (const QString& version : versions) {
      QVERIFY(SaveToTheEnd(path, version, &saveMs));
      bytes << ReadBytes(path);
    }
    QVERIFY(bytes[0] != bytes[1]);
    QVERIFY(bytes[0].size() > 8 * 500000);

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
      const qsizetype temps = TempsBeside(path).size();
      const qsizetype others = FilesIn(dir.path()).size() - 1 - temps;
      QVERIFY(temps <= 1 && others == (QFileInfo::exists(LockPathFor(path)) ? 1 : 0));
    }

    // Whatever was left, the next save removes, and a temporary of an older
    // version and of a writer long dead too; the user's own files stay. The
    // backups are whole versions, none of them the live file.
    const QString prefix = LockPathFor(path).chopped(4);
    for (const QString& planted : {prefix + "tmp", prefix + "99999-abcdef.tmp"})
      QVERIFY(WriteBytes(planted, "half a save"));
    const QString usersFile = path + QStringLiteral(".saving");
    QVERIFY(QFile::copy(path, usersFile));
    QVERIFY(SaveToTheEnd(path, versions[0]));
    QCOMPARE(ReadBytes(path), bytes[0]);
    QCOMPARE(FilesIn(dir.path()),
             (QStringList{QStringLiteral("killed.2db"), QStringLiteral("killed.2db.saving")}));
    const std::vector<Backup> backups = ListBackups(path);
    QVERIFY(!backups.empty() && backups.size() <= std::size_t(kKeep));
    for (const Backup& backup : backups) {
      QVERIFY(StatOf(backup.path).st_ino != StatOf(path).st_ino);
      QVERIFY(bytes.contains(ReadBytes(backup.path)));
    }
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
    // Root gives the file back to another owner, another group, or both.
    const std::vector<std::pair<uid_t, gid_t>> owners =
        ::geteuid() == 0 ? std::vector<std::pair<uid_t, gid_t>>{{4321, 8765}, {4321, 0}, {0, 8765}}
                         : std::vector<std::pair<uid_t, gid_t>>{{::geteuid(), ::getegid()}};
    for (const auto& [user, group] : owners) {
      QCOMPARE(::chown(name.constData(), user, group), 0);
      QCOMPARE(::chmod(name.constData(), static_cast<mode_t>(mode)), 0);
      const struct stat before = StatOf(path);
      QVERIFY(WriteDatabaseFile(FullFormDatabase(), path, codePage_).ok);
      const struct stat after = StatOf(path);
      QVERIFY(after.st_ino != before.st_ino);  // a new file took the old one's place
      QCOMPARE(int(after.st_mode & 07777), mode);
      QCOMPARE(after.st_uid, user);
      QCOMPARE(after.st_gid, group);
    }
  }

  // A file the program makes anew has the mode the user's umask leaves, as
  // any other program's new file.
  void newFileTakesTheUmasksMode() {
    const QString path = dir_.filePath(QStringLiteral("new.2db"));
    QVERIFY(WriteDatabaseFile(ExampleDatabase(), path, codePage_).ok);
    QCOMPARE(int(StatOf(path).st_mode & 07777), 0640);
  }

  // A file without any write permission is protected even from root, whom
  // the system lets write it; a missing file is not.
  void writeProtectionFollowsTheModeBits() {
    const QString path = Saved(QStringLiteral("protected.2db"));
    const QByteArray name = QFile::encodeName(path);
    for (const auto& [mode, isProtected] :
         {std::pair{0444, true}, {0555, true}, {0644, false}, {0200, false}}) {
      QCOMPARE(::chmod(name.constData(), static_cast<mode_t>(mode)), 0);
      QVERIFY2(IsWriteProtected(path) == isProtected, qPrintable(QString::number(mode, 8)));
    }
    QVERIFY(!IsWriteProtected(dir_.filePath(QStringLiteral("missing.2db"))));

    // Another user, whom the system refuses the write of root's 0644 file.
    if (::geteuid() != 0) return;
    QCOMPARE(::chmod(name.constData(), 0644), 0);
    QCOMPARE(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
    const auto protectedForOther = AsAnotherUser([&path] { return IsWriteProtected(path); });
    QCOMPARE(::chmod(QFile::encodeName(dir_.path()).constData(), 0700), 0);
    QCOMPARE(protectedForOther, std::optional(true));
  }

  // A private file holds every piece written, the smallest too; a write the
  // system refuses part-way (here: past the file size limit) throws and
  // leaves nothing behind.
  void privateFileHoldsAllOrNothing() {
    const QString path = dir_.filePath(QStringLiteral("private"));
    const mode_t umask = ::umask(0);  // private whatever the umask
    WritePrivateFile(path, [](const ByteSink& out) {
      errno = EINTR;  // left by an earlier call: only a failed write's errno counts
      out("a", 1);
      out("bc", 2);
    });
    ::umask(umask);
    QCOMPARE(ReadBytes(path), QByteArray("abc"));
    QCOMPARE(int(StatOf(path).st_mode & 07777), 0600);

    const QString refused = dir_.filePath(QStringLiteral("refused"));
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{16, limit.rlim_max};
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int reason = 0;
    try {
      WritePrivateFile(refused, [](const ByteSink& out) { out(QByteArray(64, 'x'), 64); });
    } catch (const StorageError& error) {
      reason = error.SystemError();
    }
    ::setrlimit(RLIMIT_FSIZE, &limit);
    QCOMPARE(reason, EFBIG);
    QVERIFY(!QFileInfo::exists(refused));
  }

  // The lock is open to every user the umask allows, so another user's save
  // of a shared file finds it held. Another user who cannot make a file in
  // the folder is told so (the save then writes in place); one who finds a
  // lock there they may not open is not (another user's save holds it).
  void locksAreSharedWithOtherUsers() {
    const QString path = Saved(QStringLiteral("shared.2db"));
    const mode_t umask = ::umask(0);
    {
      SaveLock lock(path);
      QCOMPARE(lock.Take(), SaveLock::kTaken);
      QCOMPARE(int(StatOf(LockPathFor(path)).st_mode & 0777), 0666);
    }
    ::umask(umask);
    if (::geteuid() != 0) return;
    const QByteArray folder = QFile::encodeName(dir_.path());
    QCOMPARE(::chmod(folder.constData(), 0755), 0);
    // The result of another user's lock, with the system's reason.
    const auto takenByAnotherUser = [&path] {
      return AsAnotherUser([&path] {
        SaveLock lock(path);
        const SaveLock::Result result = lock.Take();
        return LockTaken{result, lock.SystemError()};
      });
    };
    const auto withoutLock = takenByAnotherUser();
    // No temporary there: the save writes in place.
    const auto tempForOther = AsAnotherUser([&path] {
      try {
        return CreateTempBeside(path).isEmpty() ? 0 : 1;
      } catch (const StorageError&) {
        return 2;
      }
    });
    QCOMPARE(tempForOther, std::optional(0));
    QVERIFY(WriteBytes(LockPathFor(path), ""));
    QCOMPARE(::chmod(QFile::encodeName(LockPathFor(path)).constData(), 0600), 0);
    const auto withRootsLock = takenByAnotherUser();
    QFile::remove(LockPathFor(path));
    QCOMPARE(::chmod(folder.constData(), 0700), 0);
    QCOMPARE(withoutLock, std::optional(LockTaken{SaveLock::kFolderTakesNoFile, EACCES}));
    QCOMPARE(withRootsLock, std::optional(LockTaken{SaveLock::kFailed, EACCES}));
  }

  // A temporary is private whatever the umask; one in a folder that is not
  // there is a failure, not a folder taking no file; removing stale
  // temporaries spares links named alike.
  void temporariesFailCleanlyAndSpareLinks() {
    const QString path = Saved(QStringLiteral("linked.2db"));
    const mode_t umask = ::umask(0);
    const QString temp = CreateTempBeside(path);
    ::umask(umask);
    QCOMPARE(int(StatOf(temp).st_mode & 07777), 0600);
    QVERIFY(QFile::remove(temp));
    QVERIFY_THROWS_EXCEPTION(StorageError,
                             CreateTempBeside(dir_.filePath(QStringLiteral("missing/x.2db"))));
    const QString link = LockPathFor(path).chopped(4) + QStringLiteral("1-abcdef.tmp");
    QVERIFY(QFile::link(path, link));
    RemoveStaleTemps(path);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFile::remove(link));
  }

  // A folder's names are made durable; a missing folder or a file cannot be.
  void syncingAFolderSaysWhetherItWasDone() {
    QVERIFY(SyncFolder(dir_.path()));
    QVERIFY(!SyncFolder(dir_.filePath(QStringLiteral("missing"))));
    QVERIFY(!SyncFolder(Saved(QStringLiteral("not-a-folder.2db"))));
  }

  // Every copy of the program, of any version, finds the lock of a file by
  // the same name: ".orbo-", 16 hex digits of the SHA-1 of the file's name,
  // ".lock", beside it.
  void theLockHasOneNameForEveryCopy() {
    const QString lock = LockPathFor(QStringLiteral("/home/someone/Notes.2db"));
    QCOMPARE(lock,
             QStringLiteral("/home/someone/.orbo-") +
                 QCryptographicHash::hash("Notes.2db", QCryptographicHash::Sha1).toHex().left(16) +
                 QStringLiteral(".lock"));
  }

  // Another program writes the file, or makes it, while the database is
  // written: the save says so instead of replacing that file.
  void fileChangedMeanwhileIsNotReplaced() {
    const TempFileFn otherProgram = [](const QString& target) {
      const QString temp = CreateTempBeside(target);
      WriteBytes(target, "the other program's");
      return temp;
    };
    for (const QString& path : {Saved(QStringLiteral("changed.2db")), dir_.filePath("made.2db")}) {
      const WriteOutcome outcome =
          WriteDatabaseFile(FullFormDatabase(), path, codePage_, {.createTemp = otherProgram});
      QCOMPARE(outcome.fault, WriteOutcome::kChangedMeanwhile);
      QCOMPARE(ReadBytes(path), QByteArray("the other program's"));
      QVERIFY(NothingLeftBeside(path));
    }
  }

  // While one save of a file holds its lock, another does not start; once it
  // is free, the next save takes it.
  void fileBeingSavedIsNotSavedTwice() {
    const QString path = Saved(QStringLiteral("busy.2db"));
    const QByteArray before = ReadBytes(path);
    {
      SaveLock other(path);
      QCOMPARE(other.Take(), SaveLock::kTaken);
      SaveLock second(path);
      QCOMPARE(second.Take(), SaveLock::kHeldByAnother);
      QCOMPARE(second.SystemError(), EWOULDBLOCK);
      const InPlaceLock inPlace(path);
      QVERIFY(inPlace.Taken());
      QVERIFY(!InPlaceLock(path).Taken());
      const WriteOutcome outcome = WriteDatabaseFile(FullFormDatabase(), path, codePage_);
      QCOMPARE(outcome.fault, WriteOutcome::kSavedByAnother);
      QCOMPARE(ReadBytes(path), before);
    }
    QVERIFY(NothingLeftBeside(path));
    QVERIFY(InPlaceLock(path).Taken());  // released with its holder
    QVERIFY(WriteDatabaseFile(FullFormDatabase(), path, codePage_).ok);
  }

  // Where no temporary can be made, the file is written where it is: the
  // same file, so its mode and owner too (what it holds: tst_failing_saves).
  // A new file cannot be made there at all.
  void folderTakingNoFileIsWrittenInPlace() {
    const QString path = Saved(QStringLiteral("in-place.2db"));
    const struct stat before = StatOf(path);
    const TempFileFn noNewFile = [](const QString&) { return QString(); };
    const Database db = FullFormDatabase();
    const WriteOutcome outcome = WriteDatabaseFile(db, path, codePage_, {.createTemp = noNewFile});
    QVERIFY2(outcome.ok && outcome.inPlace, qPrintable(outcome.error));
    const struct stat after = StatOf(path);
    QCOMPARE(after.st_ino, before.st_ino);
    QVERIFY(NothingLeftBeside(path));

    const QString fresh = dir_.filePath(QStringLiteral("fresh.2db"));
    const WriteOutcome refused = WriteDatabaseFile(db, fresh, codePage_, {.createTemp = noNewFile});
    QVERIFY(!refused.ok);
    QVERIFY(!QFileInfo::exists(fresh));
  }
};

QTEST_GUILESS_MAIN(SaveTargetTest)
#include "tst_save_target.moc"
