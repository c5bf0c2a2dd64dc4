#include "storage/recovery_copies.h"

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <cerrno>

#include "storage/database_file.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

const QString kPrefix = QStringLiteral("copy-");

bool ProcessRuns(qint64 processId) {
  return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

}  // namespace

RecoveryFolder::RecoveryFolder(QString folder, qint64 processId)
    : folder_(std::move(folder)), processId_(processId) {}

QString RecoveryFolder::CopyPath(qint64 processId) const {
  return QDir(folder_).filePath(kPrefix + QString::number(processId) + QStringLiteral(".2db"));
}

QString RecoveryFolder::NotePath(qint64 processId) const {
  return QDir(folder_).filePath(kPrefix + QString::number(processId) + QStringLiteral(".ini"));
}

bool RecoveryFolder::Write(const Database& db) const {
  if (!QDir().mkpath(folder_)) return false;
  try {
    CodePage codePage(db.CodePageName);
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
    if (!ok || processId == processId_ || ProcessRuns(processId)) continue;
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
}

}  // namespace orbo
