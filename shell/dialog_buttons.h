// The bottom row of the program's dialogs: OK and Cancel at the right, Help,
// where the dialog has one, at the left.
#pragma once

#include <QHBoxLayout>
#include <QPushButton>

namespace orbo {

inline QHBoxLayout* OkCancelRow(QPushButton* ok, QPushButton* cancel) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

inline QHBoxLayout* HelpOkCancelRow(QPushButton* help, QPushButton* ok, QPushButton* cancel) {
  QHBoxLayout* row = OkCancelRow(ok, cancel);
  row->insertWidget(0, help);
  return row;
}

}  // namespace orbo
