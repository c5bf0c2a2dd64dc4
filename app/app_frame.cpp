// App: the main window's frame kept in step with the model and the settings:
// commands, title, status bar, recent files, languages, placement, mode.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "app/app.h"
#include "app/app_services.h"
#include "app/main_window.h"
#include "app/recovery_keeper.h"
#include "app/storage_adapter.h"
#include "query/print/print_dialog.h"
#include "query/settings/backups_dialog.h"
#include "query/table/folder_table.h"
#include "shell/file_commands.h"
#include "shell/help_pages.h"
#include "shell/integrity_texts.h"
#include "shell/intro_dialog.h"
#include "shell/missing_files_offer.h"
#include "shell/movable_export.h"
#include "shell/recent_files.h"
#include "shell/undo_commands.h"
#include "shell/window_texts.h"
#include "storage/storage_error.h"

namespace orbo {
void App::ConnectCommands() {
  MainCommands& c = parts_.window->Commands();
  // Closing leaves what a start without a file shows: a new database.
  for (const char* command : {"mnuNew", "mnuClose"})
    c.OnTriggered(c.Menu(command), [this] { NewDatabaseCmd(db, *storage_); });
  c.OnTriggered(c.Menu("mnuLoad"), [this] { OpenDatabase(*context_, *storage_, QString()); });
  for (QAction* save : {c.Menu("mnuSave"), c.Tool(kMainBar, "save")})
    c.OnTriggered(save, [this] { SaveDatabase(db, false, *storage_); });
  c.OnTriggered(c.Menu("mnuSaveAs"), [this] { SaveDatabaseAs(db, *storage_); });
  c.OnTriggered(c.Menu("mnuRestore"), [this] {
    const QString backup = parts_.backups->Choose();
    if (!backup.isEmpty() && RestoreBackup(db, backup, *storage_))
      OfferToFindMissingFiles(*context_);
  });
  // The command itself asks what the close box asks: a close from inside
  // the command would be a second command, which the funnel refuses.
  c.OnTriggered(c.Menu("mnuQuit"), [this] { QueryUnload(); });
  c.OnTriggered(c.Menu("mnuAbout"), [this] { ShowIntro(IntroDialog::kAbout); });
  for (int i = 0; i < kRecentFileCount; ++i)
    c.OnTriggered(c.RecentItems()[i], [this, i] {
      const QString path =
          RecentPathFromCaption(parts_.window->Commands().RecentItems()[i]->text(), appPath_);
      if (path != db.DatabasePath) OpenDatabase(*context_, *storage_, path);
    });
  c.OnTriggered(c.Menu("mnuPrint"), [this] { parts_.Printing().Open(); });
  c.OnTriggered(c.Menu("mnuHelp2"),
                [this] { parts_.services->ShowHelp(help_topics::kMainWindow); });
  c.OnTriggered(c.Tool(kEditBar, "help"),
                [this] { parts_.services->ShowHelp(help_topics::kDesign); });
  c.OnTriggered(c.Tool(kMainBar, "resetscale"), [this] { ResetScale(); });
  c.OnTriggered(c.Menu("mnuImOrbo"), [this] {
    if (ImportDatabase(db, *storage_)) OfferToFindMissingFiles(*context_);
  });
  c.OnTriggered(c.Menu("mnuExMove"), [this] {
    ExportMovable(db, *storage_, files_.Below(QStringLiteral("icons\\usericons")));
  });
  c.DisableUnconnected();
  c.Tool(kMainBar, "save")->setEnabled(db.Modified);
}

void App::ApplySettings() {
  MainCommands& c = parts_.window->Commands();
  c.Menu("mnuListWidth")->setChecked(settings.WideList);
  parts_.table->Show(settings.RecordTable);
  for (int bar : {kMainBar, kEditBar}) {
    const QList<ToolbarButton>& buttons = c.Buttons(bar);
    for (int n = 1; n <= buttons.size() && n <= kToolbarSlots; ++n) {
      buttons[n - 1].place->setVisible(settings.ToolButtonVisible[bar][n]);
    }
  }
  const double tx = parts_.window->TwipsPerPixelX();
  const double ty = parts_.window->TwipsPerPixelY();
  if (settings.WindowState == 2) {
    parts_.window->setWindowState(Qt::WindowMaximized);
  } else if (settings.WindowState == 1) {
    parts_.window->setWindowState(Qt::WindowMinimized);
  } else {
    parts_.window->setWindowState(Qt::WindowNoState);
    parts_.window->setGeometry(
        static_cast<int>(settings.WindowLeft / tx), static_cast<int>(settings.WindowTop / ty),
        static_cast<int>(settings.WindowWidth / tx), static_cast<int>(settings.WindowHeight / ty));
  }
  Layout();
}

void App::Layout() {
  parts_.window->LayoutMainWindow(db.SplitterPos, ListExtraWidth(), settings.ShowStatusBar);
}

void App::RecordPlacement() {
  Layout();
  if (state.CurForm == -1) return;
  const Qt::WindowStates windowState = parts_.window->windowState();
  settings.WindowState = windowState & Qt::WindowMinimized   ? 1
                         : windowState & Qt::WindowMaximized ? 2
                                                             : 0;
  // The normal placement survives maximising, so restoring finds it again.
  const QRect placement =
      settings.WindowState == 0 ? parts_.window->geometry() : parts_.window->normalGeometry();
  const double tx = parts_.window->TwipsPerPixelX();
  const double ty = parts_.window->TwipsPerPixelY();
  settings.WindowLeft = static_cast<std::int32_t>(placement.x() * tx);
  settings.WindowTop = static_cast<std::int32_t>(placement.y() * ty);
  settings.WindowWidth = static_cast<std::int32_t>(placement.width() * tx);
  settings.WindowHeight = static_cast<std::int32_t>(placement.height() * ty);
}

void App::BuildRecentMenu() {
  const QList<QAction*> items = parts_.window->Commands().RecentItems();
  bool any = false;
  for (int i = 0; i < kRecentFileCount; ++i) {
    const QString& path = settings.RecentFiles[i];
    items[i]->setVisible(path != kNoRecentFile);
    if (path == kNoRecentFile) continue;
    items[i]->setText(RecentMenuCaption(i, path));
    any = true;
  }
  parts_.window->Commands().RecentSeparator()->setVisible(any);
}

void App::ResetScale() {
  if (state.CurForm < 0 || state.CurForm >= db.FormCount) return;
  const FormDef& form = db.Forms[state.CurForm];
  const double tx = parts_.window->TwipsPerPixelX();
  const double ty = parts_.window->TwipsPerPixelY();
  const QWidget* central = parts_.window->centralWidget();
  const int width = static_cast<int>((db.SplitterPos + 140 + ListExtraWidth() + form.Width) / tx) +
                    parts_.window->width() - central->width();
  const int height =
      static_cast<int>(form.Height / ty) + parts_.window->height() - central->height();
  parts_.window->setWindowState(Qt::WindowNoState);
  parts_.window->resize(width, height);
  if (const QScreen* screen = parts_.window->screen()) {
    QRect frame = parts_.window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    parts_.window->move(frame.topLeft());
  }
}

void App::FollowModified(bool modified) {
  recovery_->FollowModified(modified);
  parts_.services->UpdateTitle();
  parts_.window->Commands().Tool(kMainBar, "save")->setEnabled(modified);
  parts_.services->UpdateStatusBar();
}

void App::StatusPanelClicked(const QString& key) {
  MainCommands& c = parts_.window->Commands();
  QAction* command =
      key == u"grid" ? c.Menu("mnuGrid")
      : key == u"worktype"
          ? c.Menu(QStringLiteral("mnuMode2_%1").arg(state.EditMode == WorkMode::Edit ? 0 : 1))
          : nullptr;
  if (command && command->isEnabled()) command->trigger();
}

}  // namespace orbo
