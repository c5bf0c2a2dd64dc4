#include "storage/data_path.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orbo {
namespace {

// Folder names compare as the file system compares them.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

bool HasFile(const QString& databasePath) {
  return !databasePath.isEmpty() && databasePath != u"noname";
}

// The database's folder with a trailing separator, in the form of the disk.
QString DatabaseFolder(const QString& databasePath) {
  return QFileInfo(QDir::fromNativeSeparators(databasePath)).absolutePath() + u'/';
}

}  // namespace

QString ResolveDataPath(const QString& stored, const QString& databasePath) {
  if (!stored.startsWith(u'\\') && !stored.startsWith(u'/'))
    return QDir::fromNativeSeparators(stored);
  if (!HasFile(databasePath)) return QDir::fromNativeSeparators(stored);
  QString below = stored.mid(1);
  below.replace(u'\\', u'/');
  const QString relative = DatabaseFolder(databasePath) + below;
  if (stored.startsWith(u'/') && !QFileInfo::exists(relative) && QFileInfo::exists(stored))
    return stored;
  return relative;
}

QString MakeRelativePath(const QString& fullPath, const QString& databasePath) {
  if (!HasFile(databasePath)) return fullPath;
  const QString folder = DatabaseFolder(databasePath);
  const QString path = QDir::fromNativeSeparators(fullPath);
  if (!path.startsWith(folder, kPathCase)) return fullPath;
  QString rest = path.mid(folder.size() - 1);
  rest.replace(u'/', u'\\');
  return rest;
}

bool IsDatabaseFile(const QString& path, const QString& databasePath) {
  const QString target = QFileInfo(path).canonicalFilePath();
  return !target.isEmpty() && target == QFileInfo(databasePath).canonicalFilePath();
}

QString FileDialogStart(const QString& databasePath, const QString& lastFile) {
  if (!databasePath.isEmpty() && databasePath != u"noname")
    return QFileInfo(databasePath).absolutePath();
  if (!lastFile.isEmpty()) return QFileInfo(lastFile).absolutePath();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

}  // namespace orbo
