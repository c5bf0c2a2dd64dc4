// Where a record is drawn: the canvas, as the navigation and the features
// that show a record see it.
#pragma once

#include <QRect>

namespace orbo {

class RecordSurface {
 public:
  virtual ~RecordSurface() = default;

  // Draws form and makes it the current form (-1: nothing is done).
  virtual void DrawForm(int form) = 0;
  // Puts the values of record, of the drawn form, into the controls.
  virtual void FillRecordValues(int record) = 0;
  // The drawn form on the screen, in global coordinates.
  virtual QRect ShownArea() const = 0;
  // Scrolls field (type, slot) of the shown record into view, gives it the
  // focus and selects length characters of its text from position (1-based,
  // in the value as stored).
  virtual void ShowFound(int type, int slot, int position, int length) = 0;
};

}  // namespace orbo
