// SetForm: the properties of the designer's selection, an element, the form
// or the database. Each showing fills the controls from the model; OK
// stores them as one undo step, Cancel stores nothing. Only a chosen font
// is stored at once, as a step of its own.
#pragma once

#include <QDialog>
#include <functional>

#include "forms/properties/properties_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace orbo {

class Navigator;
struct WindowContext;

class PropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  // redraw draws the designed form again, with its grid and handles.
  PropertiesDialog(WindowContext& context, Navigator& navigator, std::function<void()> redraw);

  // Shows the dialog modally for the selection (SelType, SelIndex, CurForm).
  void Run();

 private:
  void BuildDefaultFrame(QWidget* frame);
  void BuildPrivateFrame(QWidget* frame);
  void ApplyTexts();
  void Activate();
  void ShowEntries(const PropertyEntries& entries);
  PropertyEntries Entries() const;
  void Store();
  void ChooseColor(int swatch);
  void ChooseFont();
  void ChooseIcon();
  void ShowColor(int swatch);
  void ShowTab(int tab);

  WindowContext& context_;
  Navigator& navigator_;
  std::function<void()> redraw_;
  int selType_ = kSelectForm;
  int slot_ = 0;
  std::int32_t colors_[2] = {};
  QString icon_;

  QTabBar* mainTab_;
  QWidget* defaultFrame_;
  QWidget* privateFrame_;
  QStackedWidget* frames_;
  QStackedWidget* privatePages_;
  QLabel* nameLab_;
  QLineEdit* nameTxt_;
  QLabel* borderLab_;
  QComboBox* borderCombo_;
  QLabel* colLab_;
  QPushButton* colPic_[2];
  QCheckBox* transpCheck_;
  QLabel* alignLab_;
  QComboBox* alignCombo_;
  QLabel* fontLab_;
  QPushButton* fontButt_;
  QLabel* iLab2_;
  QComboBox* iCombo2_;
  QLabel* iLab3_;
  QComboBox* iCombo3_;
  QLabel* lLab1_;
  QLineEdit* lText1_;
  QCheckBox* tCheck1_;
  QCheckBox* tCheck3_;
  QLabel* bLab1_;
  QComboBox* bCombo1_;
  QLabel* cLab1_;
  QPlainTextEdit* cText1_;
  QCheckBox* fCheck1_;
  QCheckBox* fCheck2_;
  QCheckBox* mCheck1_;
  QLineEdit* mText1_;
  QLabel* mLabel1_;
  QLabel* formPicLab_;
  QPushButton* formPic_;
  QCheckBox* formCheck1_;
  QLabel* maxListLab_;
  QLineEdit* maxListTxt_;
  QLabel* maxListLab2_;
  QPushButton* okButt_;
  QPushButton* cancelButt_;
};

}  // namespace orbo
