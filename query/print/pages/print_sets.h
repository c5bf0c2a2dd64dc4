// The sets of records the print dialog offers, the order they print in and
// the numbered list the dialog shows.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "storage/database_model.h"

namespace orbo {

// The entries of PrintCombo, in order.
enum PrintSet : int {
  kShownRecordSet = 0,
  kAllRecordsSet = 1,
  kFolderSet = 2,
  kMarkedSet = 3,
  kFormSet = 4,
};
inline constexpr int kPrintSetCount = 5;

// The records of a set, in table order; free slots belong to none.
// shownRecord is -1 when a folder is open.
std::vector<int> PrintList(const Database& db, int set, int shownRecord, int folder);

// The records of folder and, with subfolders, of every folder below it, in
// table order.
std::vector<int> FolderPrintList(const Database& db, int folder, bool subfolders);

// Whether a set can be built without a shown record.
bool SetNeedsShownRecord(int set);

// The list in print order: as built, or reversed.
std::vector<int> PrintOrder(std::vector<int> list, bool reverse);

// The captions of the five sets for the shown record and the open folder:
// captions are the sets' plain names, in order, which the shown record's
// title, its form and the folder's name complete.
QStringList PrintSetNames(const Database& db, int shownRecord, int folder,
                          const QStringList& captions);

// PrintText: heading, then "n. title" per record in print order, cut off
// with "..." once the text holds kPrintTextCap characters.
inline constexpr int kPrintTextCap = 1000;
QString PrintListText(const Database& db, const std::vector<int>& order, const QString& heading);

// A record the print dialog may take as the shown one.
bool IsPrintableRecord(const Database& db, int record);

}  // namespace orbo
