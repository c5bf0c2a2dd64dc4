// The files a database refers to that are not where its records say:
// pictures, and the files and media that buttons open or play. A database
// moved without them, or with them in another folder, finds them again.
#pragma once

#include <QString>
#include <vector>

#include "storage/database_model.h"
#include "storage/model_delta.h"

namespace orbo {

// One value naming a file: record r's picture or button slot.
struct FileReference {
  int record = 0;
  int type = 0;  // kImage or kButton
  int slot = 0;
  QString stored;
};

// Every picture and file or media button value of a live record whose file
// does not exist, record by record.
std::vector<FileReference> MissingFiles(const Database& db);

// How many files the references name (a file several records name counts
// once).
int DistinctFiles(const std::vector<FileReference>& references);

// A missing reference and the file of the same name found for it.
struct FoundFile {
  FileReference reference;
  QString path;
};

// The references whose file name (the last part of the stored name, with
// either separator) exists in folder, not below it.
std::vector<FoundFile> FindInFolder(const std::vector<FileReference>& missing,
                                    const QString& folder);

// Points each reference at its file found, stored as a chosen file is.
void PointAtFoundFiles(Database& db, const std::vector<FoundFile>& found);
// What PointAtFoundFiles changes: the records that refer to the files.
ChangeScope ScopeOfPointingAtFoundFiles(const std::vector<FoundFile>& found);

}  // namespace orbo
