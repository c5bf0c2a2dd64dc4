#include "storage/find_logic.h"

#include <algorithm>

#include "storage/record_title.h"

namespace orbo {
namespace {

// A folder's answer to "in the scope?", worked out once per folder.
enum ScopeAnswer : char { kUnknown = -1, kNo = 0, kYes = 1 };

bool IsWordSeparator(QChar c) {
  static const QString kSeparators = QStringLiteral(" .,!\"#%:?*()-=+");
  return kSeparators.contains(c);
}

std::optional<FindHit> TestRecord(const Database& db, const FindSettings& settings, int record) {
  const FormDef& form =
      db.Forms[static_cast<std::size_t>(db.Records[static_cast<std::size_t>(record)].Form)];
  for (int t = 0; t < kFindFieldTypeCount; ++t) {
    if (settings.fieldType != -1 && settings.fieldType != t) continue;
    const int type = kFindFieldTypes[t];
    const int count = form.ElementCount[static_cast<std::size_t>(type)];
    const int first = settings.field == -1 ? 0 : settings.field;
    const int last = settings.field == -1 ? count - 1 : std::min(settings.field, count - 1);
    for (int slot = first; slot <= last; ++slot) {
      const QString value = FindFieldValue(db, record, type, slot);
      if (const int p =
              FindPosition(value, settings.text, settings.matchCase, settings.wholeWord)) {
        return FindHit{record, type, slot, p};
      }
    }
  }
  return std::nullopt;
}

}  // namespace

int FindPosition(const QString& value, const QString& text, bool matchCase, bool wholeWord) {
  const qsizetype found =
      value.indexOf(text, 0, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
  if (found < 0) return 0;
  if (wholeWord) {
    const qsizetype end = found + text.size();
    const bool leftBound = found == 0 || IsWordSeparator(value[found - 1]);
    const bool rightBound = end >= value.size() || IsWordSeparator(value[end]);
    if (!leftBound || !rightBound) return 0;
  }
  return static_cast<int>(found) + 1;
}

QString FindFieldValue(const Database& db, int record, int elementType, int slot) {
  const RecordData& data = db.Records[static_cast<std::size_t>(record)];
  const auto s = static_cast<std::size_t>(slot);
  switch (elementType) {
    case kText:
      return data.TextValue[s];
    case kImage:
      return data.ImageValue[s];
    case kCombo:
      return ComboLine(db.Forms[static_cast<std::size_t>(data.Form)].ComboList[s],
                       data.ComboValue[s]);
    case kFlag:
      return data.FlagValue[s] ? QStringLiteral("1") : QStringLiteral("0");
    case kButton:
      return data.ButtonValue[s];
    case kMultiline:
      return data.MemoValue[s];
    default:
      return {};
  }
}

QString HitContext(const QString& value, int position) {
  const qsizetype from = std::max(1, position - 10);
  const qsizetype to = std::min<qsizetype>(value.size(), position + 10);
  return value.mid(from - 1, std::max<qsizetype>(0, to - from + 1));
}

FolderScope::FolderScope(const Database& db, int folder, bool subfolders) : all_(folder < 0) {
  if (all_) return;
  const auto count = static_cast<std::size_t>(std::max<int>(db.FolderCount, 0));
  inScope_.assign(count, 0);
  if (!IsFolderIndex(db, folder)) return;
  if (!subfolders) {
    inScope_[static_cast<std::size_t>(folder)] = kYes;
    return;
  }
  // Each folder's answer is the answer of its parent chain; remembered per
  // folder so the whole table costs one walk per folder at most.
  inScope_.assign(count, kUnknown);
  std::vector<int> chain;
  for (int f = 0; f < db.FolderCount; ++f) {
    chain.clear();
    int at = f;
    char answer = kNo;
    while (IsFolderIndex(db, at) && chain.size() <= count) {
      if (at == folder) {
        answer = kYes;
        break;
      }
      if (inScope_[static_cast<std::size_t>(at)] != kUnknown) {
        answer = inScope_[static_cast<std::size_t>(at)];
        break;
      }
      chain.push_back(at);
      at = db.Folders[static_cast<std::size_t>(at)].Parent;
    }
    for (int c : chain) inScope_[static_cast<std::size_t>(c)] = answer;
    if (f == folder) inScope_[static_cast<std::size_t>(f)] = kYes;
  }
}

bool FolderScope::Contains(int folder) const {
  if (folder == BufferFolder) return false;
  if (all_) return true;
  return folder >= 0 && folder < static_cast<int>(inScope_.size()) &&
         inScope_[static_cast<std::size_t>(folder)] == kYes;
}

std::optional<FindHit> SearchRecords(const Database& db, const FindSettings& settings, int start) {
  if (settings.text.isEmpty()) return std::nullopt;
  const FolderScope scope(db, settings.folder, settings.subfolders);
  const int step = settings.direction < 0 ? -1 : 1;
  for (int i = start; i >= 0 && i < db.RecordCount; i += step) {
    const RecordData& data = db.Records[static_cast<std::size_t>(i)];
    if (!scope.Contains(data.Folder)) continue;
    if (settings.form != -1 && data.Form != settings.form) continue;
    if (auto hit = TestRecord(db, settings, i)) return hit;
  }
  return std::nullopt;
}

}  // namespace orbo
