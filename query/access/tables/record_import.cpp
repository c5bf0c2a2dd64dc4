#include "query/access/tables/record_import.h"

#include <QHash>
#include <algorithm>

#include "storage/navigation_logic.h"
#include "storage/stream_library.h"

namespace orbo {
namespace {

class PathResolver {
 public:
  PathResolver(const Database& db, const ImportPlan& plan, ImportLayout& layout)
      : db_(db), plan_(plan), layout_(layout) {
    // Backwards, since a later insert replaces: the first of equal names wins.
    for (int f = db.FolderCount - 1; f >= 0; --f) {
      const FolderDef& folder = db.Folders[static_cast<size_t>(f)];
      children_.insert({folder.Parent, folder.Name}, f);
    }
  }

  // The folder path names, and whether it could be made whole.
  std::pair<int, bool> Resolve(const QString& path) {
    QStringList parts = path.split(u'\\', Qt::SkipEmptyParts);
    const FolderDef& chosen = db_.Folders[static_cast<size_t>(plan_.folder)];
    // Below a top-level folder, a path is read from the top of the tree, as
    // the exports write it; below any other, from the folder chosen, which a
    // path may begin with.
    const bool fromTop = chosen.Parent == TopLevelParent;
    if (!fromTop && !parts.isEmpty() && parts.front() == chosen.Name) parts.removeFirst();
    if (parts.isEmpty()) return {plan_.folder, true};
    int at = fromTop ? TopLevelParent : plan_.folder;
    for (const QString& part : parts) {
      const QString name = part.left(stream::kMaxStringBytes);
      int child = children_.value({at, name}, -1);
      if (child < 0) {
        const int next = layout_.firstNewFolder + static_cast<int>(layout_.newFolders.size());
        if (next >= kMaxFolders) return {at == TopLevelParent ? plan_.folder : at, false};
        layout_.newFolders.push_back({at, name});
        children_.insert({at, name}, next);
        child = next;
      }
      at = child;
    }
    return {at, true};
  }

 private:
  const Database& db_;
  const ImportPlan& plan_;
  ImportLayout& layout_;
  // The folders by parent and name, the ones the layout makes included.
  QHash<std::pair<int, QString>, int> children_;
};

}  // namespace

std::vector<int> ImportLayout::NewFolderIndices() const {
  std::vector<int> indices(newFolders.size());
  for (std::size_t i = 0; i < indices.size(); ++i)
    indices[i] = firstNewFolder + static_cast<int>(i);
  return indices;
}

ChangeScope ImportLayout::Scope() const {
  return {IndexScope::Of(places), IndexScope::Of(NewFolderIndices()), {}};
}

TableRows ReadTableRows(AccessSource& source, int table, int capacity, QStringList* columns,
                        std::vector<QStringList>* rows) {
  qint64 count = 0;
  if (!source.OpenTable(table, columns, &count)) return TableRows::kCannotOpen;
  if (count > capacity) return TableRows::kTooMany;
  QStringList row;
  while (source.NextRow(&row)) {
    // A file may hold more rows than its table says.
    if (static_cast<qint64>(rows->size()) >= capacity) return TableRows::kTooMany;
    rows->push_back(row);
  }
  return source.Failed() ? TableRows::kDamaged : TableRows::kRead;
}

ImportLayout LayOutImport(const Database& db, const ImportPlan& plan,
                          const std::vector<QStringList>& rows) {
  ImportLayout layout;
  layout.firstNewFolder = db.FolderCount;
  layout.folders.assign(rows.size(), plan.folder);
  if (plan.folderColumn >= 0) {
    PathResolver resolver(db, plan, layout);
    // Most rows share their path with many others.
    QHash<QString, std::pair<int, bool>> known;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const QString path = rows[r].value(plan.folderColumn);
      auto found = known.constFind(path);
      if (found == known.constEnd()) found = known.insert(path, resolver.Resolve(path));
      layout.folders[r] = found->first;
      if (!found->second) ++layout.unplaced;
    }
  }
  layout.places = ChooseRecordSlots(db, layout.folders);
  layout.recordCount = db.RecordCount;
  for (int place : layout.places) layout.recordCount = std::max(layout.recordCount, place + 1);
  return layout;
}

ImportTally RunImport(Database& db, const ImportPlan& plan, const ImportLayout& layout,
                      const std::vector<QStringList>& rows,
                      const std::function<void(int done)>& progress) {
  ImportTally tally;
  tally.unplaced = layout.unplaced;
  if (!layout.newFolders.empty()) {
    SetCount(db, kFoldersKind,
             static_cast<std::int16_t>(layout.firstNewFolder + layout.newFolders.size()));
  }
  for (std::size_t i = 0; i < layout.newFolders.size(); ++i) {
    const int folder = layout.firstNewFolder + static_cast<int>(i);
    NewFolder(db, folder);
    FolderDef& made = db.Folders[static_cast<size_t>(folder)];
    made.Parent = static_cast<std::int16_t>(layout.newFolders[i].parent);
    made.Name = layout.newFolders[i].name;
  }
  if (layout.recordCount > db.RecordCount)
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(layout.recordCount));
  const RowStore store(db.Forms[static_cast<size_t>(plan.form)], plan.map);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int slot = layout.places[i];
    NewRecord(db, slot);
    RecordData& record = db.Records[static_cast<size_t>(slot)];
    record.Folder = static_cast<std::int16_t>(layout.folders[i]);
    record.Form = static_cast<std::int16_t>(plan.form);
    store.Store(record, rows[i], tally);
    if (progress) progress(static_cast<int>(i) + 1);
  }
  RecountBuffers(db);
  return tally;
}

}  // namespace orbo
