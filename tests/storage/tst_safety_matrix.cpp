// The operations that write or remove a database file or its backups,
// crossed with what users' machines do to files: times set by other
// programs (older and newer than the clock), a path through a symbolic link, a relative path and
// another working folder, a rename the system refuses, a folder that takes no new file, the file
// replaced by an old copy or deleted while open, encryption switched on. After every step: the file
// is what the last save that said so wrote, every version the file held of the last ones kept opens
// from the file or a backup, no backup is the live file under another name, nothing of an encrypted
// database opens without its password, and a failure says nothing on disk changed only when nothing
// did.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include "../shell/fake_file_commands_ui.h"
#include "../test_files.h"
#include "sample_databases.h"
#include "shell/failure_texts.h"
#include "shell/file_commands.h"
#include "storage/backups.h"
#include "storage/database_file.h"
#include "storage/file_paths.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr int kKeep = 3;
const QString kPassword = QStringLiteral("matrix password");
const QString kNothingChanged = QStringLiteral("t986/13");

enum class Condition { kPlain, kOlderTimes, kNewerTimes, kLink, kRelativePath };

ReadOutcome Read(const QString& path, const QString& password = {}) {
  CodePage codePage;
  return ReadDatabaseFile(path, codePage, password);
}

// A database file followed through the steps of one condition: the versions
// its file held, oldest first, as the program wrote them or another program
// put them there.
class Scene {
 public:
  explicit Scene(Condition condition) : condition_(condition) {
    const QString base = QFileInfo(dir_.path()).canonicalFilePath();
    QDir().mkpath(base + QStringLiteral("/work"));
    QDir().mkpath(base + QStringLiteral("/elsewhere"));
    file_ = base + QStringLiteral("/work/matrix.2db");
    path_ = file_;
    if (condition == Condition::kLink) {
      path_ = base + QStringLiteral("/elsewhere/link.2db");
      QFile::link(file_, path_);
    }
    if (condition == Condition::kRelativePath) {
      QDir::setCurrent(base + QStringLiteral("/elsewhere"));
      path_ = QStringLiteral("../work/matrix.2db");
    }
    db = ExampleDatabase();
    db.Modified = true;
    ui.backups = kKeep;
    ui.savePath = path_;
  }
  ~Scene() { QDir::setCurrent(QDir::tempPath()); }

  Database db;
  FakeUi ui{db};

  const QString& File() const { return file_; }
  // Listed through the link where there is one; a relative path named the
  // file only from the folder it was given in.
  std::vector<Backup> Backups() const {
    return ListBackups(condition_ == Condition::kRelativePath ? file_ : path_);
  }

  // What a user does between saves: a change, and in the relative
  // condition a walk to another folder.
  void Change(int n) {
    db.Folders[0].Name = QStringLiteral("Version %1").arg(n);
    db.Modified = true;
    if (condition_ == Condition::kRelativePath) QDir::setCurrent(dir_.path());
  }

  // A save through the command, with the file dated as the condition has it.
  bool Save(bool saveAs = false) {
    // The dating is the condition, not a change by another program.
    const bool known = ui.known.exists && ui.known == IdentityOfDatabaseFile(file_);
    if (condition_ == Condition::kOlderTimes) SetTime(file_, 2001);
    if (condition_ == Condition::kNewerTimes) SetTime(file_, 2099);
    if (known) ui.known = IdentityOfDatabaseFile(file_);
    const bool saved = SaveDatabase(db, saveAs, ui);
    if (saved) Held(db);
    return saved;
  }

  // Another program (cp -p, an archive) puts bytes there, dated long ago.
  void ReplacedOutside(const QString& from) {
    QFile::remove(file_);
    QVERIFY(QFile::copy(from, file_));
    SetTime(file_, 1999);
    held_.pop_back();
    Held(Read(file_, kPassword).db);
  }

  // Deleted by another program: that version is gone with it.
  void DeletedOutside() {
    QVERIFY(QFile::remove(file_));
    held_.pop_back();
  }

