// IntroForm: the start dialog (new database, the example, or open one, with
// the recent files) and, in mode 2, the about page.
#pragma once

#include <QDialog>
#include <QStringList>

#include "shell/language_texts.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace orbo {

class IntroDialog : public QDialog {
  Q_OBJECT

 public:
  enum Mode { kStartChoices = 1, kAbout = 2 };
  enum Choice { kNew, kExample, kOpen };

  explicit IntroDialog(QWidget* parent);

  // Fills the dialog for showing. recentFiles are the used entries, in order.
  void Prepare(Mode mode, const LanguageTexts& texts, int startCount,
               const QStringList& recentFiles, bool showStartDialog);

  Choice ChosenOption() const;
  // 0: open another file; k: recent file k - 1.
  int ChosenLine() const;
  bool ShowAtStart() const;

 signals:
  void helpRequested();

 private:
  void OptionChanged();

  QLabel* aboutText_;
  QRadioButton* newOption_;
  QRadioButton* exampleOption_;
  QRadioButton* openOption_;
  QListWidget* fileList_;
  QCheckBox* showAtStartCheck_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  QPushButton* helpButton_;
};

}  // namespace orbo
