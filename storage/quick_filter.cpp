#include "storage/quick_filter.h"

#include "storage/find_logic.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

bool AnyTextHolds(const FormDef& form, const RecordData& record, const QString& text) {
  const auto holds = [&text](const QString& value) {
    return value.contains(text, Qt::CaseInsensitive);
  };
  for (int slot = 0; slot < form.ElementCount[kText]; ++slot)
    if (holds(record.TextValue[static_cast<std::size_t>(slot)])) return true;
  for (int slot = 0; slot < form.ElementCount[kMultiline]; ++slot)
    if (holds(record.MemoValue[static_cast<std::size_t>(slot)])) return true;
  for (int slot = 0; slot < form.ElementCount[kButton]; ++slot)
    if (holds(record.ButtonValue[static_cast<std::size_t>(slot)])) return true;
  for (int slot = 0; slot < form.ElementCount[kCombo]; ++slot) {
    const auto k = static_cast<std::size_t>(slot);
    if (holds(ComboLine(form.ComboList[k], record.ComboValue[k]))) return true;
  }
  return false;
}

bool Holds(const Database& db, int r, const QuickFilter& filter) {
  const RecordData& record = db.Records[static_cast<std::size_t>(r)];
  return RecordTitleLine(db, r).contains(filter.text, Qt::CaseInsensitive) ||
         (filter.anyText && record.Form >= 0 && record.Form < db.FormCount &&
          AnyTextHolds(db.Forms[static_cast<std::size_t>(record.Form)], record, filter.text));
}

}  // namespace

std::vector<int> QuickFilterMatches(const Database& db, int folder, const QuickFilter& filter) {
  std::vector<int> matches;
  if (filter.text.isEmpty() || !IsFolderIndex(db, folder)) return matches;
  const FolderScope scope(db, folder, true);
  for (int r = 0; r < db.RecordCount; ++r) {
    const std::int16_t in = db.Records[static_cast<std::size_t>(r)].Folder;
    if (in != BufferFolder && scope.Contains(in) && Holds(db, r, filter)) matches.push_back(r);
  }
  return matches;
}

bool QuickFilterNarrows(const QuickFilter& earlier, const QuickFilter& later) {
  return !earlier.text.isEmpty() && earlier.anyText == later.anyText &&
         later.text.contains(earlier.text, Qt::CaseInsensitive);
}

std::vector<int> NarrowQuickFilterMatches(const Database& db, const std::vector<int>& candidates,
                                          const QuickFilter& filter) {
  std::vector<int> matches;
  for (int r : candidates)
    if (r >= 0 && r < db.RecordCount && Holds(db, r, filter)) matches.push_back(r);
  return matches;
}

std::vector<char> FoldersLeadingTo(const Database& db, const std::vector<int>& records) {
  std::vector<char> leading(static_cast<std::size_t>(std::max<int>(db.FolderCount, 0)), 0);
  for (int r : records) {
    int folder = db.Records[static_cast<std::size_t>(r)].Folder;
    // Bounded by the folder count, so a damaged parent chain cannot loop;
    // a folder already marked has its ancestors marked too.
    for (int steps = 0; steps <= db.FolderCount && IsFolderIndex(db, folder) &&
                        !leading[static_cast<std::size_t>(folder)];
         ++steps) {
      leading[static_cast<std::size_t>(folder)] = 1;
      folder = db.Folders[static_cast<std::size_t>(folder)].Parent;
    }
  }
  return leading;
}

}  // namespace orbo
