#include "storage/missing_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

#include "storage/data_path.h"
#include "storage/element_values.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

bool NamesAFile(int buttonAction) {
  return buttonAction == kPlayMedia || buttonAction == kOpenFile;
}

}  // namespace

std::vector<FileReference> MissingFiles(const Database& db) {
  std::vector<FileReference> missing;
  // One look at the disk for each name, however many records share it.
  QHash<QString, bool> exists;
  const auto check = [&](int record, int type, int slot, const QString& stored) {
    if (stored.isEmpty()) return;
    auto known = exists.find(stored);
    if (known == exists.end())
      known = exists.insert(stored, QFileInfo(ResolveDataPath(stored, db.DatabasePath)).isFile());
    if (!*known) missing.push_back({record, type, slot, stored});
  };
  for (int r = 0; r < db.RecordCount; ++r) {
    const RecordData& record = db.Records[At(r)];
    if (record.Folder == BufferFolder || record.Form < 0 || record.Form >= db.FormCount) continue;
    const FormDef& form = db.Forms[At(record.Form)];
    for (int k = 0; k < form.ElementCount[kImage] && k < kSlotCount; ++k)
      check(r, kImage, k, record.ImageValue[At(k)]);
    for (int k = 0; k < form.ElementCount[kButton] && k < kSlotCount; ++k) {
      if (NamesAFile(form.ButtonAction[At(k)])) check(r, kButton, k, record.ButtonValue[At(k)]);
    }
  }
  return missing;
}

int DistinctFiles(const std::vector<FileReference>& references) {
  QSet<QString> names;
  for (const FileReference& reference : references) names.insert(reference.stored);
  return static_cast<int>(names.size());
}

std::vector<FoundFile> FindInFolder(const std::vector<FileReference>& missing,
                                    const QString& folder) {
  std::vector<FoundFile> found;
  // The folder's real place, so a link to a folder beside the database
  // still gives names relative to it; the files themselves are kept as named.
  const QString real = QFileInfo(folder).canonicalFilePath();
  const QDir dir(real.isEmpty() ? folder : real);
  // One look at the disk for each name; an empty path stands for none found.
  QHash<QString, QString> paths;
  for (const FileReference& reference : missing) {
    const QString name = FileNamePart(reference.stored);
    auto known = paths.find(name);
    if (known == paths.end()) {
      // A stored name ending in a separator names the folder itself, no file.
      const QFileInfo file(dir.filePath(name));
      known = paths.insert(name, file.isFile() ? file.absoluteFilePath() : QString());
    }
    if (!known->isEmpty()) found.push_back({reference, *known});
  }
  return found;
}

void PointAtFoundFiles(Database& db, const std::vector<FoundFile>& found) {
  for (const FoundFile& file : found) {
    RecordData& record = db.Records[At(file.reference.record)];
    QString& value = file.reference.type == kImage ? record.ImageValue[At(file.reference.slot)]
                                                   : record.ButtonValue[At(file.reference.slot)];
    value = MakeRelativePath(file.path, db.DatabasePath);
  }
}

ChangeScope ScopeOfPointingAtFoundFiles(const std::vector<FoundFile>& found) {
  std::vector<int> records;
  for (const FoundFile& file : found) records.push_back(file.reference.record);
  std::ranges::sort(records);
  records.erase(std::unique(records.begin(), records.end()), records.end());
  return ChangeScope::Records(std::move(records));
}

}  // namespace orbo
