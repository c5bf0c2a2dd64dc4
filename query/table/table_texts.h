// The language texts of the records as a table.
#pragma once

#include "storage/text_id.h"

namespace orbo::table_texts {

inline constexpr TextId kShowTable{1003, 0};
inline constexpr TextId kSortAsShown{1003, 1};
// A form and how many records it has, in the form chooser.
inline constexpr TextId kFormShare{1003, 2};
inline constexpr TextId kFormChooserTip{1003, 4};
inline constexpr TextId kDeleteSelected{1003, 8};
inline constexpr TextId kMarkSelected{1003, 9};
inline constexpr TextId kMoveSelected{1003, 10};
inline constexpr TextId kSelectedCount{1003, 11};

}  // namespace orbo::table_texts
