// The database the storage benchmarks save and load: the most records and
// folders a file holds, each record with texts, notes, flags and a picture.
#pragma once

#include <array>

#include "storage/database_model.h"
#include "storage/model_defaults.h"

namespace orbo::bench {

inline constexpr int kRecords = 32767;
inline constexpr int kFolders = 32767;
inline constexpr int kTexts = 6;
inline constexpr int kMemos = 2;
inline constexpr int kFlags = 2;

inline FontSpec BenchFont() {
  FontSpec font;
  font.Name = QStringLiteral("Arial");
  font.Size = 10;
  return font;
}

inline Database BenchDatabase() {
  Database db;
  ClearDatabase(db, BenchFont());
  SetCount(db, kFormsKind, 1);
  FormDef& form = db.Forms[0];
  ApplyNewFormDefaults(form, 0, BenchFont());
  const std::array<std::int16_t, kElementTypeCount> counts{1, 0, kTexts, 0, 1, kFlags, kMemos};
  form.ElementCount = counts;
  for (int t = 0; t < kElementTypeCount; ++t) {
    for (int k = 0; k < counts[t]; ++k) ApplyNewElementDefaults(form, t, k, BenchFont());
  }
  SetCount(db, kFoldersKind, kFolders);
  for (int d = 0; d < kFolders; ++d) {
    ApplyNewFolderDefaults(db.Folders[d], d);
    db.Folders[d].Parent = static_cast<std::int16_t>(d < 10 ? TopLevelParent : d % 10);
  }
  SetCount(db, kRecordsKind, kRecords);
  const QString memo =
      QStringLiteral("A longer note about the record, line after line. ").repeated(6);
  for (int r = 0; r < kRecords; ++r) {
    RecordData& record = db.Records[r];
    record.Form = 0;
    record.Folder = static_cast<std::int16_t>(r % kFolders);
    for (int k = 0; k < kTexts; ++k)
      record.TextValue[k] = QStringLiteral("Value %1 of record %2").arg(k).arg(r);
    for (int k = 0; k < kMemos; ++k)
      record.MemoValue[k] = memo.left(290 + k * 10) + QString::number(r);
    for (int k = 0; k < kFlags; ++k) record.FlagValue[k] = (r + k) % 2 == 0;
    record.ComboValue[0] = static_cast<std::int16_t>(r % 5);
    record.ImageValue[0] = QStringLiteral("\\pictures\\photo%1.jpg").arg(r);
  }
  RecountBuffers(db);
  return db;
}

}  // namespace orbo::bench