  // What is wrong now; empty when every rule holds.
  QString Problems() const {
    const ReadOutcome now = Read(file_, kPassword);
    if (now.status != ReadOutcome::kLoaded) return QStringLiteral("the file does not open");
    if (!StoredDifference(now.db, held_.back()).isEmpty())
      return QStringLiteral("the file is not the last save: ") +
             StoredDifference(now.db, held_.back());
    const std::vector<Backup> backups = Backups();
    if (backups.size() > std::size_t(kKeep)) return QStringLiteral("more backups than kept");
    std::vector<Database> kept{now.db};
    for (const Backup& backup : backups) {
      if (StatOf(backup.path).st_ino == StatOf(file_).st_ino)
        return QStringLiteral("a backup is the live file: ") + backup.path;
      const ReadOutcome read = Read(backup.path, kPassword);
      if (read.status != ReadOutcome::kLoaded) return QStringLiteral("unreadable ") + backup.path;
      kept.push_back(read.db);
      if (now.db.Encrypted &&
          Read(backup.path, QStringLiteral("wrong")).status == ReadOutcome::kLoaded)
        return QStringLiteral("opens without the password: ") + backup.path;
    }
    // The distinct versions the file held, newest first, as many as kept.
    int distinct = 0;
    for (auto version = held_.rbegin(); version != held_.rend() && distinct <= kKeep; ++version) {
      ++distinct;
      const bool found = std::any_of(kept.begin(), kept.end(), [&](const Database& one) {
        return StoredDifference(one, *version).isEmpty();
      });
      if (!found) return QStringLiteral("lost: ") + version->Folders[0].Name;
    }
    return {};
  }

 private:
  // A save of what the file holds already makes no new version.
  void Held(const Database& version) {
    if (held_.empty() || !StoredDifference(held_.back(), version).isEmpty() ||
        held_.back().Encrypted != version.Encrypted)
      held_.push_back(version);
  }

  QTemporaryDir dir_;
  Condition condition_;
  QString file_;
  QString path_;
  std::vector<Database> held_;
};

}  // namespace

class SafetyMatrixTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR)); }

  void everyConditionKeepsEveryVersion_data() {
    QTest::addColumn<int>("condition");
    QTest::newRow("plain") << int(Condition::kPlain);
    QTest::newRow("file times older than the clock") << int(Condition::kOlderTimes);
    QTest::newRow("file times newer than the clock") << int(Condition::kNewerTimes);
    QTest::newRow("through a symbolic link") << int(Condition::kLink);
    QTest::newRow("relative path, other working folder") << int(Condition::kRelativePath);
  }

  void everyConditionKeepsEveryVersion() {
    QFETCH(int, condition);
    Scene s(static_cast<Condition>(condition));
    const auto step = [&](const char* what) {
      const QString problems = s.Problems();
      QVERIFY2(problems.isEmpty(), qPrintable(QString(what) + ": " + problems));
      QVERIFY2(s.ui.messages.isEmpty(), qPrintable(s.ui.messages.join(u'\n')));
    };
    QVERIFY(s.Save(true));
    for (int n = 2; n <= 6; ++n) {
      s.Change(n);
      QVERIFY(s.Save());
      step("a save");
    }
    QVERIFY(s.ui.recent.last().startsWith(u'/'));
    QCOMPARE(QFileInfo(s.Backups().at(0).path).absolutePath(),
             s.File() + QStringLiteral(".backups"));

    // Saves of an unchanged database push out no version.
    const std::vector<Backup> before = ListBackups(s.File());
    for (int n = 0; n < 3; ++n) QVERIFY(s.Save());
    QCOMPARE(ListBackups(s.File()).size(), before.size());
    QCOMPARE(ListBackups(s.File()).front().path, before.front().path);

    // An old copy put over the file, dated long ago: the save asks, and the
    // version it replaces is kept as the newest.
    s.ReplacedOutside(before.back().path);
    s.Change(7);
    s.ui.answer = kAnswerYes;
    QVERIFY(s.Save());
    QCOMPARE(s.ui.messages.size(), 1);
    s.ui.messages.clear();
    step("a save over an old copy");

    // A restore with unsaved changes, then its save: the backup restored is
    // pruned by that save, never before it is read.
    s.Change(8);
    const QString oldest = ListBackups(s.File()).back().path;
    const QString oldestName = Read(oldest).db.Folders[0].Name;
    QVERIFY(RestoreBackup(s.db, oldest, s.ui));
    QCOMPARE(s.db.Folders[0].Name, oldestName);
    QVERIFY(s.Save());
    step("a restore and its save");

    // The file deleted while open: the save writes it again, asking nothing.
    s.DeletedOutside();
    s.Change(9);
    QVERIFY(s.Save());
    step("a save of a deleted file");

    // Encryption switched on: the backups in the clear are sealed (Yes).
    s.db.PasswordOn = true;
    s.db.Password = kPassword;
    s.db.Encrypted = true;
    s.db.Modified = true;
    s.ui.answer = kAnswerYes;
    QVERIFY(s.Save());
    QCOMPARE(s.ui.messages.size(), 1);
    QVERIFY(s.ui.messages[0].startsWith(QStringLiteral("t986/22")));
    s.ui.messages.clear();
    step("the save that encrypts");
  }

  // A rename the system refuses (the temporary on another file system) and
  // a write in place: the failure keeps every file and backup as it was
  // and says so; the write in place keeps its backup as a copy.
  void refusedRenameAndWriteInPlace() {
    Scene s(Condition::kPlain);
    QVERIFY(s.Save(true));
    s.Change(2);
    QVERIFY(s.Save());
    const QStringList backups = FilesIn(s.File() + QStringLiteral(".backups"));
    const QByteArray file = ReadBytes(s.File());
    const QString otherDisk = QStringLiteral("/dev/shm/orbo-matrix-%1.tmp").arg(::getpid());
    SaveOptions elsewhere;
    elsewhere.keepBackups = kKeep;
    elsewhere.createTemp = [&](const QString&) {
      WriteBytes(otherDisk, {});
      return otherDisk;
    };
    s.Change(3);
    CodePage codePage;
    const WriteOutcome refused = WriteDatabaseFile(s.db, s.File(), codePage, elsewhere);
    QVERIFY(!refused.ok);
    QCOMPARE(refused.stage, WriteOutcome::kReplacing);
    QVERIFY(SaveFailureTextHolds(refused, s, kNothingChanged));
    QCOMPARE(ReadBytes(s.File()), file);
    QCOMPARE(FilesIn(s.File() + QStringLiteral(".backups")), backups);
    QVERIFY(!QFileInfo::exists(otherDisk));

    const WriteOutcome written = WriteDatabaseFile(s.db, s.File(), codePage, InPlaceSave(kKeep));
    QVERIFY(written.ok && written.inPlace && written.backupMade);
    const Backup newest = ListBackups(s.File()).front();
    QVERIFY(StatOf(newest.path).st_ino != StatOf(s.File()).st_ino);
    QCOMPARE(ReadBytes(newest.path), file);
  }

  // The temporary a save writes is private from its first byte; the file
  // then takes the mode it had, a new file the umask's.
  void temporariesArePrivate() {
    Scene s(Condition::kPlain);
    QVERIFY(s.Save(true));
    QCOMPARE(int(StatOf(s.File()).st_mode & 0777), int(0666 & ~Umask()));
    QCOMPARE(::chmod(QFile::encodeName(s.File()).constData(), 0640), 0);
    int modeOfTemp = -1;
    SaveOptions watched;
    watched.createTemp = [&](const QString& target) {
      const QString temp = CreateTempBeside(target);
      modeOfTemp = int(StatOf(temp).st_mode & 0777);
      return temp;
    };
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(s.db, s.File(), codePage, watched).ok);
    QCOMPARE(modeOfTemp, 0600);
    QCOMPARE(int(StatOf(s.File()).st_mode & 0777), 0640);
  }

 private:
  static mode_t Umask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
  }
  static bool SaveFailureTextHolds(const WriteOutcome& outcome, Scene& s, const QString& part) {
    return SaveFailureText(outcome, s.File(), s.ui).contains(part);
  }
};

QTEST_GUILESS_MAIN(SafetyMatrixTest)
#include "tst_safety_matrix.moc"
