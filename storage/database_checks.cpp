#include "storage/database_checks.h"

#include <vector>

#include "storage/storage_error.h"

namespace orbo {
namespace {

bool IsFolderIndex(const Database& db, int index) { return index >= 0 && index < db.FolderCount; }

void CheckFolderTree(const Database& db) {
  enum Visit : char { kUnvisited, kOnPath, kDone };
  std::vector<Visit> visit(static_cast<std::size_t>(db.FolderCount), kUnvisited);
  for (int start = 0; start < db.FolderCount; ++start) {
    int d = start;
    while (d != TopLevelParent && visit[d] == kUnvisited) {
      visit[d] = kOnPath;
      d = db.Folders[static_cast<std::size_t>(d)].Parent;
    }
    if (d != TopLevelParent && visit[d] == kOnPath) {
      throw StorageError(QStringLiteral("folder %1 is its own ancestor").arg(d));
    }
    for (d = start; d != TopLevelParent && visit[d] == kOnPath;
         d = db.Folders[static_cast<std::size_t>(d)].Parent) {
      visit[d] = kDone;
    }
  }
}

}  // namespace

void CheckCount(int count, const QString& what) {
  if (count < 0)
    throw StorageError(QStringLiteral("the %1 count %2 is negative").arg(what).arg(count));
}

void CheckElementCount(int count, int form, int type) {
  if (count < 0 || count > kMaxElementsPerType) {
    throw StorageError(QStringLiteral("form %1: element count %2 of type %3 is outside 0 to %4")
                           .arg(form)
                           .arg(count)
                           .arg(type)
                           .arg(kMaxElementsPerType));
  }
}

void CheckRecordForm(const Database& db, int record, int form) {
  if (form < 0 || form >= db.FormCount) {
    throw StorageError(
        QStringLiteral("record %1: form %2 is not a form of the database").arg(record).arg(form));
  }
}

void CheckReferences(const Database& db) {
  for (int r = 0; r < db.RecordCount; ++r) {
    const int folder = db.Records[static_cast<std::size_t>(r)].Folder;
    if (folder != BufferFolder && !IsFolderIndex(db, folder)) {
      throw StorageError(QStringLiteral("record %1: folder %2 is not a folder of the database")
                             .arg(r)
                             .arg(folder));
    }
  }
  for (int d = 0; d < db.FolderCount; ++d) {
    const int parent = db.Folders[static_cast<std::size_t>(d)].Parent;
    if (parent != TopLevelParent && !IsFolderIndex(db, parent)) {
      throw StorageError(QStringLiteral("folder %1: parent %2 is not a folder of the database")
                             .arg(d)
                             .arg(parent));
    }
  }
  CheckFolderTree(db);
}

}  // namespace orbo
