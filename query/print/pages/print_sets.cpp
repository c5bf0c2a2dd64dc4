#include "query/print/pages/print_sets.h"

#include <algorithm>

#include "storage/navigation_logic.h"
#include "storage/record_title.h"

namespace orbo {

bool IsPrintableRecord(const Database& db, int record) {
  return record >= 0 && record < db.RecordCount && db.Records[record].Folder != BufferFolder &&
         db.Records[record].Form >= 0 && db.Records[record].Form < db.FormCount;
}

bool SetNeedsShownRecord(int set) { return set == kShownRecordSet || set == kFormSet; }

std::vector<int> PrintList(const Database& db, int set, int shownRecord, int folder) {
  std::vector<int> list;
  if (SetNeedsShownRecord(set) && !IsPrintableRecord(db, shownRecord)) return list;
  if (set == kShownRecordSet) return {shownRecord};
  auto taken = [&](int i) {
    const RecordData& record = db.Records[i];
    switch (set) {
      case kAllRecordsSet:
        return true;
      case kFolderSet:
        return record.Folder == folder;
      case kMarkedSet:
        return i < static_cast<int>(db.RecordMarks.size()) && db.RecordMarks[i];
      case kFormSet:
        return record.Form == db.Records[shownRecord].Form;
      default:
        return false;
    }
  };
  for (int i = 0; i < db.RecordCount; ++i) {
    if (db.Records[i].Folder != BufferFolder && taken(i)) list.push_back(i);
  }
  return list;
}

std::vector<int> FolderPrintList(const Database& db, int folder, bool subfolders) {
  if (!subfolders) return PrintList(db, kFolderSet, -1, folder);
  std::vector<int> list;
  for (int i = 0; i < db.RecordCount; ++i) {
    const int in = db.Records[i].Folder;
    if (in != BufferFolder && IsInSubtree(db, in, folder)) list.push_back(i);
  }
  return list;
}

std::vector<int> PrintOrder(std::vector<int> list, bool reverse) {
  if (reverse) std::reverse(list.begin(), list.end());
  return list;
}

QStringList PrintSetNames(const Database& db, int shownRecord, int folder,
                          const QStringList& captions) {
  if (captions.size() < kPrintSetCount) return captions;
  const bool shown = IsPrintableRecord(db, shownRecord);
  QString record = captions[kShownRecordSet];
  QString form = captions[kFormSet];
  if (shown) {
    record += QStringLiteral(" - ") + RecordTitle(db, shownRecord);
    form += QStringLiteral(" (") + db.Forms[db.Records[shownRecord].Form].Name + u')';
  }
  const QString folderName = IsFolderIndex(db, folder) ? db.Folders[folder].Name : QString();
  return {record, captions[kAllRecordsSet], captions[kFolderSet] + u' ' + folderName,
          captions[kMarkedSet], form};
}

QString PrintListText(const Database& db, const std::vector<int>& order, const QString& heading) {
  QString text = heading + QStringLiteral("\r\n");
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (text.size() >= kPrintTextCap) return text + QStringLiteral("\r\n...");
    text += QStringLiteral("\r\n%1. %2").arg(k + 1).arg(RecordTitle(db, order[k]));
  }
  return text;
}

}  // namespace orbo
