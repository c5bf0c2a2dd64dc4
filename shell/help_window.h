// The program's help: HTML pages from the program folder's help/, opened at
// the anchor of a topic number ("topic11").
#pragma once

#include <QDialog>

class QTextBrowser;

namespace orbo {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent);

  // Shows page at topic's anchor; topic 0 shows the page's beginning.
  void ShowTopic(const QString& page, int topic);
  QString Anchor() const { return anchor_; }

 private:
  QTextBrowser* browser_;
  QString anchor_;
};

}  // namespace orbo
