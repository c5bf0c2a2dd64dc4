// Undo and redo keys in a text box belong to the window's undo, which takes
// typing back a word at a time and every other step besides; the box's own
// undo would go around it (and, after a text set from the model, take
// nothing back while swallowing the key).
#pragma once

#include <QObject>

class QEvent;

namespace orbo {

bool IsUndoOrRedoKey(const QEvent* event);

// Installed on a box, passes its undo and redo keys on to the window.
class WindowUndoKeys : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace orbo
