// Where the form canvas, its scroll bars, its shadow and its elements go,
// in twips: the arithmetic of drawing a form, without widgets.
#pragma once

#include <QRect>

#include "storage/database_model.h"

namespace orbo {

// One scroll step moves the canvas by this many twips.
inline constexpr int kScrollStep = 200;
// The margin the canvas keeps from the viewport's top-left corner.
inline constexpr int kCanvasMargin = 200;
// The side of a selection handle of the designer.
inline constexpr int kHandleSide = 100;

struct ScrollRange {
  bool visible = false;
  int maximum = 0;
};

// The scroll bar along one axis: shown when the canvas and a margin do not
// fit the viewport, and always in edit mode, which offers ten extra steps.
ScrollRange CanvasScrollRange(int canvasExtent, int viewportExtent, bool editMode);

// The canvas's left (horizontal) or top edge in the viewport, given the
// scroll bar of that axis.
int CanvasStart(int canvasExtent, int viewportExtent, bool editMode, bool horizontal,
                const ScrollRange& range, int scrollValue);

// The scroll value that shows the part [first, last) of the canvas (twips
// from its edge) in a viewport of viewportExtent, moved as little as it can
// from scrollValue, within 0..maximum; where both ends cannot show, the
// first does.
int ScrollValueShowing(int first, int last, int viewportExtent, int scrollValue, int maximum);

// The two shadow strips beside a canvas placed at canvas.
QRect ShadowRight(const QRect& canvas);
QRect ShadowBelow(const QRect& canvas);

// An element's box on the canvas: its stored geometry times the scale. A
// combo keeps a zero height (its font decides it); a text box lower than
// 701 twips keeps its stored height when fixedTextHeight is on.
QRect ElementBox(const ElementDef& element, int type, double scaleX, double scaleY,
                 bool fixedTextHeight);

}  // namespace orbo
