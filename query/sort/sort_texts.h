// The language texts of the sort dialog and the sort messages.
#pragma once

#include "storage/text_id.h"

namespace orbo::sort_texts {

inline constexpr TextId kSortTitle{490, 0};
inline constexpr TextId kSortWhatLabel{490, 1};
inline constexpr TextId kInFolderLabel{490, 2};
inline constexpr TextId kOrderLabel{490, 3};
inline constexpr TextId kSortButton{490, 4};
inline constexpr TextId kRecords{492, 0};
inline constexpr TextId kSubfolders{492, 1};
inline constexpr TextId kAscending{493, 0};
inline constexpr TextId kDescending{493, 1};
inline constexpr TextId kTopLevel{494, 0};
inline constexpr TextId kNothingToSort{790, 0};

// Names of the steps undo and redo take back.
inline constexpr TextId kSortRecordsStep{979, 0};
inline constexpr TextId kSortFoldersStep{979, 1};
inline constexpr TextId kSortAsShownStep{1003, 3};

}  // namespace orbo::sort_texts
