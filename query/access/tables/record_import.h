// One import without widgets: where each row's record goes, the folders the
// rows name, then the records themselves. The window and orbo-cli both run it.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "query/access/tables/access_import.h"
#include "storage/model_delta.h"

namespace orbo {

struct ImportPlan {
  int form = 0;
  int folder = 0;  // the folder chosen
  ColumnMap map;
  // The column whose folder path ("Address Book\Work") places each record;
  // -1 puts every record into folder.
  int folderColumn = -1;
};

struct FolderToMake {
  int parent = 0;
  QString name;
};

// Everything an import will touch, known before it touches anything: the
// undo step records exactly these entries.
struct ImportLayout {
  std::vector<int> folders;  // each row's folder
  std::vector<int> places;   // each row's record slot
  int recordCount = 0;       // the record table's count afterwards
  // Made in order at the end of the folder table.
  std::vector<FolderToMake> newFolders;
  int firstNewFolder = 0;
  int unplaced = 0;  // rows left in a folder above theirs: the folder table is full

  std::vector<int> NewFolderIndices() const;
  // What the import changes: the records it places and the folders it makes.
  ChangeScope Scope() const;
};

// The rows of a table an import adds, at most capacity of them.
enum class TableRows { kRead, kCannotOpen, kTooMany, kDamaged };
TableRows ReadTableRows(AccessSource& source, int table, int capacity, QStringList* columns,
                        std::vector<QStringList>* rows);

// A path is read from the top of the tree when the folder chosen is a
// top-level folder, as the exports write paths, and from the folder chosen
// otherwise, which may be the path's first name. Names are matched exactly;
// a folder that is missing is made, while the table has room. An empty path
// is the folder chosen.
ImportLayout LayOutImport(const Database& db, const ImportPlan& plan,
                          const std::vector<QStringList>& rows);

// Makes the layout's folders and records and stores the rows; progress gets
// the rows done so far.
ImportTally RunImport(Database& db, const ImportPlan& plan, const ImportLayout& layout,
                      const std::vector<QStringList>& rows,
                      const std::function<void(int done)>& progress = {});

}  // namespace orbo
