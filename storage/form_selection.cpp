#include "storage/form_selection.h"

namespace orbo {

bool IsSelectionValid(const Database& db, int form, int selType, int slot) {
  if (form < 0 || form >= db.FormCount) return false;
  if (selType == kSelectDatabase || selType == kSelectForm) return true;
  return IsElementSelection(selType) && selType < kElementTypeCount && slot >= 0 &&
         slot < db.Forms[static_cast<std::size_t>(form)]
                    .ElementCount[static_cast<std::size_t>(selType)];
}

}  // namespace orbo
