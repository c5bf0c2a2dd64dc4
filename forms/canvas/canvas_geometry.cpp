#include "forms/canvas/canvas_geometry.h"

#include <algorithm>

namespace orbo {
namespace {

constexpr int kEditModeExtraSteps = 10;
constexpr int kScrollBaseSteps = 3;
// Centring leaves the canvas slightly left of the middle.
constexpr int kCentringNudge = 30;
constexpr int kShadowWidth = 70;
constexpr int kShadowHeight = 60;
constexpr int kTallestFixedText = 700;

int Scaled(int value, double scale) { return static_cast<int>(value * scale); }

}  // namespace

ScrollRange CanvasScrollRange(int canvasExtent, int viewportExtent, bool editMode) {
  const int excess = canvasExtent + 300 - viewportExtent;
  if (excess <= 0 && !editMode) return {};
  return {true, std::max(excess, 0) / kScrollStep + kScrollBaseSteps +
                    (editMode ? kEditModeExtraSteps : 0)};
}

int CanvasStart(int canvasExtent, int viewportExtent, bool editMode, bool horizontal,
                const ScrollRange& range, int scrollValue) {
  if (range.visible) return kCanvasMargin - kScrollStep * scrollValue;
  if (editMode) return kCanvasMargin;
  const int centred = viewportExtent / 2 - canvasExtent / 2 - (horizontal ? kCentringNudge : 0);
  return std::max(centred, kCanvasMargin);
}

int ScrollValueShowing(int first, int last, int viewportExtent, int scrollValue, int maximum) {
  // The canvas starts at kCanvasMargin - kScrollStep * value.
  const int endInside = kCanvasMargin + last - viewportExtent;
  int value =
      std::max(scrollValue, endInside > 0 ? (endInside + kScrollStep - 1) / kScrollStep : 0);
  const int startInside = kCanvasMargin + first;
  value = std::min(value, startInside >= 0 ? startInside / kScrollStep : 0);
  return std::clamp(value, 0, std::max(maximum, 0));
}

QRect ShadowRight(const QRect& canvas) {
  return {canvas.left() + canvas.width(), canvas.top() + kShadowHeight, kShadowWidth,
          canvas.height()};
}

QRect ShadowBelow(const QRect& canvas) {
  return {canvas.left() + kShadowWidth, canvas.top() + canvas.height(), canvas.width(),
          kShadowHeight};
}

QRect ElementBox(const ElementDef& e, int type, double scaleX, double scaleY,
                 bool fixedTextHeight) {
  int height = Scaled(e.Height, scaleY);
  if (type == kCombo) height = 0;
  if (type == kText && fixedTextHeight && e.Height <= kTallestFixedText) height = e.Height;
  return {Scaled(e.Left, scaleX), Scaled(e.Top, scaleY), Scaled(e.Width, scaleX), height};
}

}  // namespace orbo
