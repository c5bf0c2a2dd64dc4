// The language texts of the CSV export: its menu item, dialog and messages.
#pragma once

#include "storage/text_id.h"

namespace orbo::csv_texts {

inline constexpr TextId kExportMenuItem{981, 0};
inline constexpr TextId kExportTitle{981, 1};
inline constexpr TextId kDelimiterLabel{981, 2};
// Comma, semicolon, tab.
inline constexpr TextId kDelimiterNames{981, 3};
inline constexpr TextId kFlagsLabel{981, 6};
// "1 and 0", "true and false".
inline constexpr TextId kFlagNames{981, 7};
inline constexpr TextId kByteOrderMark{981, 9};
inline constexpr TextId kChooseFolderTitle{981, 10};
inline constexpr TextId kNotWritten{981, 11};
inline constexpr TextId kWrittenTo{981, 12};
inline constexpr TextId kNothingToWrite{981, 13};
inline constexpr TextId kReplaceFiles{981, 14};
// Why a CSV file cannot be imported: the title line, then the reason.
inline constexpr TextId kCsvFileNotOpened{988, 0};
inline constexpr TextId kCannotOpen{988, 1};
inline constexpr TextId kTooLarge{988, 2};
inline constexpr TextId kCannotRead{988, 3};
inline constexpr TextId kNulBytes{988, 4};
inline constexpr TextId kQuoteOutOfPlace{988, 5};
inline constexpr TextId kQuoteNotClosed{988, 6};
inline constexpr TextId kFieldTooLong{988, 7};
inline constexpr TextId kCodePageUnusable{988, 8};
// The export's choice to write values that begin like a formula as text.
inline constexpr TextId kQuoteFormulas{992, 0};
// Asked before the files of an encrypted database are written.
inline constexpr TextId kFilesUnencrypted{987, 0};

}  // namespace orbo::csv_texts
