// Takes bytes as a writer makes them, in order; throws to stop it.
#pragma once

#include <QtGlobal>
#include <functional>

namespace orbo {

using ByteSink = std::function<void(const char* data, qsizetype size)>;

}  // namespace orbo
