// The versions a save replaced, kept beside the database in a folder of
// their own: NAME.2db.backups/NAME YYYY-MM-DD HH-MM-SS.2db, named by when
// that version was saved. Each is a whole database file that opens like any
// other; the newest N are kept.
#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace orbo {

inline constexpr int kDefaultBackups = 3;
inline constexpr int kMaxBackups = 99;

QString BackupFolderOf(const QString& databasePath);

struct Backup {
  QString path;
  QDateTime saved;  // when the version it holds was saved
};
// Newest first; none when the folder does not exist.
std::vector<Backup> ListBackups(const QString& databasePath);

// Keeps the file at target, about to be replaced, as its newest backup: a
// hard link, a copy where the file system has none. Then removes the oldest
// beyond keep. False when no backup could be made; the save goes on then.
bool KeepBackup(const QString& target, int keep);

}  // namespace orbo
