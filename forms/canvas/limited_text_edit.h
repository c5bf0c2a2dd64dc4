// The multiline text box of an element: what the user types, pastes, drops
// or composes goes in only as far as the element's limit allows, counted as
// stored (a line break is two characters). The limit refuses growth only:
// a longer value from a file or an import stays whole, deleting from it
// works, and undo and redo bring back what was there.
#pragma once

#include <QTextEdit>

namespace orbo {

class LimitedTextEdit : public QTextEdit {
 public:
  explicit LimitedTextEdit(QWidget* parent);

  // Stored characters the user may bring the text up to.
  void SetLimit(int limit) { limit_ = limit; }
  int Limit() const { return limit_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  // How many stored characters may replace the selection.
  int Room() const;

  int limit_;
};

}  // namespace orbo
