// The language texts of moving through records and folders: the refusals
// and questions of adding, cloning, deleting and moving them.
#pragma once

#include "storage/text_id.h"

namespace orbo::navigation_texts {

// "The record was not added: the limit (", the limit, "records) has been reached."
inline constexpr TextId kRecordLimitStart{940, 0};
inline constexpr TextId kRecordLimitEnd{940, 1};
inline constexpr TextId kFolderLimitStart{930, 0};
inline constexpr TextId kFolderLimitEnd{930, 1};
inline constexpr TextId kNoRecordToClone{650, 0};
inline constexpr TextId kOnlyRecordNotDeleted{520, 0};
inline constexpr TextId kFolderHasSubfolders{620, 0};
// "The folder "", its name, "" contains records. Delete the folder ...?"
inline constexpr TextId kAskDeleteFolderStart{635, 0};
inline constexpr TextId kAskDeleteFolderEnd{635, 1};
inline constexpr TextId kOnlyFolderNotDeleted{600, 0};
inline constexpr TextId kFolderIntoItself{610, 0};
inline constexpr TextId kDeleteFolderTooltip{958, 4};
inline constexpr TextId kDeleteRecordTooltip{958, 5};

// Names of the steps undo and redo take back.
inline constexpr TextId kAddRecordStep{976, 0};
inline constexpr TextId kCloneRecordStep{976, 1};
inline constexpr TextId kDeleteRecordStep{976, 2};
inline constexpr TextId kDeleteFolderStep{976, 3};
inline constexpr TextId kAddFolderStep{976, 4};
inline constexpr TextId kMoveRecordStep{976, 5};
inline constexpr TextId kMoveFolderStep{976, 6};
inline constexpr TextId kFolderUpStep{976, 7};
inline constexpr TextId kFolderDownStep{976, 8};
inline constexpr TextId kFolderToTopStep{976, 9};
inline constexpr TextId kRenameFolderStep{976, 10};
inline constexpr TextId kFolderIconStep{976, 11};
inline constexpr TextId kMarkStep{976, 12};
inline constexpr TextId kDeleteRecordsStep{1003, 5};
inline constexpr TextId kMarkRecordsStep{1003, 6};
inline constexpr TextId kMoveRecordsStep{1003, 7};

// The quick filter of the main toolbar.
inline constexpr TextId kFilterPlaceholder{983, 0};
inline constexpr TextId kFilterAllTexts{983, 1};
inline constexpr TextId kFilterAllTextsTooltip{983, 2};
inline constexpr TextId kFilterTooltip{983, 3};

// Moving the shown record or folder with the folder tree in a dialog.
inline constexpr TextId kMoveToFolderTitle{998, 7};
inline constexpr TextId kMoveToFolderPrompt{998, 8};

}  // namespace orbo::navigation_texts
