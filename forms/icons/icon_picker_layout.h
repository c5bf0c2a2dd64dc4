// Where the icons of the picker sit: 19 to a row in 19-pixel cells, four
// rows in sight, the first visible row chosen by the scroll bar.
#pragma once

#include <QPoint>

namespace orbo {

inline constexpr int kPickerColumns = 19;
inline constexpr int kPickerVisibleRows = 4;
inline constexpr int kPickerCell = 19;

struct PickerScroll {
  bool enabled = false;
  int maximum = 0;
};

PickerScroll PickerScrollRange(int iconCount);

// The 1-based icon under pixel (x, y) of the icon area; 0 when there is none.
int PickerIconAt(int x, int y, int firstRow, int iconCount);

// Top-left pixel of the cell of icon index (1-based); may lie outside the
// visible rows.
QPoint PickerCellOf(int index, int firstRow);

}  // namespace orbo
