// Colours as the model stores them: red | green << 8 | blue << 16, or
// 0x80000000 + n for system colour n.
#pragma once

#include <QColor>

#include <cstdint>

namespace orbo {

QColor ColorOf(std::int32_t value);

}  // namespace orbo
