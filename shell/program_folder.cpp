#include "shell/program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace orbo {
namespace {

bool CanWriteIn(const QString& folder) {
  const QFileInfo data(QDir(folder).filePath(QStringLiteral("data")));
  return data.isDir() && data.isWritable();
}

// Copies one installed file into the user's folder, writable for its owner
// and with the installed file's time, so a later installation is told apart.
bool CopyInto(const QFileInfo& from, const QString& to) {
  QDir().mkpath(QFileInfo(to).absolutePath());
  const QString fresh = to + QStringLiteral(".new");
  QFile::remove(fresh);
  if (!QFile::copy(from.filePath(), fresh)) return false;
  QFile copy(fresh);
  copy.setPermissions(copy.permissions() | QFile::WriteOwner | QFile::ReadOwner);
  if (copy.open(QIODevice::ReadWrite))
    copy.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
  copy.close();
  QFile::remove(to);
  return QFile::rename(fresh, to);
}

}  // namespace

QString FindDataFolder(const QString& exeDir) {
  const QDir here(exeDir);
  if (here.exists(QStringLiteral("Texts"))) return here.absolutePath();
  const QString shared = QDir::cleanPath(
      here.filePath(QStringLiteral("../share/") + QLatin1String(kInstalledFolderName)));
  return QDir(shared).exists(QStringLiteral("Texts")) ? shared : here.absolutePath();
}

bool IsUsersFile(const QString& relativePath) {
  static const QStringList kFiles = {QStringLiteral("data/root.dat"),
                                     QStringLiteral("data/multiprog.dat"),
                                     QStringLiteral("Texts/current.dat")};
  static const QStringList kFolders = {QStringLiteral("data/examples/"),
                                       QStringLiteral("icons/usericons/")};
  if (kFiles.contains(relativePath)) return true;
  for (const QString& folder : kFolders) {
    if (relativePath.startsWith(folder)) return true;
  }
  return false;
}

QString PrepareProgramFolder(const QString& exeDir, const QString& userFolder, QString* why) {
  const QString dataFolder = FindDataFolder(exeDir);
  // An installed copy never writes below share/, even for a user who may.
  const bool installed = dataFolder != QDir(exeDir).absolutePath();
  if (!installed && CanWriteIn(dataFolder)) return dataFolder;
  if (!QDir().mkpath(QDir(userFolder).filePath(QStringLiteral("data")))) {
    *why = QStringLiteral("cannot create %1").arg(userFolder);
    return {};
  }
  const QDir data(dataFolder);
  QDirIterator files(dataFolder, QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QFileInfo source(files.next());
    const QString relative = data.relativeFilePath(source.filePath());
    const QFileInfo target(QDir(userFolder).filePath(relative));
    // What the user's program wrote stays; the rest follows the installation.
    const bool stale = !target.exists() ||
                       (!IsUsersFile(relative) && (target.size() != source.size() ||
                                                   target.lastModified() != source.lastModified()));
    if (stale && !CopyInto(source, target.filePath())) {
      *why = QStringLiteral("cannot copy %1 to %2").arg(source.filePath(), target.filePath());
      return {};
    }
  }
  return userFolder;
}

}  // namespace orbo
