// DBProps: switches the password protection of the open database on and off,
// changes its password and chooses whether the file is encrypted with it. The state at opening is
// kept aside; Cancel and closing the window bring it back, OK keeps what changed as one undo step.
// It shows the code page the texts were read in and, while nothing is unsaved, offers to read
// the file again in another.
#pragma once

#include <QDialog>

#include "query/settings/password_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace orbo {

struct WindowContext;

class DatabasePropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  // Connects mnuDBProps and its button.
  explicit DatabasePropertiesDialog(WindowContext& context);

  void Run();

 signals:
  // The user chose to read the database's file again, its texts in codePage;
  // the dialog has closed, changing nothing.
  void ReadAgainRequested(const QString& codePage);

 private:
  void ShowCodePage();
  void ApplyTexts();
  void ShowProtection();
  void SwitchProtection();
  void ChangePassword();
  // Tells the user why nothing changed.
  void Tell(ProtectionOutcome outcome);
  QString AskPassword(TextId prompt);
  // The name of the step OK makes of the protection as it was and is.
  static TextId StepName(const Protection& before, const Protection& after);

  WindowContext& context_;
  QGroupBox* protectionFrame_;
  QCheckBox* protectCheck_;
  QPushButton* changePasswordButton_;
  QCheckBox* encryptCheck_;
  QLabel* protectionNote_;
  QGroupBox* codePageFrame_;
  QLabel* codePageLabel_;
  QPushButton* readAgainButton_;
  QComboBox* codePageCombo_;
  QLabel* readAgainNote_;
  // The code page chosen with readAgainButton_; empty when none was.
  QString readAgainAs_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  QPushButton* helpButton_;
};

}  // namespace orbo
