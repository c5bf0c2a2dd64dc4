#include "shell/recent_files.h"

#include <algorithm>

#include "storage/file_paths.h"

namespace orbo {

QString RecentFileKey(const QString& path) {
#ifdef Q_OS_WIN
  return path.toLower();
#else
  // Lower case would name another file on a case-sensitive disk; a relative
  // path another file once the working folder changed.
  return CanonicalFilePath(path);
#endif
}

bool AddRecentFile(RecentList& recent, const QString& path) {
  const QString entry = RecentFileKey(path);
  int used = static_cast<int>(std::count_if(recent.begin(), recent.end(),
                                            [](const QString& p) { return p != kNoRecentFile; }));

  auto found = std::find(recent.begin(), recent.end(), entry);
  if (found != recent.end()) {
    if (found == recent.begin()) return false;
    std::move_backward(recent.begin(), found, found + 1);
    recent[0] = entry;
    for (int i = used; i < kRecentFileCount; ++i) recent[i] = kNoRecentFile;
    return true;
  }
  auto freeSlot = std::find(recent.begin(), recent.end(), kNoRecentFile);
  if (freeSlot != recent.end()) {
    *freeSlot = entry;
    return true;
  }
  std::move_backward(recent.begin(), recent.end() - 1, recent.end());
  recent[0] = entry;
  return true;
}

QString RecentMenuCaption(int index, const QString& path) {
  return QStringLiteral("&%1 %2").arg(index + 1).arg(path);
}

QString RecentPathFromCaption(const QString& caption, const QString& appPath) {
  QString path = caption.mid(3);
  if (path.startsWith(u'\\')) return appPath + path.mid(1);
  return path;
}

}  // namespace orbo
