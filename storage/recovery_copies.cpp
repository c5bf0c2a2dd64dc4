#include "storage/recovery_copies.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <cerrno>

#include "storage/database_file.h"
#include "storage/save_target.h"
#include "storage/storable_text.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

const QString kPrefix = QStringLiteral("copy-");
const QString kNoName = QStringLiteral("noname");
constexpr int kLockAttempts = 100;

bool LockHeld(const QString& lockPath) {
  const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

// The folder, readable by this user alone: the copies hold whole databases.
bool MakePrivateFolder(const QString& folder) {
  const QByteArray name = QFile::encodeName(folder);
  if (!QDir().mkpath(folder)) return false;
  return ::chmod(name.constData(), 0700) == 0;
}

// The process id in a name of the folder, "copy-PID.ext"; 0 for others.
qint64 ProcessIdIn(const QString& name, const QString& extension) {
  if (!name.startsWith(kPrefix) || !name.endsWith(extension)) return 0;
  bool ok = false;
  const qint64 id =
      name.mid(kPrefix.size(), name.size() - kPrefix.size() - extension.size()).toLongLong(&ok);
  return ok && id > 0 ? id : 0;
}

}  // namespace

RecoveryFolder::RecoveryFolder(QString folder, qint64 processId)
    : folder_(std::move(folder)), processId_(processId) {}

QString RecoveryFolder::CopyPath(qint64 processId) const {
  return QDir(folder_).filePath(kPrefix + QString::number(processId) + QStringLiteral(".2db"));
}

QString RecoveryFolder::LockPath(qint64 processId) const {
  return QDir(folder_).filePath(kPrefix + QString::number(processId) + QStringLiteral(".lock"));
}

QString RecoveryFolder::NotePath(qint64 processId) const {
  return QDir(folder_).filePath(kPrefix + QString::number(processId) + QStringLiteral(".ini"));
}

bool RecoveryFolder::Write(Database db) const {
  if (!MakePrivateFolder(folder_)) return false;
  try {
    CodePage codePage(db.CodePageName);
    // A save would ask; a copy no one is asked about keeps the rest.
    MakeTextsStorable(db, codePage);
    SaveOptions options;
    options.privateNewFile = true;
    if (!WriteDatabaseFile(db, CopyPath(processId_), codePage, options).ok) return false;
  } catch (const StorageError&) {
    return false;
  }
  // Written beside and renamed, as the copy: a note is whole or absent.
  const QString temp = NotePath(processId_) + QStringLiteral(".tmp");
  QFile::remove(temp);
  {
    QSettings note(temp, QSettings::IniFormat);
    note.setValue(QStringLiteral("Database"), db.DatabasePath);
    note.setValue(QStringLiteral("Made"), QDateTime::currentDateTime());
    note.sync();
    if (note.status() != QSettings::NoError) return false;
  }
  ::chmod(QFile::encodeName(temp).constData(), 0600);
  return ::rename(QFile::encodeName(temp).constData(),
                  QFile::encodeName(NotePath(processId_)).constData()) == 0;
}

void RecoveryFolder::Remove() const {
  QFile::remove(NotePath(processId_));
  QFile::remove(CopyPath(processId_));
}

std::vector<RecoveryCopy> RecoveryFolder::Left() const {
  std::vector<RecoveryCopy> left;
  const QDir folder(folder_);
  const auto ended = [&](qint64 processId) {
    return processId != 0 && processId != processId_ && !LockHeld(LockPath(processId));
  };
  for (const QString& name : folder.entryList({kPrefix + u'*'}, QDir::Files)) {
    // A copy or lock its program left without a note: the copy was saved,
    // or the program ended with nothing unsaved.
    for (const QString& extension : {QStringLiteral(".2db"), QStringLiteral(".lock")}) {
      const qint64 processId = ProcessIdIn(name, extension);
      if (ended(processId) && !QFileInfo::exists(NotePath(processId)))
        QFile::remove(folder.filePath(name));
    }
    const qint64 processId = ProcessIdIn(name, QStringLiteral(".ini"));
    if (!ended(processId)) continue;
    const QSettings note(folder.filePath(name), QSettings::IniFormat);
    QString database = note.value(QStringLiteral("Database")).toString();
    if (database.isEmpty() || (database != kNoName && QFileInfo(database).isRelative()))
      database = kNoName;
    RecoveryCopy copy{CopyPath(processId), NotePath(processId), database,
                      note.value(QStringLiteral("Made")).toDateTime()};
    if (!QFileInfo::exists(copy.copyPath)) {
      Discard(copy);
      continue;
    }
    left.push_back(copy);
  }
  std::sort(left.begin(), left.end(),
            [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.made > b.made; });
  return left;
}

void RecoveryFolder::Discard(const RecoveryCopy& copy) {
  QFile::remove(copy.notePath);
  QFile::remove(copy.copyPath);
  // The lock its program left, which no one holds.
  QString lock = copy.notePath;
  lock.replace(lock.size() - 4, 4, QStringLiteral(".lock"));
  QFile::remove(lock);
}

RecoveryLock::RecoveryLock(const RecoveryFolder& folder)
    : path_(QFile::encodeName(folder.LockPath(folder.ProcessId()))) {
  if (!MakePrivateFolder(folder.Folder())) return;
  for (int attempt = 0; attempt < kLockAttempts && fd_ < 0; ++attempt) {
    const int fd = ::open(path_.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    // Another program that found the file unlocked may have removed it
    // meanwhile: a lock on a file gone would keep the copies unowned.
    struct stat locked {};
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &locked) == 0 &&
        ::stat(path_.constData(), &named) == 0 && locked.st_dev == named.st_dev &&
        locked.st_ino == named.st_ino) {
      fd_ = fd;
    } else {
      ::close(fd);
    }
  }
}

RecoveryLock::~RecoveryLock() {
  if (fd_ < 0) return;
  ::unlink(path_.constData());
  ::close(fd_);
}

}  // namespace orbo
