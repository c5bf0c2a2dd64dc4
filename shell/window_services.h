// What the main window does for every feature: messages, progress, help,
// the text input, icons, the title and the status bar, and the program's
// own files. The composition root fills it; tests use the real one.
#pragma once

#include <QIcon>
#include <QString>

#include "shell/message_style.h"

class QLabel;
class QWidget;

namespace orbo {

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // The main window, the parent of the features' dialogs.
  virtual QWidget& DialogParent() = 0;
  virtual MessageAnswer ShowMessage(const QString& text, MessageStyle style) = 0;
  // Below 100 shows the progress and makes the window busy; 100 or more ends it.
  virtual void ShowProgress(int value, const QString& text) = 0;
  // While the progress shows: commands that would change the view wait.
  virtual bool Busy() const = 0;
  // A passing note in the status bar, gone after seconds.
  virtual void ShowStatusMessage(const QString& text, int seconds) = 0;
  virtual void ShowHelp(int topic) = 0;
  // The text input dialog: the confirmed text, or start when not confirmed.
  virtual QString AskText(const QString& prompt, const QString& start, bool password = false,
                          const QString& browseFilter = QString()) = 0;
  // The icon picker: the chosen key, or key itself when cancelled.
  virtual QString ChooseIcon(const QString& key) = 0;
  // The picture of an icon key as the views show it.
  virtual QIcon IconFor(const QString& key) = 0;
  // A panel of the status bar by key ("main", "worktype", "grid", "mci").
  virtual QLabel& StatusPanel(const QString& key) = 0;
  // The right side shows the folder's list (true) or the canvas.
  virtual void ShowFolderView(bool folder) = 0;
  virtual void UpdateTitle() = 0;
  virtual void UpdateStatusBar() = 0;
  // A file or folder below the program folder ("data\\root.dat").
  virtual QString ProgramFile(const QString& relative) const = 0;
};

}  // namespace orbo
