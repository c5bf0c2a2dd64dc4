#include "forms/icons/icon_picker_layout.h"

namespace orbo {

PickerScroll PickerScrollRange(int iconCount) {
  const double rows = double(iconCount) / kPickerColumns;
  if (rows < kPickerVisibleRows) return {};
  return {true, static_cast<int>(rows - (kPickerVisibleRows - 1))};
}

int PickerIconAt(int x, int y, int firstRow, int iconCount) {
  if (x < 0 || y < 0) return 0;
  const int column = x / kPickerCell;
  const int row = y / kPickerCell;
  if (column >= kPickerColumns || row >= kPickerVisibleRows) return 0;
  const int index = (firstRow + row) * kPickerColumns + column + 1;
  return index <= iconCount ? index : 0;
}

QPoint PickerCellOf(int index, int firstRow) {
  const int position = index - 1;
  return {(position % kPickerColumns) * kPickerCell,
          (position / kPickerColumns - firstRow) * kPickerCell};
}

}  // namespace orbo
