// Records store a combo's choice as the position of a line in its list; when
// the list is edited, the choices move with their lines so that no record
// says something else than before.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "storage/database_model.h"

namespace orbo {

// The stored choice of a record that has none.
inline constexpr std::int16_t kNoChoice = -1;

// Where each line of before stands in after, matched by text: the n-th line
// of a text goes to the n-th line of the same text. kNoChoice for a line that
// was removed.
std::vector<int> LinesMoved(const QStringList& before, const QStringList& after);

// Moves the choices of the records of form for its combo slot from the lines
// of the list before to the same lines of the list after. A removed line
// leaves its records with no choice, and so does a choice that named no line
// and would name one now. Returns how many records changed.
int CarryChoices(Database& db, int form, int slot, const QString& before, const QString& after);

}  // namespace orbo
