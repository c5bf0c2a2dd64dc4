// InputIcoForm: picks one picture of the icon image list, or imports a
// picture file as a new user icon.
#pragma once

#include <QDialog>

#include "forms/icons/image_list.h"
#include "shell/language_texts.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace orbo {

class IconArea;

class IconPickerDialog : public QDialog {
  Q_OBJECT

 public:
  IconPickerDialog(const ImageList& icons, QWidget* parent);

  // Fills captions and selects the icon of key, before the dialog is shown.
  void Prepare(const LanguageTexts& texts, const QString& key);
  // The key chosen with OK; the prepared key otherwise.
  const QString& Result() const { return result_; }
  // 1-based index of the selected icon; 0 for none.
  int Selected() const { return selected_; }
  void Select(int index);
  // Draws the icons again, after the list changed.
  void Redraw();

 signals:
  void importRequested();

 private:
  void Confirm();

  const ImageList& icons_;
  IconArea* area_;
  QScrollBar* scroll_;
  QLabel* preview_;
  QPushButton* addIconButton_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  QString result_;
  int selected_ = 0;
};

}  // namespace orbo
