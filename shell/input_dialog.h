// InputForm: asks for one line of text, a password, or a file name with a
// browse button. Made for each question.
#pragma once

#include <QDialog>
#include <functional>

#include "shell/language_texts.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orbo {

class InputDialog : public QDialog {
  Q_OBJECT

 public:
  explicit InputDialog(QWidget* parent);

  // browse picks a file for the browse button; it is shown only for a
  // filter of more than one character.
  void Prepare(const LanguageTexts& texts, const QString& prompt, const QString& start,
               bool password, const QString& browseFilter,
               std::function<QString(const QString& filter)> browse);
  // The confirmed text, or the start text.
  const QString& Result() const { return result_; }
  // Clears the typed text and the result.
  void Forget();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* prompt_;
  QLineEdit* inputEdit_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  QPushButton* browseButton_;
  QString result_;
  QString filter_;
  std::function<QString(const QString&)> browse_;
};

}  // namespace orbo
