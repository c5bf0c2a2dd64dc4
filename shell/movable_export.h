// Export to a movable database: the open database is saved under a new
// name, and every file its records point to (pictures, button targets) and
// every user icon its forms and folders use are gathered into a folder
// beside it, with the stored names rewritten relative to the database. The
// new file and its folder can then move together.
#pragma once

#include <QString>

#include "shell/file_commands_ui.h"
#include "storage/database_model.h"

namespace orbo {

// Size and last write time of a file.
struct FileStamp {
  qint64 size = -1;
  qint64 written = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp StampOf(const QString& path);

// The same path, or two files of the same size and last write time.
bool SameFile(const QString& a, const QString& b);

// How the copying went.
struct CopyTally {
  int copied = 0;
  int failed = 0;  // files that exist but could not be copied
};

// The value naming the copy of the file a stored value names (resolved
// against databasePath), copied into filesDir under its name, "c" before
// it while another file has that name. A value naming no file stays.
QString CopyIntoFilesFolder(const QString& value, const QString& databasePath,
                            const QString& filesDir, CopyTally& tally);

// The files folder of a database file: its path followed by "files".
QString FilesFolderOf(const QString& databasePath);

// The menu command: saves as a new file, copies and rewrites, saves again,
// copies the user icons ("New..." keys, from userIcons) into the Icons
// sub-folder, and tells the user how many files could not be copied.
void ExportMovable(Database& db, FileCommandsUi& ui, const QString& userIcons);

}  // namespace orbo
