// The list of recently used databases, newest first as far as the list keeps
// an order at all.
#pragma once

#include <QString>

#include "shell/app_settings.h"

namespace orbo {

using RecentList = std::array<QString, kRecentFileCount>;

// How a path is kept in the list: lower case where file names ignore case,
// else absolute with its links followed.
QString RecentFileKey(const QString& path);

// Enters path under its RecentFileKey. Returns whether the list changed, so the
// menu needs building again.
bool AddRecentFile(RecentList& recent, const QString& path);

// "&1 c:\path" for entry 0 and so on; what a recent-file menu item shows.
QString RecentMenuCaption(int index, const QString& path);
// The path behind a menu caption; a path starting with "\" is below the program folder.
QString RecentPathFromCaption(const QString& caption, const QString& appPath);

}  // namespace orbo
