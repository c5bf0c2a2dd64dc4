// Colours as the model stores them: red | green << 8 | blue << 16, or
// 0x80000000 + n for system colour n.
#pragma once

#include <QColor>
#include <cstdint>

namespace orbo {

QColor ColorOf(std::int32_t value);
// A chosen colour as the model stores it (never a system colour).
std::int32_t StoredColor(const QColor& color);

}  // namespace orbo
