#include "storage/stored_content.h"

#include <algorithm>

#include "storage/field_table.h"

namespace orbo {
namespace {

// A form as the file holds it: slots above the first free one of each type
// are not stored and may hold anything.
FormDef Stored(FormDef f) {
  for (int t = 0; t < kElementTypeCount; ++t) {
    for (int k = std::max(0, f.ElementCount[t] + 1); k < kSlotCount; ++k)
      ForEachElementField(f, t, k, [](const ElementField&, auto& v) { v = {}; });
  }
  return f;
}

// A record as the file holds it: the values of its form's elements.
RecordData Stored(RecordData r, const FormDef& form) {
  ForEachRecordField(r, [&form](const RecordField& field, auto& values) {
    for (int k = std::max(0, int(form.ElementCount[field.type])); k < kSlotCount; ++k)
      values[k] = {};
  });
  return r;
}

}  // namespace

QString StoredDifference(const Database& a, const Database& b) {
  if (a.FormCount != b.FormCount || a.RecordCount != b.RecordCount ||
      a.FolderCount != b.FolderCount)
    return QStringLiteral("counts");
  if (a.SplitterPos != b.SplitterPos || a.MaxListString != b.MaxListString ||
      a.DbReserved != b.DbReserved || !(a.DatabaseFont == b.DatabaseFont)) {
    return QStringLiteral("settings");
  }
  for (int f = 0; f < a.FormCount; ++f) {
    if (!(Stored(a.Forms[f]) == Stored(b.Forms[f]))) return QStringLiteral("form %1").arg(f);
  }
  for (int r = 0; r < a.RecordCount; ++r) {
    const FormDef& form = a.Forms[a.Records[r].Form];
    if (!(Stored(a.Records[r], form) == Stored(b.Records[r], form)))
      return QStringLiteral("record %1").arg(r);
  }
  for (int d = 0; d < a.FolderCount; ++d) {
    if (!(a.Folders[d] == b.Folders[d])) return QStringLiteral("folder %1").arg(d);
  }
  return {};
}

QString ModelDifference(const Database& a, const Database& b) {
  if (a.FormCount != b.FormCount || a.RecordCount != b.RecordCount ||
      a.FolderCount != b.FolderCount || a.BufferCount != b.BufferCount)
    return QStringLiteral("counts");
  if (a.SplitterPos != b.SplitterPos || a.MaxListString != b.MaxListString ||
      a.DbReserved != b.DbReserved || !(a.DatabaseFont == b.DatabaseFont) ||
      a.PasswordOn != b.PasswordOn || a.Password != b.Password || a.Encrypted != b.Encrypted) {
    return QStringLiteral("settings");
  }
  for (int f = 0; f < a.FormCount; ++f) {
    if (!(a.Forms[f] == b.Forms[f])) return QStringLiteral("form %1").arg(f);
  }
  for (int r = 0; r < a.RecordCount; ++r) {
    if (!(a.Records[r] == b.Records[r])) return QStringLiteral("record %1").arg(r);
    if (a.RecordMarks[r] != b.RecordMarks[r]) return QStringLiteral("mark of record %1").arg(r);
  }
  for (int d = 0; d < a.FolderCount; ++d) {
    if (!(a.Folders[d] == b.Folders[d])) return QStringLiteral("folder %1").arg(d);
  }
  return {};
}

}  // namespace orbo
