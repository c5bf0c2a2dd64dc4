#include "shell/undo_keys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace orbo {

bool IsUndoOrRedoKey(const QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<const QKeyEvent*>(event);
  return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
         (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier);
}

bool WindowUndoKeys::eventFilter(QObject* watched, QEvent* event) {
  if (!IsUndoOrRedoKey(event)) return QObject::eventFilter(watched, event);
  // Not taken as the box's shortcut: the window's Undo or Redo runs; a key
  // press left over (nothing to take back) does nothing.
  event->ignore();
  return true;
}

}  // namespace orbo
