// The language texts of the MS Access import and export: their dialogs,
// progress and messages.
#pragma once

#include "storage/text_id.h"

namespace orbo::access_texts {

inline constexpr TextId kOpenAccessTitle{960, 6};
inline constexpr TextId kExportAccessTitle{960, 7};
inline constexpr TextId kAccessFilter{342, 0};

inline constexpr TextId kExportTitle{330, 2};
// The import takes CSV files too: the file dialog's filters, the first row.
inline constexpr TextId kTablesFilter{982, 0};
inline constexpr TextId kCsvFilter{982, 1};
inline constexpr TextId kFirstRowNames{982, 2};
inline constexpr TextId kMapByName{982, 3};
inline constexpr TextId kMapInOrder{982, 4};
inline constexpr TextId kImportTitle{340, 0};
inline constexpr TextId kSourceFrame{340, 1};
inline constexpr TextId kFileLabel{340, 2};
inline constexpr TextId kTableLabel{340, 3};
inline constexpr TextId kColumnsCount{340, 4};
inline constexpr TextId kRowsCount{340, 5};
inline constexpr TextId kImportButton{344, 0};
inline constexpr TextId kColumnsAndFieldsFrame{345, 0};
inline constexpr TextId kTableColumnLabel{345, 1};
inline constexpr TextId kImportIntoFieldLabel{345, 2};
inline constexpr TextId kNewRecordsFormLabel{345, 3};
inline constexpr TextId kNewRecordsFolderLabel{345, 4};

// "The table has more rows than ... Only", the room left, "more records can be added. ..."
inline constexpr TextId kTooManyRowsStart{800, 0};
inline constexpr TextId kTooManyRowsEnd{810, 0};
inline constexpr TextId kImportingRecords{830, 0};
inline constexpr TextId kExportingRecords{831, 0};
inline constexpr TextId kAccessFileNotOpened{900, 0};
// Followed by " N: " and the error.
inline constexpr TextId kExportFailed{910, 0};
inline constexpr TextId kValuesCut{972, 0};
inline constexpr TextId kAccessFileOverDatabase{972, 1};
// Asked before the file of an encrypted database is written.
inline constexpr TextId kFileUnencrypted{987, 1};

// The folder column's choice, then what an import could not take.
inline constexpr TextId kFoldersFromFile{993, 0};
inline constexpr TextId kUnknownChoices{993, 1};
inline constexpr TextId kUnknownFlags{993, 2};
inline constexpr TextId kUnplacedRecords{993, 3};

// A CSV file's encoding and delimiter, and the preview.
inline constexpr TextId kEncodingLabel{994, 0};
inline constexpr TextId kDelimiterLabel{994, 1};
inline constexpr TextId kComma{994, 2};
inline constexpr TextId kSemicolon{994, 3};
inline constexpr TextId kTab{994, 4};
inline constexpr TextId kOtherDelimiter{994, 5};
inline constexpr TextId kPreviewLabel{994, 6};

// Names of the steps undo and redo take back.
inline constexpr TextId kImportStep{979, 5};

}  // namespace orbo::access_texts
