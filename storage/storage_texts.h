// The language texts of loading, saving and merging databases; the
// password and repair texts are shared with the rooms above.
#pragma once

#include "storage/text_id.h"

namespace orbo::storage_texts {

inline constexpr TextId kLoadingDatabase{825, 0};
inline constexpr TextId kSavingDatabase{826, 0};
inline constexpr TextId kDatabaseNotLoaded{500, 0};
inline constexpr TextId kFileDamaged{500, 1};
inline constexpr TextId kPasswordMayBeWrong{500, 2};
inline constexpr TextId kAskSaveChanges{510, 0};

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

}  // namespace orbo::storage_texts
