#include "storage/stored_content.h"

namespace orbo {
namespace {

// A form as the file holds it: slots above the first free one of each type
// are not stored and may hold anything.
FormDef Stored(FormDef f) {
  const auto& n = f.ElementCount;
  for (int k = 0; k < kSlotCount; ++k) {
    for (int t = 0; t < kElementTypeCount; ++t) {
      if (k > n[t]) f.Elements[t][k] = ElementDef();
    }
    if (k > n[kImage]) f.ImageSize[k] = f.DblClickAction[k] = 0;
    if (k > n[kLabel]) f.ToolTip[k].clear();
    if (k > n[kText]) f.QuickEnter[k] = f.PasswordField[k] = 0;
    if (k > n[kButton]) f.ButtonAction[k] = 0;
    if (k > n[kCombo]) f.ComboList[k].clear();
    if (k > n[kFlag]) f.FlagAtRight[k] = f.FlagAppearance[k] = 0;
    if (k > n[kMultiline]) f.TextLimit[k] = 0;
  }
  return f;
}

// A record as the file holds it: the values of its form's elements.
RecordData Stored(RecordData r, const FormDef& form) {
  const auto& n = form.ElementCount;
  for (int k = 0; k < kSlotCount; ++k) {
    if (k >= n[kImage]) r.ImageValue[k].clear();
    if (k >= n[kText]) r.TextValue[k].clear();
    if (k >= n[kButton]) r.ButtonValue[k].clear();
    if (k >= n[kCombo]) r.ComboValue[k] = 0;
    if (k >= n[kFlag]) r.FlagValue[k] = false;
    if (k >= n[kMultiline]) r.MemoValue[k].clear();
  }
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
