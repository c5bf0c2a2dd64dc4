// The language texts of editing a record's values: the record pop-up menu,
// the file and picture dialogs, button value prompts, media states and the
// status bar notes on values the desktop could not open.
#pragma once

#include "storage/text_id.h"

namespace orbo::editor_texts {

inline constexpr TextId kRecordMenuTitle{959, 0};
// "&Change Picture...", "&Edit Picture", "Show &Full Size" in menu order.
inline constexpr TextId kRecordMenuItems{959, 1};

inline constexpr TextId kChoosePictureTitle{960, 3};
inline constexpr TextId kChooseMediaTitle{960, 4};
inline constexpr TextId kChooseFileTitle{960, 5};
inline constexpr TextId kMediaFilter{960, 10};
inline constexpr TextId kAnyFileFilter{596, 0};

inline constexpr TextId kMailPrompt{580, 0};
inline constexpr TextId kAddressPrompt{590, 0};
inline constexpr TextId kValuePrompt{594, 0};

inline constexpr TextId kPlay{80, 0};
inline constexpr TextId kStop{80, 2};
inline constexpr TextId kPlaying{110, 0};
inline constexpr TextId kPaused{110, 1};
inline constexpr TextId kStopped{110, 2};

inline constexpr TextId kNoSuchFile{965, 0};
inline constexpr TextId kNotMailAddress{965, 1};
inline constexpr TextId kNoProgramOpened{965, 2};

// Names of the steps undo and redo take back.
inline constexpr TextId kTypingStep{977, 0};
inline constexpr TextId kChoiceStep{977, 1};
inline constexpr TextId kFlagStep{977, 2};
inline constexpr TextId kPictureStep{977, 3};
inline constexpr TextId kButtonValueStep{977, 4};
inline constexpr TextId kQuickListStep{977, 5};

}  // namespace orbo::editor_texts
