// The language texts of the form designer: refusals and questions on adding
// and deleting elements and forms, and the entries that add a new form.
#pragma once

#include "storage/text_id.h"

namespace orbo::designer_texts {

// "The element was not added: the limit (", the limit, " elements of one type ...".
inline constexpr TextId kElementLimitStart{530, 0};
inline constexpr TextId kElementLimitEnd{540, 0};
inline constexpr TextId kFormLimitStart{920, 0};
inline constexpr TextId kFormLimitEnd{920, 1};
inline constexpr TextId kDatabaseNotDeleted{570, 0};
inline constexpr TextId kOnlyTextFieldNotDeleted{640, 0};
inline constexpr TextId kAskDeleteElementValues{670, 0};
inline constexpr TextId kOnlyFormNotDeleted{966, 0};
inline constexpr TextId kFormUsedByRecords{630, 0};
// "<New Form...>" at the end of the form list.
inline constexpr TextId kNewFormListEntry{961, 3};
// "New Form..." in the drop-down of the edit mode button.
inline constexpr TextId kNewFormMenuItem{958, 6};

// Names of the steps undo and redo take back.
inline constexpr TextId kAddElementStep{978, 0};
inline constexpr TextId kMoveStep{978, 1};
inline constexpr TextId kResizeStep{978, 2};
inline constexpr TextId kDeleteElementStep{978, 3};
inline constexpr TextId kAddFormStep{978, 4};
inline constexpr TextId kCloneFormStep{978, 5};
inline constexpr TextId kDeleteFormStep{978, 6};
inline constexpr TextId kChooseTitleStep{978, 7};

}  // namespace orbo::designer_texts
