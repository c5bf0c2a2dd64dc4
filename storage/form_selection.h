// What the designer has selected on a form: an element (type 0..6 and
// slot), the form itself or the database.
#pragma once

#include "storage/database_model.h"
#include "storage/display_state.h"

namespace orbo {

// Whether the selection names something of the model.
bool IsSelectionValid(const Database& db, int form, int selType, int slot);

}  // namespace orbo
