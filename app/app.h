// The one App object: it owns the database, the settings, the language
// texts, the display state and the main window, and runs start-up, the
// periodic tick and shutdown.
#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

#include "forms/icons/image_list.h"
#include "shell/app_settings.h"
#include "shell/command_funnel.h"
#include "shell/dialogs.h"
#include "shell/language_texts.h"
#include "shell/window_context.h"
#include "shell/working_files.h"
#include "storage/database_model.h"
#include "storage/display_state.h"
#include "storage/navigation_logic.h"
#include "storage/storage_ui.h"

class QAction;

namespace orbo {

class AccessExchange;
class DatabasePropertiesDialog;
class FolderTree;
class FormCanvas;
class FormDesigner;
class Finder;
class HelpWindow;
class IconPickerDialog;
class IntroDialog;
class MainWindow;
class ModeSwitch;
class Navigator;
class OptionsDialog;
class PrintDialog;
class PropertiesDialog;
class RecordEditor;
class Sorter;
class StorageAdapter;
class TitleFieldMenu;
class UndoCommands;

class App : public WindowServices {
 public:
  // appPath: the program folder; settingsPath: the settings file.
  App(const QString& appPath, QString settingsPath, Dialogs& dialogs);
  ~App() override;

  // Start-up. False when another instance runs: this one handed its command
  // line over and must end.
  bool Main(const QString& commandLine);
  // The 500 ms tick; also ends the program after the window was closed.
  void UpdateTick();
  bool Ended() const { return ended_; }

  Database db;
  AppSettings settings;
  LanguageTexts texts;
  DisplayState state;

  MainWindow& Window() { return *window_; }
  FormCanvas& Canvas() { return *canvas_; }
  RecordEditor& Editor() { return *editor_; }
  FormDesigner& Designer() { return *designer_; }
  Finder& Find() { return *finder_; }
  Sorter& Sorting() { return *sorter_; }
  AccessExchange& Access() { return *access_; }
  Navigator& Navigation() { return *navigator_; }
  // PrinterForm2, made at its first use.
  PrintDialog& Printing();
  // Arms an element tool, or the selection arrow for nullptr.
  void ChooseTool(QAction* tool);
  // The dialogs, the desktop and the media player.
  Dialogs& Seams() { return dialogs_; }
  // Every command from a menu, toolbar, key, click or drop runs through it.
  CommandFunnel& Funnel() { return funnel_; }
  // Told after a command that left the model or the display state broken:
  // release builds log it, debug builds stop there. Tests set their own.
  std::function<void(const QStringList& problems)> onBrokenInvariants;
  const WorkingFiles& Files() const { return files_; }
  const QString& SettingsPath() const { return settingsPath_; }

  // What every feature gets instead of the App.
  WindowContext& Context() { return *context_; }

  void ApplySettings();
  void BuildRecentMenu();
  void ToDatabaseMode();
  void ToEditMode();
  // Sizes the window so the current form fits beside the tree, centred.
  void ResetScale();
  // F5 / F6 and their buttons: ignored while a long operation runs.
  void SwitchMode(int editMode);
  void ShowIntro(int mode);
  void ChooseLanguage(int index);
  void OpenRecent(int index);
  // The window's close box and the quit command: false keeps the window.
  bool QueryUnload();
  FolderTree& Tree() { return *tree_; }

  void LoadUserIcons();
  IconFolders Icons() const;

  // What load, save and merge need from the window.
  StorageUi& Storage();
  // Features not yet on undo steps mark the model changed outside the stack.
  void SetModified(bool value) { Storage().SetModified(value); }

  // WindowServices: what the features ask of the window.
  QWidget& DialogParent() override;
  MessageAnswer ShowMessage(const QString& text, int style) override;
  void ShowProgress(int value, const QString& text) override;
  bool Busy() const override;
  void ShowStatusMessage(const QString& text, int seconds) override;
  void ShowHelp(int topic) override;
  QString AskText(const QString& prompt, const QString& start, bool password = false,
                  const QString& browseFilter = QString()) override;
  QString ChooseIcon(const QString& key) override;
  QIcon IconFor(const QString& key) override;
  QLabel& StatusPanel(const QString& key) override;
  void ShowFolderView(bool folder) override;
  void UpdateTitle() override;
  void UpdateStatusBar() override;
  QString ProgramFile(const QString& relative) const override { return files_.Below(relative); }

 private:
  bool CheckDoubleRun(const QString& commandLine);
  void LoadCurrentLang();
  // Loads a language file's texts and the code page it names.
  void LoadLanguage(const QStringList& lines);
  void CheckInvariants();
  // The title, the save button and the status bar follow the mark.
  void FollowModified(bool modified);
  void ConnectCommands();
  void RecordPlacement();
  void Layout();
  // The list area's extra width in twips, from the wide-list setting.
  int ListExtraWidth() const { return settings.WideList ? 100 : 0; }
  void StatusPanelClicked(const QString& key);
  void TakeHandOver();
  void BringToFront();
  void ImportIcon();
  // What the window does besides once a mode is shown.
  void FollowMode(int editMode);
  // Enables the menus made from the model and the view as they offer
  // entries. Runs after every command and mode switch.
  void UpdateCommandStates();

  QString appPath_;
  QString settingsPath_;
  Dialogs& dialogs_;
  WorkingFiles files_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<IntroDialog> intro_;
  std::unique_ptr<FolderTree> tree_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<IconPickerDialog> picker_;
  std::unique_ptr<FormCanvas> canvas_;
  std::unique_ptr<RecordEditor> editor_;
  std::unique_ptr<FormDesigner> designer_;
  std::unique_ptr<ModeSwitch> modeSwitch_;
  std::unique_ptr<PropertiesDialog> properties_;  // made when first shown
  std::unique_ptr<TitleFieldMenu> recordTitleMenu_;
  std::unique_ptr<TitleFieldMenu> formTitleMenu_;
  std::unique_ptr<Finder> finder_;
  std::unique_ptr<Sorter> sorter_;
  std::unique_ptr<AccessExchange> access_;
  std::unique_ptr<Navigator> navigator_;
  std::unique_ptr<OptionsDialog> options_;
  std::unique_ptr<DatabasePropertiesDialog> databaseProperties_;
  std::unique_ptr<PrintDialog> printing_;
  std::unique_ptr<StorageAdapter> storage_;
  bool userIconsLoaded_ = false;
  QLockFile instanceLock_;
  QString commandLine_;
  bool startDialogDone_ = false;
  bool endRequested_ = false;
  bool ended_ = false;
  int menuBarHeight_ = 0;
  int currentLanguage_ = -1;
  CommandFunnel funnel_;
  std::unique_ptr<UndoCommands> undo_;
  WindowEvents events_;
  std::unique_ptr<WindowContext> context_;
};

}  // namespace orbo
