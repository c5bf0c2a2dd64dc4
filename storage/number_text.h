// Numbers typed into the dialogs' text boxes, read the forgiving way the
// program always read them: the leading number of the text, or 0.
#pragma once

#include <QString>

namespace orbo {

// "12 px" reads 12, "-3.5" reads -3.5, "abc" and "" read 0. Leading blanks
// are skipped.
double LeadingNumber(const QString& text);

}  // namespace orbo
