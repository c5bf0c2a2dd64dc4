#include "storage/recovery_copies.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <cerrno>

#include "storage/database_file.h"
#include "storage/storable_text.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

const QString kPrefix = QStringLiteral("copy-");

bool LockHeld(const QString& lockPath) {
  const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
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
  if (!QDir().mkpath(folder_)) return false;
  try {
    CodePage codePage(db.CodePageName);
    // A save would ask; a copy no one is asked about keeps the rest.
    MakeTextsStorable(db, codePage);
    if (!WriteDatabaseFile(db, CopyPath(processId_), codePage).ok) return false;
  } catch (const StorageError&) {
    return false;
  }
  QSettings note(NotePath(processId_), QSettings::IniFormat);
  note.setValue(QStringLiteral("Database"), db.DatabasePath);
  note.setValue(QStringLiteral("Made"), QDateTime::currentDateTime());
  note.sync();
  return note.status() == QSettings::NoError;
}

void RecoveryFolder::Remove() const {
  QFile::remove(NotePath(processId_));
  QFile::remove(CopyPath(processId_));
}

std::vector<RecoveryCopy> RecoveryFolder::Left() const {
  std::vector<RecoveryCopy> left;
  const QStringList notes =
      QDir(folder_).entryList({kPrefix + QStringLiteral("*.ini")}, QDir::Files);
  for (const QString& name : notes) {
    bool ok = false;
    const qint64 processId = name.mid(kPrefix.size()).chopped(4).toLongLong(&ok);
    if (!ok || processId == processId_ || LockHeld(LockPath(processId))) continue;
    const QSettings note(QDir(folder_).filePath(name), QSettings::IniFormat);
    RecoveryCopy copy{CopyPath(processId), NotePath(processId),
                      note.value(QStringLiteral("Database")).toString(),
                      note.value(QStringLiteral("Made")).toDateTime()};
    const QFileInfo database(copy.databasePath);
    const bool savedSince = copy.databasePath != QLatin1String("noname") && database.exists() &&
                            database.lastModified() >= copy.made;
    if (!QFileInfo::exists(copy.copyPath) || copy.databasePath.isEmpty() || !copy.made.isValid() ||
        savedSince) {
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
  if (!QDir().mkpath(folder.Folder())) return;
  fd_ = ::open(path_.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

RecoveryLock::~RecoveryLock() {
  if (fd_ < 0) return;
  ::unlink(path_.constData());
  ::close(fd_);
}

}  // namespace orbo
