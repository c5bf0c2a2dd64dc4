// The commands that save, load and merge the open database, with their
// dialogs, messages and progress going through FileCommandsUi.
#pragma once

#include "shell/file_commands_ui.h"
#include "shell/file_texts.h"
#include "storage/database_model.h"

namespace orbo {

// True when the file was written; false when the dialog was cancelled or
// writing failed (the previous file is then untouched).
// title: the save dialog's, when it asks for a path.
bool SaveDatabase(Database& db, bool saveAs, FileCommandsUi& ui,
                  TextId title = file_texts::kSaveDatabaseAsTitle);
bool SaveDatabaseAs(Database& db, FileCommandsUi& ui,
                    TextId title = file_texts::kSaveDatabaseAsTitle);

// An empty path asks with the open dialog. A failed or cancelled load
// leaves the open database as it was. The database keeps the path absolute
// and with its links followed, so it names the same file from any folder.
// True when the file was read and is shown.
bool LoadDatabase(Database& db, const QString& path, FileCommandsUi& ui);

// Opens the file at file (a backup, a recovery copy) in place of db,
// modified and under path: a save replaces the file at path. False when it
// could not be read, or the user kept the open database.
bool OpenUnsaved(Database& db, const QString& file, const QString& path, FileCommandsUi& ui);

// Reads db's file again in place of db, its texts in codePage, which is
// remembered for the file. Only for a database without unsaved changes,
// whose file holds what it shows. False when it could not be read.
bool ReadAgainAs(Database& db, const QString& codePage, FileCommandsUi& ui);

// Takes the contents of the backup at backup into db as one step the user
// can take back, unsaved changes and all; db keeps its file, code page and
// protection. The backup's password is asked for only when the database's
// own does not open it. False when it was not read or the user gave up.
bool RestoreBackup(Database& db, const QString& backup, FileCommandsUi& ui);

// False when the caller must not go on: the user cancelled, or chose to
// save and the save did not happen.
bool AskSaveChanges(Database& db, FileCommandsUi& ui);

void NewDatabaseCmd(Database& db, FileCommandsUi& ui);

// Merges a database file chosen with the open dialog into db. True when
// the records of the file were taken in.
bool ImportDatabase(Database& db, FileCommandsUi& ui);

}  // namespace orbo
