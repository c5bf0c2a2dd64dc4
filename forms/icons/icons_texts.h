// The language texts of the icon picker.
#pragma once

#include "storage/text_id.h"

namespace orbo::icons_texts {

inline constexpr TextId kChooseIconTitle{961, 1};
inline constexpr TextId kImportPicture{961, 2};

}  // namespace orbo::icons_texts
