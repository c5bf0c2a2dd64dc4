// The language texts of loading, saving and merging databases; the
// password and repair texts are shared with the rooms above.
#pragma once

#include "storage/text_id.h"

namespace orbo::file_texts {

inline constexpr TextId kLoadingDatabase{825, 0};
inline constexpr TextId kSavingDatabase{826, 0};
inline constexpr TextId kDatabaseNotLoaded{500, 0};
inline constexpr TextId kFileDamaged{500, 1};
inline constexpr TextId kPasswordMayBeWrong{500, 2};
inline constexpr TextId kAskSaveChanges{510, 0};
// The titles of the file dialogs that choose a database file.
inline constexpr TextId kOpenDatabaseTitle{960, 0};
inline constexpr TextId kSaveDatabaseAsTitle{960, 1};
inline constexpr TextId kImportDatabaseTitle{960, 2};
inline constexpr TextId kExportMovableTitle{995, 2};

inline constexpr TextId kInconsistenciesRepaired{962, 0};
// The name of what repairs add, such as the folder of records in none.
inline constexpr TextId kRecovered{962, 1};
inline constexpr TextId kRecordsMovedToFolder{962, 2};
inline constexpr TextId kCannotSaveInconsistent{962, 3};
inline constexpr TextId kCharactersNotInCodePage{962, 4};
inline constexpr TextId kAskSaveWithQuestionMarks{962, 5};
inline constexpr TextId kAndFurtherTexts{962, 6};

inline constexpr TextId kPasswordNotInCodePage{968, 0};
inline constexpr TextId kPasswordHoldsNul{968, 1};

inline constexpr TextId kFileWriteProtected{974, 0};
inline constexpr TextId kFileChangedWhileSaving{974, 1};
inline constexpr TextId kFileBeingSaved{974, 2};
inline constexpr TextId kFolderRefusesNewFiles{974, 3};
inline constexpr TextId kPreviousContentsBack{974, 4};
inline constexpr TextId kFileDamagedByWrite{974, 5};

inline constexpr TextId kFileChangedOnDisk{985, 0};
inline constexpr TextId kBackupNotKept{985, 1};
inline constexpr TextId kChangedOnDiskNote{985, 12};
inline constexpr TextId kLoadChangedFile{985, 13};

inline constexpr TextId kStorableTextsStep{980, 0};
inline constexpr TextId kMergeStep{980, 1};
inline constexpr TextId kRestoreBackupStep{980, 3};

// What a failed save was doing (%1: the file).
inline constexpr TextId kCannotMakeFileBeside{986, 0};
inline constexpr TextId kWritingFailed{986, 1};
inline constexpr TextId kCannotReplace{986, 2};
inline constexpr TextId kNotReadBack{986, 3};
inline constexpr TextId kCannotWriteTo{986, 4};
// Why: the system's reasons in the user's words.
inline constexpr TextId kDiskFull{986, 5};
inline constexpr TextId kNotAllowed{986, 6};
inline constexpr TextId kDiskReadOnly{986, 7};
inline constexpr TextId kNoSuchFolder{986, 8};
inline constexpr TextId kDeviceError{986, 9};
inline constexpr TextId kNoReasonGiven{986, 10};
inline constexpr TextId kNameTooLong{986, 11};
inline constexpr TextId kNotEnoughMemory{986, 12};
inline constexpr TextId kNothingChanged{986, 13};
// A write in place: whether the version replaced was kept (%1: the folder).
inline constexpr TextId kBackupKeptIn{986, 14};
inline constexpr TextId kNoBackupKept{986, 15};
// Loading (%1: the file).
inline constexpr TextId kFileMissing{986, 16};
inline constexpr TextId kFileUnreadable{986, 17};
inline constexpr TextId kKeyTooCostly{986, 18};
inline constexpr TextId kUnknownEncryption{986, 19};
inline constexpr TextId kPasswordWrongTryAgain{986, 20};
inline constexpr TextId kFileGoneNote{986, 21};
// Encryption and the copies of a database (%1: the file, %2: its backups folder).
inline constexpr TextId kAskSealBackups{986, 22};
inline constexpr TextId kBackupsNotSealed{986, 23};
inline constexpr TextId kEncryptionOffNote{986, 24};
inline constexpr TextId kMergeFromEncrypted{986, 25};

}  // namespace orbo::file_texts
