// MoveForm: the folder tree in a dialog, the keyboard's way to move the
// shown record or folder into another folder. Made for each question.
#pragma once

#include <QDialog>

#include "shell/language_texts.h"
#include "storage/database_model.h"

class QPushButton;
class QTreeWidget;

namespace orbo {

class FolderChooser : public QDialog {
  Q_OBJECT

 public:
  // moving: the folder being moved, which cannot go into itself or below
  // itself, or -1 for a record; current: the folder chosen at the start.
  FolderChooser(QWidget* parent, const LanguageTexts& texts, const Database& db, int moving,
                int current);
  // The folder chosen, -1 for none.
  int Chosen() const;

 private:
  QTreeWidget* tree_;
  QPushButton* okButton_;
};

}  // namespace orbo
