#include "query/find/finder_placement.h"

#include <algorithm>
#include <array>
#include <limits>

namespace orbo {
namespace {

// Room left between the window and what it keeps clear of.
constexpr int kGap = 8;

int Inside(int value, int low, int length, int room) {
  return std::max(low, std::min(value, low + room - length));
}

long long Hidden(const QRect& window, const QRect& target) {
  const QRect both = window.intersected(target);
  return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

}  // namespace

QPoint PlaceBeside(const QRect& target, const QSize& size, const QRect& screen,
                   const QPoint& current) {
  const int right = target.right() + 1 + kGap;
  const int left = target.left() - kGap - size.width();
  const int below = target.bottom() + 1 + kGap;
  const int above = target.top() - kGap - size.height();
  // Beside, then in the corners, which hide least when the screen is small.
  const std::array<QPoint, 9> wanted = {
      current,
      QPoint(right, current.y()),
      QPoint(left, current.y()),
      QPoint(current.x(), below),
      QPoint(current.x(), above),
      QPoint(right, below),
      QPoint(left, below),
      QPoint(right, above),
      QPoint(left, above),
  };
  QPoint best = current;
  long long least = std::numeric_limits<long long>::max();
  for (const QPoint& place : wanted) {
    const QPoint onScreen(Inside(place.x(), screen.left(), size.width(), screen.width()),
                          Inside(place.y(), screen.top(), size.height(), screen.height()));
    const long long hidden = Hidden(QRect(onScreen, size), target);
    if (hidden < least) {
      least = hidden;
      best = onScreen;
    }
    if (hidden == 0) break;
  }
  return best;
}

}  // namespace orbo
