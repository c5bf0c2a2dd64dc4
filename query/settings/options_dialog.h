// OptionsForm: the program settings. The "view" page holds the status bar,
// the recent files and the visible toolbar buttons; the "editor" page the
// design grid, the default font and the start dialog. OK tells the window
// the settings changed and writes the settings file. No option lives in the
// database: nothing here is an undo step.
#pragma once

#include <QDialog>

#include "query/settings/options_logic.h"

class QCheckBox;
class QGroupBox;
class QSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace orbo {

class WorkingFiles;
struct WindowContext;

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // Connects mnuPref, its button and mnToolBar2; settingsPath is the
  // settings file written on OK.
  OptionsDialog(WindowContext& context, const WorkingFiles& files, QString settingsPath);

  void Run();

 private:
  void ApplyTexts();
  void Activate();
  void FillPanelView(const OptionEntries& entries);
  OptionEntries Entries() const;
  void Store();
  void ClearRecentFiles();
  void ShowRecentState();
  void ChooseFont();
  void KeepTopNodesTicked(QTreeWidgetItem* item);
  void ShowPage(int tab);

  WindowContext& context_;
  const WorkingFiles& files_;
  QString settingsPath_;
  FontSpec font_;  // the working font

  QTabBar* mainTab_;
  QStackedWidget* pages_;
  QGroupBox* viewFrame_;
  QGroupBox* panelFrame_;
  QCheckBox* showStatus_;
  QPushButton* clearRecent_;
  QGroupBox* savingFrame_;
  QLabel* backupsLabel_;
  QSpinBox* backupsSpin_;
  QLabel* recoveryLabel_;
  QSpinBox* recoverySpin_;
  QTreeWidget* panelView_;
  QGroupBox* gridFrame_;
  QLabel* gridStepXLabel_;
  QLineEdit* gridStepXEdit_;
  QLabel* gridStepYLabel_;
  QLineEdit* gridStepYEdit_;
  QCheckBox* showGrid_;
  QGroupBox* fontFrame_;
  QLabel* fontLabel_;
  QPushButton* fontButton_;
  QCheckBox* startCheck_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  QPushButton* helpButton_;
};

}  // namespace orbo
