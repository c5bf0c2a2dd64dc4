// What the features ask of the window (messages, progress, help, text input,
// icons, the status bar and the title), for the App; it also keeps the help
// window and the icon picker.
#pragma once

#include <memory>
#include <optional>

#include "forms/icons/image_list.h"
#include "shell/dialogs.h"
#include "shell/language_texts.h"
#include "shell/window_services.h"
#include "shell/working_files.h"
#include "storage/database_model.h"
#include "storage/display_state.h"
#include "storage/text_id.h"

namespace orbo {

class HelpWindow;
class IconPickerDialog;
class MainWindow;

class AppServices : public WindowServices {
 public:
  AppServices(MainWindow& window, Dialogs& dialogs, const LanguageTexts& texts,
              const WorkingFiles& files, const Database& db, const DisplayState& state);
  ~AppServices() override;

  // The user icons' folders, and the icons loaded into the window's list once.
  IconFolders Icons() const;
  void LoadUserIcons();
  // Closes the help window and the icon picker (the window is closing).
  void HideDialogs();

  QWidget& DialogParent() override;
  MessageAnswer ShowMessage(const QString& text, MessageStyle style) override;
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
  // A note after the counts, such as that another program changed the file;
  // kept as a text id so a language switch words it anew.
  void SetFileNote(std::optional<TextId> note) {
    fileNote_ = note;
    UpdateStatusBar();
  }
  QString ProgramFile(const QString& relative) const override { return files_.Below(relative); }

 private:
  void ImportIcon();

  MainWindow& window_;
  Dialogs& dialogs_;
  const LanguageTexts& texts_;
  const WorkingFiles& files_;
  const Database& db_;
  const DisplayState& state_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<IconPickerDialog> picker_;
  bool userIconsLoaded_ = false;
  std::optional<TextId> fileNote_;
};

}  // namespace orbo
