// Where the file dialogs of the Access exchange open.
#pragma once

#include <QString>

namespace orbo {

// Beside the open database; for a new database not saved yet, where the
// last Access file chosen was, else the home folder.
QString AccessStartFolder(const QString& databasePath, const QString& lastAccessFile);

}  // namespace orbo
