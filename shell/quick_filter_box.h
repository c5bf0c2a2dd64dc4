// The quick filter of the main toolbar: a box (Ctrl+K; Escape clears it)
// and a toggle for every text value. As the user types, the contents list
// shows the matching records of the folder shown and the folders below it;
// Return opens the first match.
#pragma once

#include <QObject>
#include <QTimer>

class QAction;
class QLineEdit;

namespace orbo {

class Navigator;
struct WindowContext;

class QuickFilterBox : public QObject {
 public:
  QuickFilterBox(WindowContext& context, Navigator& navigator);

  QLineEdit& Box() { return *box_; }
  QAction& AllTexts() { return *allTexts_; }
  // Placeholder, toggle and tooltips again, after the language changed.
  void ApplyTexts();
  // Empties the box and the filter at once: a database opened or made in
  // place of the one filtered shows all of its records.
  void Clear();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply();
  void OpenFirstMatch();

  WindowContext& context_;
  Navigator& navigator_;
  QLineEdit* box_;
  QAction* allTexts_;
  // Keys typed quickly one after another are filtered once, so typing never
  // waits for the list.
  QTimer pending_;
};

}  // namespace orbo
