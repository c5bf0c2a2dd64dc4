// Fonts as the model stores them, as Qt fonts, and described for the user.
#pragma once

#include <QFont>

#include "storage/database_model.h"

namespace orbo {

// A size of 0 or less keeps the default size.
QFont FontOf(const FontSpec& stored);
// The four stored properties of a font; sizes beyond 16 bits are cut to fit.
FontSpec SpecOf(const QFont& font);

}  // namespace orbo
