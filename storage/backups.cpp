#include "storage/backups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orbo {
namespace {

const QString kFolderSuffix = QStringLiteral(".backups");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");

// A name no backup in folder has yet, for a version saved at saved.
QString FreeNameFor(const QDir& folder, const QFileInfo& target, const QDateTime& saved) {
  const QString stem = target.completeBaseName() + u' ' + saved.toString(kDateFormat);
  const QString suffix = u'.' + target.suffix();
  QString name = stem + suffix;
  for (int n = 2; folder.exists(name); ++n)
    name = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
  return folder.filePath(name);
}

// A copy keeps the time the version was saved, by which backups are listed.
bool LinkOrCopy(const QFileInfo& from, const QString& to) {
  std::error_code error;
  std::filesystem::create_hard_link(QFile::encodeName(from.absoluteFilePath()).toStdString(),
                                    QFile::encodeName(to).toStdString(), error);
  if (!error) return true;
  if (!QFile::copy(from.absoluteFilePath(), to)) return false;
  QFile copy(to);
  return copy.open(QIODevice::ReadWrite) &&
         copy.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
}

}  // namespace

QString BackupFolderOf(const QString& databasePath) { return databasePath + kFolderSuffix; }

std::vector<Backup> ListBackups(const QString& databasePath) {
  const QFileInfo database(databasePath);
  const QDir folder(BackupFolderOf(databasePath));
  std::vector<Backup> backups;
  const QString prefix = database.completeBaseName() + u' ';
  for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
    if (!file.fileName().startsWith(prefix)) continue;
    backups.push_back({file.absoluteFilePath(), file.lastModified()});
  }
  std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) {
    return a.saved != b.saved ? a.saved > b.saved : a.path > b.path;
  });
  return backups;
}

bool KeepBackup(const QString& target, int keep) {
  if (keep <= 0) return true;
  const QFileInfo file(target);
  QDir folder(BackupFolderOf(target));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return false;
  if (!LinkOrCopy(file, FreeNameFor(folder, file, file.lastModified()))) return false;
  const std::vector<Backup> backups = ListBackups(target);
  for (std::size_t i = static_cast<std::size_t>(keep); i < backups.size(); ++i)
    QFile::remove(backups[i].path);
  return true;
}

}  // namespace orbo
