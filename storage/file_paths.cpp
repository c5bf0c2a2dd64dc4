#include "storage/file_paths.h"

#include <QDir>
#include <QFileInfo>

namespace orbo {
namespace {

constexpr int kMaxLinks = 40;

// path with its folder's own links resolved, where that folder exists.
QString WithCanonicalFolder(const QString& path) {
  const QFileInfo info(path);
  const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
  return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                          : QDir(folder).filePath(info.fileName());
}

}  // namespace

std::optional<QString> FollowLinks(const QString& path) {
  QString current = WithCanonicalFolder(path);
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    const QFileInfo info(current);
    if (!info.isSymLink()) return current;
    current = WithCanonicalFolder(info.symLinkTarget());
  }
  return std::nullopt;
}

QString CanonicalFilePath(const QString& path) {
  if (path.isEmpty()) return path;
  return FollowLinks(path).value_or(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

}  // namespace orbo
