#include "storage/model_repair.h"

#include "storage/model_defaults.h"
#include "storage/model_invariants.h"

namespace orbo {
namespace {

constexpr int kMaxFolderIndex = 32767;

std::size_t At(int i) { return static_cast<std::size_t>(i); }

int AddFolder(Database& db, const QString& name) {
  const int folder = db.FolderCount;
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(folder + 1));
  ApplyNewFolderDefaults(db.Folders[At(folder)], folder);
  if (!name.isEmpty()) db.Folders[At(folder)].Name = name;
  return folder;
}

}  // namespace

ModelRepairs& ModelRepairs::operator+=(const ModelRepairs& other) {
  recordsRecovered += other.recordsRecovered;
  foldersToTop += other.foldersToTop;
  titlesReset += other.titlesReset;
  tablesAdded += other.tablesAdded;
  return *this;
}

QStringList ModelRepairs::Describe() const {
  QStringList lines;
  if (recordsRecovered > 0) {
    lines << QStringLiteral("%1 records in no folder were put into a recovered folder")
                 .arg(recordsRecovered);
  }
  if (foldersToTop > 0) {
    lines
        << QStringLiteral(
               "%1 folders with a missing parent or inside themselves were moved to the top level")
               .arg(foldersToTop);
  }
  if (titlesReset > 0) {
    lines << QStringLiteral("%1 forms had a title element naming nothing; it was reset")
                 .arg(titlesReset);
  }
  if (tablesAdded > 0)
    lines << QStringLiteral("%1 empty tables got a first entry").arg(tablesAdded);
  return lines;
}

ModelRepairs RepairModel(Database& db, const RepairNames& names) {
  ModelRepairs repairs;
  for (int d = 0; d < db.FolderCount; ++d) {
    std::int16_t& parent = db.Folders[At(d)].Parent;
    if (parent != TopLevelParent && !IsFolderIndex(db, parent)) {
      parent = TopLevelParent;
      ++repairs.foldersToTop;
    }
  }
  for (int folder : FoldersClosingLoops(db)) {
    db.Folders[At(folder)].Parent = TopLevelParent;
    ++repairs.foldersToTop;
  }
  for (int f = 0; f < db.FormCount; ++f) {
    FormDef& form = db.Forms[At(f)];
    if (!IsValidTitleElement(form, form.TitleElement)) {
      form.TitleElement = ReplacementTitle(form);
      ++repairs.titlesReset;
    }
  }
  int recovered = -1;
  for (int r = 0; r < db.RecordCount; ++r) {
    std::int16_t& folder = db.Records[At(r)].Folder;
    if (folder == BufferFolder || IsFolderIndex(db, folder)) continue;
    if (recovered < 0) {
      // A full folder table has no room for one more; folder 0 takes them.
      recovered = db.FolderCount < kMaxFolderIndex ? AddFolder(db, names.recoveredFolder) : 0;
    }
    folder = static_cast<std::int16_t>(recovered);
    ++repairs.recordsRecovered;
  }
  RecountBuffers(db);
  return repairs;
}

ModelRepairs RepairForWindow(Database& db, const RepairNames& names) {
  ModelRepairs repairs;
  if (db.FolderCount == 0) {
    AddFolder(db, QString());
    ++repairs.tablesAdded;
  }
  if (db.FormCount == 0) {
    SetCount(db, kFormsKind, 1);
    ApplyNewFormDefaults(db.Forms[0], 0, names.defaultFont);
    ++repairs.tablesAdded;
  }
  return repairs;
}

}  // namespace orbo
