// Where the text cursor goes when a box's whole text is replaced by an undo
// or a redo: just past the part that changed, as if it had been typed.
#pragma once

#include <QString>

namespace orbo {

// The position in after just past where it differs from before: the end of
// what was inserted, or where text was taken out.
int ChangedTextEnd(const QString& before, const QString& after);

}  // namespace orbo
