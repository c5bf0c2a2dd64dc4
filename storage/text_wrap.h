// Printed text laid out in an element's box: each line as long as fits,
// broken at CR LF or after the last blank that still fits, each line
// aligned on its own. Works in twips with a measuring function, so the
// rules are tested without fonts.
#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace orbo {

enum TextAlignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

struct WrapMetrics {
  // Width of a line of text, in twips.
  std::function<int(const QString&)> widthOf;
  // How far a printed line moves the pen down, in twips.
  int lineAdvance = 0;
  // The extra step down at every line break, in twips.
  int breakGap = 0;
};

struct PlacedLine {
  QString text;
  int x = 0;  // twips, left end of the line
  int y = 0;  // twips, top of the line
};

// The lines of text in the box (x, y, width); the box's height does not
// limit them. An alignment other than left, right or centre prints nothing.
std::vector<PlacedLine> WrapText(const QString& text, int x, int y, int width, int alignment,
                                 const WrapMetrics& metrics);

}  // namespace orbo
