// Fonts as the model stores them, as Qt fonts.
#pragma once

#include <QFont>

#include "storage/database_model.h"

namespace orbo {

// A size of 0 or less keeps the default size.
QFont FontOf(const FontSpec& stored);

}  // namespace orbo
