#include "query/access/access_folder.h"

#include <QDir>
#include <QFileInfo>

namespace orbo {

QString AccessStartFolder(const QString& databasePath, const QString& lastAccessFile) {
  if (!databasePath.isEmpty() && databasePath != u"noname")
    return QFileInfo(databasePath).absolutePath();
  if (!lastAccessFile.isEmpty()) return QFileInfo(lastAccessFile).absolutePath();
  return QDir::homePath();
}

}  // namespace orbo
