#include "storage/save_target.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

#include "storage/storage_error.h"

namespace orbo {
namespace {

constexpr int kTempAttempts = 100;
constexpr int kLockAttempts = 100;

// ".orbo-" and 16 hex digits of a hash of target's name, then ".": what the
// lock and the temporaries of saves of target begin with.
QString PrefixFor(const QString& target) {
  const QFileInfo info(target);
  const QByteArray digest =
      QCryptographicHash::hash(info.fileName().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  return info.absolutePath() + QStringLiteral("/.orbo-") + QString::fromLatin1(digest) + u'.';
}

bool Stat(const QString& path, struct stat* info) {
  return ::stat(QFile::encodeName(path).constData(), info) == 0;
}

// The umask as the kernel reports it; reading it with umask() itself would
// change it for a moment under the other threads' feet.
mode_t UmaskOfProcess() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (status.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("Umask:")) {
        bool ok = false;
        const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
        if (ok) return static_cast<mode_t>(mask);
      }
    }
  }
  return 022;
}

bool WriteAll(int fd, const char* data, qsizetype size) {
  while (size > 0) {
    const ssize_t done = ::write(fd, data, static_cast<std::size_t>(size));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    size -= done;
  }
  return true;
}

[[noreturn]] void ThrowWriteFailed(const QString& path, int error) {
  throw StorageError(QStringLiteral("writing %1 failed: %2").arg(path, SystemErrorText(error)),
                     error);
}

}  // namespace

FileIdentity IdentityOf(const QString& path) {
  struct stat info {};
  if (!Stat(path, &info)) return {};
  return {true, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          info.st_size,
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool IsWriteProtected(const QString& path) {
  struct stat info {};
  if (!Stat(path, &info)) return false;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  // The effective ids decide, as for the write itself; ACLs and read-only
  // mounts count too.
  return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) != 0 &&
         errno != ENOENT;
}

bool TakeModeAndOwner(const QString& path, const QString& model) {
  struct stat old {};
  if (!Stat(model, &old)) return false;
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat now {};
  if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
    // Root may give the file back to its owner; others at most to a group of
    // theirs. Either failing keeps the file the user's own.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
      (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  // After the owner: a change of owner clears the set-id bits.
  const bool moded = ::fchmod(fd, old.st_mode & 07777) == 0;
  ::close(fd);
  return moded;
}

mode_t NewFileMode() {
  static const mode_t mode = 0666 & ~UmaskOfProcess();
  return mode;
}

bool SyncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

void WritePrivateFile(const QString& path, const std::function<void(const ByteSink&)>& write) {
  const QByteArray name = QFile::encodeName(path);
  const int fd =
      ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    const int error = errno;
    throw StorageError(QStringLiteral("%1 cannot be created: %2").arg(path, SystemErrorText(error)),
                       error);
  }
  try {
    write([&](const char* data, qsizetype size) {
      if (!WriteAll(fd, data, size)) ThrowWriteFailed(path, errno);
    });
    if (::fsync(fd) != 0) ThrowWriteFailed(path, errno);
  } catch (...) {
    ::close(fd);
    ::unlink(name.constData());
    throw;
  }
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(name.constData());
    ThrowWriteFailed(path, error);
  }
}

QString LockPathFor(const QString& target) { return PrefixFor(target) + QStringLiteral("lock"); }

SaveLock::SaveLock(const QString& target) : path_(QFile::encodeName(LockPathFor(target))) {}

SaveLock::~SaveLock() {
  if (fd_ < 0) return;
  // Removed while still held, so nobody takes a lock on a file already gone.
  ::unlink(path_.constData());
  ::close(fd_);
}

SaveLock::Result SaveLock::Take() {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    const int fd = ::open(path_.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      systemError_ = errno;
      const bool refused = errno == EACCES || errno == EPERM || errno == EROFS;
      // A lock file there that this user may not open is another user's.
      struct stat there {};
      return refused && ::lstat(path_.constData(), &there) != 0 ? kFolderTakesNoFile : kFailed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      systemError_ = errno;
      const bool held = errno == EWOULDBLOCK;
      ::close(fd);
      return held ? kHeldByAnother : kFailed;
    }
    // The save that held the lock may have removed its file meanwhile: a
    // lock on that file would keep nobody out.
    struct stat locked {};
    struct stat named {};
    if (::fstat(fd, &locked) == 0 && ::stat(path_.constData(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      fd_ = fd;
      return kTaken;
    }
    ::close(fd);
  }
  return kFailed;
}

InPlaceLock::InPlaceLock(const QString& target)
    : fd_(::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC)) {
  taken_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

InPlaceLock::~InPlaceLock() {
  if (fd_ >= 0) ::close(fd_);
}

QStringList TempsBeside(const QString& target) {
  const QFileInfo prefix(PrefixFor(target));
  const QDir folder = prefix.absoluteDir();
  QStringList temps;
  for (const QString& name : folder.entryList({prefix.fileName() + QStringLiteral("*tmp")},
                                              QDir::AllEntries | QDir::Hidden | QDir::System)) {
    if (name.endsWith(QLatin1String(".tmp"))) temps << folder.filePath(name);
  }
  return temps;
}

QString CreateTempBeside(const QString& target) {
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    const QString path = PrefixFor(target) + QStringLiteral("%1-%2.tmp")
                                                 .arg(::getpid())
                                                 .arg(QRandomGenerator::global()->bounded(1 << 24),
                                                      6, 16, QLatin1Char('0'));
    // Private until the save gives it the mode of the file it replaces: a
    // database readable by its owner alone is never readable meanwhile.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    const int error = errno;
    if (error == EEXIST) continue;
    if (error == EACCES || error == EPERM || error == EROFS) return {};
    throw StorageError(QStringLiteral("%1 cannot be created: %2").arg(path, SystemErrorText(error)),
                       error);
  }
  throw StorageError(QStringLiteral("no free name for a temporary beside %1").arg(target));
}

void RemoveStaleTemps(const QString& target) {
  for (const QString& temp : TempsBeside(target)) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(temp);
    if (::lstat(name.constData(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(name.constData());
  }
}

}  // namespace orbo
