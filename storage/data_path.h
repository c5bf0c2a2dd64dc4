// File names stored in records: relative to the database's folder when
// they begin with "\" (or "/"), so a database moved with its files keeps
// finding them.
#pragma once

#include <QString>

namespace orbo {

// The path to open for a stored name. A name beginning with "\" or "/" is
// taken below the database's folder; one beginning with "/" that is not
// found there but exists as it stands is a full path of this system.
QString ResolveDataPath(const QString& stored, const QString& databasePath);

// The name to store for a chosen file: below the database's folder, the
// rest of the path from the separator on, written with "\"; elsewhere (or
// for a database without a file) the path unchanged.
QString MakeRelativePath(const QString& fullPath, const QString& databasePath);

// Whether writing another file (a PDF, an export) to path would replace the
// database's own file.
bool IsDatabaseFile(const QString& path, const QString& databasePath);

// Where a file dialog opens: beside the open database; for a database not
// saved yet, where the last file chosen there was, else the user's
// documents (the home folder where there is none).
QString FileDialogStart(const QString& databasePath, const QString& lastFile = {});

}  // namespace orbo
