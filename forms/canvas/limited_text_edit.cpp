#include "forms/canvas/limited_text_edit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <algorithm>
#include <limits>

#include "storage/element_text.h"

namespace orbo {

LimitedTextEdit::LimitedTextEdit(QWidget* parent)
    : QTextEdit(parent), limit_(std::numeric_limits<int>::max()) {
  setAcceptRichText(false);
}

int LimitedTextEdit::Room() const {
  const int length = StoredLength(toPlainText());
  const int selected = StoredLength(textCursor().selectedText());
  // Above the limit already, the text may still shrink but never grow.
  return std::max(limit_, length) - length + selected;
}

void LimitedTextEdit::keyPressEvent(QKeyEvent* event) {
  // Tab types a tab into the text; Ctrl+Tab leaves it for the next field,
  // Shift+Tab (with Ctrl or not) for the one before. Some keyboards send
  // Shift+Tab with a tab as its text, which would type over a selection.
  const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
  const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
  if (tab && ((event->modifiers() & Qt::ControlModifier) || back)) {
    // QTextEdit's own refuses while Tab types into the text.
    QWidget::focusNextPrevChild(!back);
    event->accept();
    return;
  }
  const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const QString text = lineBreak ? QStringLiteral("\n") : event->text();
  // Control keys are commands (undo, paste, ...), unless Alt comes with
  // them, which is how some keyboards type characters.
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool command =
      (mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier);
  const bool typed = !isReadOnly() && !command && !text.isEmpty() &&
                     (lineBreak || text.at(0).isPrint() || text.at(0) == u'\t');
  if (typed && FittingInsertion(text, Room()).size() < text.size()) {
    // Refused as a full box refuses it: the key goes nowhere else.
    event->accept();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent* event) {
  const QString committed = event->commitString();
  const QString fitting = FittingInsertion(committed, Room());
  if (committed.isEmpty() || fitting.size() == committed.size()) {
    QTextEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent cut(event->preeditString(), event->attributes());
  cut.setCommitString(fitting, event->replacementStart(), event->replacementLength());
  QTextEdit::inputMethodEvent(&cut);
  event->accept();
}

void LimitedTextEdit::insertFromMimeData(const QMimeData* source) {
  if (!source || !source->hasText()) return;
  QMimeData fitting;
  fitting.setText(FittingInsertion(source->text(), Room()));
  QTextEdit::insertFromMimeData(&fitting);
}

}  // namespace orbo
