// The one App object: it owns the database, the settings, the language
// texts, the display state and the main window, and runs start-up, the
// periodic tick and shutdown.
#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

#include "app/window_parts.h"
#include "shell/app_settings.h"
#include "shell/command_funnel.h"
#include "shell/dialogs.h"
#include "shell/file_commands_ui.h"
#include "shell/language_texts.h"
#include "shell/window_context.h"
#include "shell/working_files.h"
#include "storage/database_model.h"
#include "storage/display_state.h"
#include "storage/navigation_logic.h"

class QAction;

namespace orbo {

class LanguageMenu;
class RecoveryKeeper;
class StorageAdapter;
class UndoCommands;

class App {
 public:
  // appPath: the program folder; settingsPath: the settings file;
  // recoveryFolder: where recovery copies go (empty: beside the settings).
  App(const QString& appPath, QString settingsPath, Dialogs& dialogs,
      const QString& recoveryFolder = {});
  ~App();

  // Start-up. False when another instance runs: this one handed its command
  // line over and must end.
  bool Main(const QString& given);
  // The 500 ms tick; also ends the program after the window was closed.
  void UpdateTick();
  bool Ended() const { return ended_; }

  Database db;
  AppSettings settings;
  LanguageTexts texts;
  DisplayState state;

  // The main window and every feature made on it.
  WindowParts& Parts() { return parts_; }
  // The dialogs, the desktop and the media player.
  // Every command from a menu, toolbar, key, click or drop runs through it.
  CommandFunnel& Funnel() { return funnel_; }
  // Told after a command that left the model or the display state broken:
  // release builds log it, debug builds stop there. Tests set their own.
  std::function<void(const QStringList& problems)> onBrokenInvariants;
  const WorkingFiles& Files() const { return files_; }

  // The recovery copy of the open database.
  RecoveryKeeper& Recovery() { return *recovery_; }

  // What every feature gets instead of the App.
  WindowContext& Context() { return *context_; }

  void ApplySettings();
  void BuildRecentMenu();
  // Sizes the window so the current form fits beside the tree, centred.
  void ResetScale();
  void ShowIntro(int mode);
  // The window's close box and the quit command: false keeps the window.
  bool QueryUnload();

  // What load, save and merge need from the window.
  FileCommandsUi& Storage();

  // What the features ask of the window: messages, progress, help, icons.
  WindowServices& Services();

 private:
  bool CheckDoubleRun(const QString& commandLine);
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
  // What the window does besides once a mode is shown.
  void FollowMode(WorkMode mode);
  // Enables the menus made from the model and the view as they offer
  // entries. Runs after every command and mode switch.
  void UpdateCommandStates();

  QString appPath_;
  QString settingsPath_;
  Dialogs& dialogs_;
  WorkingFiles files_;
  // Made before the parts and gone after them: the parts hold the context,
  // and their event filters still run while they are taken down.
  CommandFunnel funnel_;
  WindowEvents events_;
  std::unique_ptr<WindowContext> context_;
  WindowParts parts_;
  std::unique_ptr<UndoCommands> undo_;
  std::unique_ptr<StorageAdapter> storage_;
  std::unique_ptr<LanguageMenu> languages_;
  std::unique_ptr<RecoveryKeeper> recovery_;
  QLockFile instanceLock_;
  QString commandLine_;
  bool startDialogDone_ = false;
  bool endRequested_ = false;
  bool ended_ = false;
  int menuBarHeight_ = 0;
};

}  // namespace orbo
