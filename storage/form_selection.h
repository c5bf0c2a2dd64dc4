// What the designer has selected on a form: an element (type 0..6 and
// slot), the form itself or the database.
#pragma once

#include "storage/database_model.h"

namespace orbo {

inline constexpr int kSelectForm = -1;
inline constexpr int kSelectDatabase = -2;

// Whether the selection names something of the model.
bool IsSelectionValid(const Database& db, int form, int selType, int slot);

}  // namespace orbo
