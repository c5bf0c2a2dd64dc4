// SetForm: the properties of the designer's selection, an element, the form
// or the database. Each showing fills the controls from the model; OK
// stores them as one undo step, Cancel stores nothing. Only a chosen font
// is stored at once, as a step of its own.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "forms/properties/field_controls.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace orbo {

struct WindowContext;

class PropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  // redraw draws the designed form again, with its grid and handles.
  PropertiesDialog(WindowContext& context, std::function<void()> redraw);

  // Shows the dialog modally for the selection (SelType, SelIndex, CurForm).
  void Run();

 private:
  void BuildDefaultFrame(QWidget* frame);
  void BuildPrivateFrame(QWidget* frame);
  void ApplyTexts();
  void Activate();
  void Bind(std::size_t field, std::unique_ptr<FieldControl> control);
  void ShowEntries(const PropertyEntries& entries);
  PropertyEntries Entries() const;
  void Store();
  void ChooseFont();
  void ChooseIcon();
  void ShowTab(int tab);

  WindowContext& context_;
  std::function<void()> redraw_;
  int selType_ = kSelectForm;
  int slot_ = 0;
  // The control of each row of kElementFields the dialog edits.
  std::array<std::unique_ptr<FieldControl>, kElementFields.size()> fieldControls_;
  QString icon_;

  QTabBar* mainTab_;
  QWidget* defaultFrame_;
  QWidget* privateFrame_;
  QStackedWidget* frames_;
  QStackedWidget* privatePages_;
  QLabel* nameLabel_;
  QLineEdit* nameEdit_;
  QLabel* borderLabel_;
  QComboBox* borderCombo_;
  QLabel* colorLabel_;
  QPushButton* colorButtons_[2];
  QCheckBox* transparentCheck_;
  QLabel* alignLabel_;
  QComboBox* alignCombo_;
  QLabel* fontLabel_;
  QPushButton* fontButton_;
  QLabel* imageSizeLabel_;
  QComboBox* imageSizeCombo_;
  QLabel* doubleClickLabel_;
  QComboBox* doubleClickCombo_;
  QLabel* toolTipLabel_;
  QLineEdit* toolTipEdit_;
  QCheckBox* quickEnterCheck_;
  QCheckBox* passwordFieldCheck_;
  QLabel* buttonActionLabel_;
  QComboBox* buttonActionCombo_;
  QLabel* comboListLabel_;
  QPlainTextEdit* comboListEdit_;
  QCheckBox* flatStyleCheck_;
  QCheckBox* flagAtRightCheck_;
  QCheckBox* limitTextCheck_;
  QLineEdit* textLimitEdit_;
  QLabel* textLimitUnitLabel_;
  QLabel* formIconLabel_;
  QPushButton* formIconButton_;
  QCheckBox* shadowCheck_;
  QLabel* listLengthLabel_;
  QLineEdit* listLengthEdit_;
  QLabel* listLengthUnitLabel_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace orbo
