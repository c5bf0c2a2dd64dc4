// Where the find dialog goes so that the record it found shows: the
// arithmetic on screen rectangles, without widgets.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace orbo {

// The top-left corner for a window of size, inside screen, that hides as
// little of target as it can: where it is (current) when it hides nothing
// there, else beside target on the right, the left, below or above, then
// in its corners: the first that hides nothing, else the one that hides
// least.
QPoint PlaceBeside(const QRect& target, const QSize& size, const QRect& screen,
                   const QPoint& current);

}  // namespace orbo
