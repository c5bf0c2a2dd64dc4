// The language texts that windows of several rooms show alike: dialog
// buttons, the wait notice, the picture filter, mode names and the labels
// find and export share.
#pragma once

#include "storage/text_id.h"

namespace orbo::common_texts {

inline constexpr TextId kOk{3, 0};
inline constexpr TextId kCancel{4, 0};
inline constexpr TextId kHelp{5, 0};
inline constexpr TextId kPleaseWait{815, 0};
inline constexpr TextId kPictureFilter{960, 9};
// "Database mode", then "Edit mode": Plus(edit mode) names the mode.
inline constexpr TextId kModeNames{10, 3};
inline constexpr TextId kAll{460, 0};
inline constexpr TextId kFolderLabel{455, 4};
inline constexpr TextId kIncludeSubfolders{455, 5};

}  // namespace orbo::common_texts
