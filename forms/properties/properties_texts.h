// The language texts of the properties dialog. A list's constant names its
// first entry; the label of the list comes just before it.
#pragma once

#include "storage/text_id.h"

namespace orbo::properties_texts {

inline constexpr TextId kPropertiesTitle{140, 0};
inline constexpr TextId kGeneralTab{140, 2};
inline constexpr TextId kAdditionalTab{140, 3};
inline constexpr TextId kNameLabel{155, 0};
// Shown in the name box when the database itself is selected.
inline constexpr TextId kDatabaseName{155, 1};
inline constexpr TextId kBorderLabel{160, 0};
inline constexpr TextId kBorders{160, 1};
inline constexpr TextId kTransparent{170, 0};
inline constexpr TextId kColorsLabel{170, 1};
inline constexpr TextId kAlignmentLabel{175, 0};
inline constexpr TextId kAlignments{175, 1};
inline constexpr TextId kChangeFont{210, 0};
inline constexpr TextId kDoubleClickLabel{180, 0};
inline constexpr TextId kDoubleClickActions{180, 1};
inline constexpr TextId kImageSizeLabel{185, 0};
inline constexpr TextId kImageSizes{185, 1};
inline constexpr TextId kButtonActionLabel{187, 0};
inline constexpr TextId kButtonActions{187, 1};
inline constexpr TextId kIconLabel{200, 0};
inline constexpr TextId kShadow{200, 1};
inline constexpr TextId kQuickEnter{202, 0};
inline constexpr TextId kPasswordField{202, 1};
inline constexpr TextId kLimitLength{202, 2};
inline constexpr TextId kLimitLengthUnit{202, 3};
inline constexpr TextId kTooltipLabel{205, 0};
inline constexpr TextId kListItemsLabel{207, 0};
inline constexpr TextId kFlatStyle{208, 0};
inline constexpr TextId kCheckBoxAtRight{208, 1};
inline constexpr TextId kLongestListTextLabel{300, 7};
inline constexpr TextId kLongestListTextUnit{300, 8};
// After an item list was edited: %1 records whose choice moved with its line.
inline constexpr TextId kChoicesMoved{989, 0};

// Names of the steps undo and redo take back.
inline constexpr TextId kPropertiesStep{978, 8};
inline constexpr TextId kFontStep{978, 9};

}  // namespace orbo::properties_texts
