// The preview's arithmetic: zoom levels, the page's size on screen and the
// print offsets moved by dragging the page.
#pragma once

#include <QSize>
#include <QSizeF>
#include <cstdint>

namespace orbo {

// Zoom levels 0 (largest) to 5 and their factors.
inline constexpr int kPreviewStartZoom = 3;
inline constexpr double kPreviewZoomFactors[] = {1.0, 0.8, 0.6, 0.4, 0.2, 0.1};
inline constexpr int kPreviewZoomLevels = 6;

// The page of pageTwips in pixels of twipsPerPixel, times factor.
QSize ShownPageSize(const QSizeF& pageTwips, double twipsPerPixel, double factor);

// A print offset moved by a drag of pixels on a page shown shownWidth
// pixels wide that prints pageWidth twips wide; it may become negative but
// stays within what the file stores.
std::int32_t DraggedOffset(std::int32_t offset, int pixels, double pageWidth, int shownWidth);

}  // namespace orbo
