// The language texts of the options dialog and the database properties:
// their captions, the password prompts and refusals, unwritten settings.
#pragma once

#include "storage/text_id.h"

namespace orbo::settings_texts {

inline constexpr TextId kOptionsTitle{300, 0};
inline constexpr TextId kViewTab{300, 1};
inline constexpr TextId kEditorTab{300, 2};
inline constexpr TextId kWindowFrame{300, 3};
inline constexpr TextId kToolbarButtonsFrame{300, 4};
inline constexpr TextId kShowStatusBar{300, 5};
inline constexpr TextId kClearRecentFiles{300, 6};
inline constexpr TextId kSeparator{300, 9};
inline constexpr TextId kDesignGridFrame{310, 0};
inline constexpr TextId kHorizontalStepLabel{310, 1};
inline constexpr TextId kVerticalStepLabel{310, 2};
inline constexpr TextId kShowGrid{310, 3};
inline constexpr TextId kDefaultFontFrame{320, 0};
inline constexpr TextId kChangeFont{320, 1};
inline constexpr TextId kShowStartDialog{375, 1};
inline constexpr TextId kSettingsNotWritten{968, 2};
inline constexpr TextId kSavingFrame{985, 2};
inline constexpr TextId kBackupsLabel{985, 3};
inline constexpr TextId kBackupsTooltip{985, 4};
inline constexpr TextId kRestoreBackupTitle{985, 6};
inline constexpr TextId kRestoreBackupNote{985, 7};
inline constexpr TextId kBackupCounts{985, 8};
inline constexpr TextId kBackupOtherPassword{985, 9};
inline constexpr TextId kBackupUnreadable{985, 10};
inline constexpr TextId kNoBackups{985, 11};
inline constexpr TextId kBackupEncrypted{985, 18};
inline constexpr TextId kRecoveryLabel{985, 16};
inline constexpr TextId kRecoveryTooltip{985, 17};

inline constexpr TextId kDatabasePropertiesTitle{400, 0};
inline constexpr TextId kPasswordProtectionFrame{420, 0};
inline constexpr TextId kProtectWithPassword{420, 1};
inline constexpr TextId kChangePassword{420, 2};
inline constexpr TextId kAskNewPassword{690, 0};
inline constexpr TextId kAskPasswordAgain{700, 0};
inline constexpr TextId kAskOldPassword{710, 0};
inline constexpr TextId kPasswordsDiffer{720, 0};
inline constexpr TextId kWrongPassword{730, 0};
inline constexpr TextId kPasswordTooShort{735, 0};
inline constexpr TextId kEncryptFile{984, 0};
inline constexpr TextId kScrambleIsNotEncryption{984, 1};
inline constexpr TextId kCodePageFrame{990, 0};
inline constexpr TextId kCodePageOfTexts{990, 1};
inline constexpr TextId kReadAgainAs{990, 2};
inline constexpr TextId kSaveBeforeReadingAgain{990, 3};
inline constexpr TextId kNoFileToReadAgain{990, 4};

// Names of the steps undo and redo take back.
inline constexpr TextId kProtectionOffStep{979, 6};
inline constexpr TextId kProtectionOnStep{979, 7};
inline constexpr TextId kPasswordStep{979, 8};
inline constexpr TextId kEncryptionOnStep{984, 2};
inline constexpr TextId kEncryptionOffStep{984, 3};

}  // namespace orbo::settings_texts
