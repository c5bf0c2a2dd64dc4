#include "query/print/preview_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orbo {

QSize ShownPageSize(const QSizeF& pageTwips, double twipsPerPixel, double factor) {
  return {std::max(1, static_cast<int>(std::lround(pageTwips.width() / twipsPerPixel * factor))),
          std::max(1, static_cast<int>(std::lround(pageTwips.height() / twipsPerPixel * factor)))};
}

std::int32_t DraggedOffset(std::int32_t offset, int pixels, double pageWidth, int shownWidth) {
  if (shownWidth <= 0) return offset;
  const double moved = std::trunc(pixels * pageWidth / shownWidth);
  return static_cast<std::int32_t>(std::clamp<double>(offset + moved,
                                                      std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max()));
}

}  // namespace orbo
