// Repairs what files of older versions may hold and a load can mend without
// guessing: records in no folder, folders whose parent is gone or that lie
// inside themselves, title elements that name nothing. Values are kept as
// stored: a combo choice past the end of its list is a choice of no line.
// Nothing is dropped.
#pragma once

#include <QString>
#include <QStringList>

#include "storage/database_model.h"

namespace orbo {

struct ModelRepairs {
  int recordsRecovered = 0;  // live records put into the recovered folder
  int foldersToTop = 0;      // folders moved to the top level
  int titlesReset = 0;       // forms whose title element was reset
  int tablesAdded = 0;       // a folder or form added to an empty database

  int Total() const { return recordsRecovered + foldersToTop + titlesReset + tablesAdded; }
  ModelRepairs& operator+=(const ModelRepairs& other);
  // One English line per kind of repair, for orbo-cli.
  QStringList Describe() const;
};

// Names the repairs give new objects, in the user's language.
struct RepairNames {
  QString recoveredFolder = QStringLiteral("Recovered");
  FontSpec defaultFont;
};

// Mends the references of a model read from a file. A record whose folder
// is missing goes into a folder "recovered" added at the top level.
ModelRepairs RepairModel(Database& db, const RepairNames& names);

// For the window, which always stands in a folder and adds records of a
// form: an empty table of folders or forms gets its first entry.
ModelRepairs RepairForWindow(Database& db, const RepairNames& names);

}  // namespace orbo
