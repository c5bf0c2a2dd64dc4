// The language texts of the find dialog, its result log and the find
// messages. "All", "Folder:" and "Include sub-folders" are in common_texts.
#pragma once

#include "storage/text_id.h"

namespace orbo::find_texts {

inline constexpr TextId kFindTitle{450, 0};
inline constexpr TextId kFindWhatLabel{450, 1};
inline constexpr TextId kOptionsFrame{450, 2};
inline constexpr TextId kWholeWordsOnly{450, 3};
inline constexpr TextId kMatchCase{450, 4};
inline constexpr TextId kDirectionFrame{450, 5};
inline constexpr TextId kUp{450, 6};
inline constexpr TextId kDown{450, 7};
inline constexpr TextId kWhereToSearchFrame{455, 0};
inline constexpr TextId kFormLabel{455, 1};
inline constexpr TextId kFieldTypeLabel{455, 2};
inline constexpr TextId kFieldLabel{455, 3};
inline constexpr TextId kFindNext{457, 0};
inline constexpr TextId kMarkRecord{457, 1};
// "All", then the field types in the order of kFindFieldTypes.
inline constexpr TextId kFieldTypeChoices{460, 0};
inline constexpr TextId kFlagNotSet{463, 0};
inline constexpr TextId kFlagSet{463, 1};

inline constexpr TextId kResultsListedHere{464, 0};
inline constexpr TextId kEnterTextAndFind{464, 1};
inline constexpr TextId kSearchResults{464, 2};
// A hit reads: Record "title", field "name": ..context..
inline constexpr TextId kHitRecordStart{464, 3};
inline constexpr TextId kHitFieldStart{464, 4};
inline constexpr TextId kHitFieldEnd{464, 5};
inline constexpr TextId kNothingFound{464, 7};

// "The form "", its name, "" has no fields of the chosen type."
inline constexpr TextId kNoFieldsOfTypeStart{740, 0};
inline constexpr TextId kNoFieldsOfTypeEnd{740, 1};
inline constexpr TextId kTextNotFound{770, 0};
inline constexpr TextId kAskContinueAtOtherEnd{780, 0};

// Names of the steps undo and redo take back.
inline constexpr TextId kMarkStep{979, 2};

}  // namespace orbo::find_texts
