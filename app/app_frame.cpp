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
#include "app/main_window.h"
#include "app/storage_adapter.h"
#include "query/print/print_dialog.h"
#include "shell/help_window.h"
#include "shell/integrity_texts.h"
#include "shell/intro_dialog.h"
#include "shell/movable_export.h"
#include "shell/recent_files.h"
#include "shell/undo_commands.h"
#include "shell/window_texts.h"
#include "storage/database_commands.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

constexpr auto kLanguageLoadFailed = "Error in loading text file";
constexpr int kCodePageText = 963;
constexpr auto kRestartForLanguage =
    "Please, restart Corvane Database to activate this language in all dialogs.";

}  // namespace

void App::ConnectCommands() {
  MainCommands& c = window_->Commands();
  c.OnTriggered("mnuNew", "new", [this] { NewDatabaseCmd(db, *storage_); });
  c.OnTriggered("mnuLoad", "open", [this] { LoadDatabase(db, QString(), *storage_); });
  c.OnTriggered("mnuSave", "save", [this] { SaveDatabase(db, false, *storage_); });
  c.OnTriggered(c.Menu("mnuSaveAs"), [this] { SaveDatabaseAs(db, *storage_); });
  // The command itself asks what the close box asks: a close from inside
  // the command would be a second command, which the funnel refuses.
  c.OnTriggered(c.Menu("mnuQuit"), [this] { QueryUnload(); });
  c.OnTriggered(c.Menu("mnuAbout"), [this] { ShowIntro(IntroDialog::kAbout); });
  for (int i = 0; i < kRecentFileCount; ++i)
    c.OnTriggered(c.RecentItems()[i], [this, i] { OpenRecent(i); });
  c.OnTriggered("mnuPrint", "print", [this] { Printing().Open(); });
  c.OnTriggered("mnuHelp2", "help", [this] { ShowHelp(11); });
  c.OnTriggered(c.Tool(kEditBar, "help"), [this] { ShowHelp(13); });
  c.OnTriggered(c.Tool(kMainBar, "resetscale"), [this] { ResetScale(); });
  c.OnTriggered(c.Menu("mnuImOrbo"), [this] { ImportDatabase(db, *storage_); });
  c.OnTriggered(c.Menu("mnuExMove"), [this] {
    ExportMovable(db, *storage_, files_.Below(QStringLiteral("icons\\usericons")));
  });
  c.DisableUnconnected();
  c.Tool(kMainBar, "save")->setEnabled(db.Modified);
}

void App::ApplySettings() {
  MainCommands& c = window_->Commands();
  c.Menu("mnuListWidth")->setChecked(settings.WideList);
  for (int bar : {kMainBar, kEditBar}) {
    const QList<ToolbarButton>& buttons = c.Buttons(bar);
    for (int n = 1; n <= buttons.size() && n <= kToolbarSlots; ++n) {
      buttons[n - 1].action->setVisible(settings.ToolButtonVisible[bar][n]);
    }
  }
  const double tx = window_->TwipsPerPixelX();
  const double ty = window_->TwipsPerPixelY();
  if (settings.WindowState == 2) {
    window_->setWindowState(Qt::WindowMaximized);
  } else if (settings.WindowState == 1) {
    window_->setWindowState(Qt::WindowMinimized);
  } else {
    window_->setWindowState(Qt::WindowNoState);
    window_->setGeometry(
        static_cast<int>(settings.WindowLeft / tx), static_cast<int>(settings.WindowTop / ty),
        static_cast<int>(settings.WindowWidth / tx), static_cast<int>(settings.WindowHeight / ty));
  }
  Layout();
}

void App::Layout() {
  window_->LayoutMainWindow(db.SplitterPos, ListExtraWidth(), settings.ShowStatusBar);
}

void App::RecordPlacement() {
  Layout();
  if (state.CurForm == -1) return;
  const Qt::WindowStates windowState = window_->windowState();
  settings.WindowState = windowState & Qt::WindowMinimized   ? 1
                         : windowState & Qt::WindowMaximized ? 2
                                                             : 0;
  // The normal placement survives maximising, so restoring finds it again.
  const QRect placement =
      settings.WindowState == 0 ? window_->geometry() : window_->normalGeometry();
  const double tx = window_->TwipsPerPixelX();
  const double ty = window_->TwipsPerPixelY();
  settings.WindowLeft = static_cast<std::int32_t>(placement.x() * tx);
  settings.WindowTop = static_cast<std::int32_t>(placement.y() * ty);
  settings.WindowWidth = static_cast<std::int32_t>(placement.width() * tx);
  settings.WindowHeight = static_cast<std::int32_t>(placement.height() * ty);
}

void App::BuildRecentMenu() {
  const QList<QAction*> items = window_->Commands().RecentItems();
  bool any = false;
  for (int i = 0; i < kRecentFileCount; ++i) {
    const QString& path = settings.RecentFiles[i];
    items[i]->setVisible(path != kNoRecentFile);
    if (path == kNoRecentFile) continue;
    items[i]->setText(RecentMenuCaption(i, path));
    any = true;
  }
  window_->Commands().RecentSeparator()->setVisible(any);
}

void App::OpenRecent(int index) {
  QString path = RecentPathFromCaption(window_->Commands().RecentItems()[index]->text(), appPath_);
  if (path != db.DatabasePath) LoadDatabase(db, path, *storage_);
}

void App::LoadCurrentLang() {
  const QString folder = files_.Below(QStringLiteral("Texts"));
  std::optional<QString> current = files_.ReadFirstLine(folder + QStringLiteral("/current.dat"),
                                                        QStringLiteral("LoadCurrentLang"));
  if (!current) return;
  QMenu* menu = window_->Commands().Submenu("mnuLang");
  const QStringList names =
      QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
  for (int i = 0; i < names.size(); ++i) {
    const QString path = folder + u'/' + names[i];
    std::optional<QString> caption = files_.ReadFirstLine(path, QStringLiteral("LoadCurrentLang2"));
    if (!caption) return;
    QAction* item = menu->addAction(*caption);
    item->setObjectName(QStringLiteral("mnuLang2_%1").arg(i));
    item->setData(names[i]);
    item->setCheckable(true);
    window_->Commands().OnTriggered(item, [this, i] { ChooseLanguage(i); });
    if (names[i] != *current) continue;
    item->setChecked(true);
    currentLanguage_ = i;
    std::optional<QStringList> lines = files_.ReadLines(path, QStringLiteral("txtLoad"));
    if (!lines) return;
    LoadLanguage(*lines);
  }
  menu->menuAction()->setEnabled(!menu->isEmpty());
  window_->Commands().ApplyTexts(texts);
}

void App::LoadLanguage(const QStringList& lines) {
  bool loaded = texts.LoadLines(lines);
  // The texts of a language come with the code page its users' files use.
  const QString codePage = texts.Has(kCodePageText, 0) ? texts.Get(kCodePageText, 0).trimmed()
                                                       : QString::fromLatin1(kDefaultCodePage);
  try {
    storage_->SetLanguageCodePage(CodePage(codePage).Name());
  } catch (const StorageError&) {
    storage_->SetLanguageCodePage(QString::fromLatin1(kDefaultCodePage));
    loaded = false;
  }
  if (!loaded) ShowMessage(QLatin1String(kLanguageLoadFailed), kOkOnly);
}

void App::ChooseLanguage(int index) {
  const QList<QAction*> items = window_->Commands().Submenu("mnuLang")->actions();
  const bool alreadyChosen = index == currentLanguage_;
  if (!alreadyChosen) currentLanguage_ = index;
  for (int i = 0; i < items.size(); ++i) items[i]->setChecked(i == currentLanguage_);
  if (alreadyChosen) return;
  QAction* chosen = items[index];
  const QString folder = files_.Below(QStringLiteral("Texts"));
  files_.WriteText(folder + QStringLiteral("/current.dat"),
                   chosen->data().toString() + QStringLiteral("\r\n"),
                   QStringLiteral("mnuLang2_Click"));
  ShowMessage(QLatin1String(kRestartForLanguage), kOkOnly);
  std::optional<QStringList> lines =
      files_.ReadLines(folder + u'/' + chosen->data().toString(), QStringLiteral("txtLoad"));
  if (lines) LoadLanguage(*lines);
  window_->Commands().ApplyTexts(texts);
  undo_->Update();
  UpdateStatusBar();
}

void App::ShowHelp(int topic) {
  if (!help_) help_ = std::make_unique<HelpWindow>(window_.get());
  help_->ShowTopic(files_.Below(QStringLiteral("help\\index.html")), topic);
}

void App::ResetScale() {
  if (state.CurForm < 0 || state.CurForm >= db.FormCount) return;
  const FormDef& form = db.Forms[state.CurForm];
  const double tx = window_->TwipsPerPixelX();
  const double ty = window_->TwipsPerPixelY();
  const QWidget* central = window_->centralWidget();
  const int width = static_cast<int>((db.SplitterPos + 140 + ListExtraWidth() + form.Width) / tx) +
                    window_->width() - central->width();
  const int height = static_cast<int>(form.Height / ty) + window_->height() - central->height();
  window_->setWindowState(Qt::WindowNoState);
  window_->resize(width, height);
  if (const QScreen* screen = window_->screen()) {
    QRect frame = window_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
  }
}

QWidget& App::DialogParent() { return *window_; }

QIcon App::IconFor(const QString& key) { return window_->IconFor(key); }

QLabel& App::StatusPanel(const QString& key) { return window_->StatusPanel(key); }

bool App::Busy() const { return window_->Busy(); }

void App::ShowFolderView(bool folder) { window_->ShowFolderView(folder); }

void App::ShowStatusMessage(const QString& text, int seconds) {
  window_->statusBar()->showMessage(text, seconds * 1000);
}

void App::UpdateTitle() {
  window_->setWindowTitle(WindowTitle(db, state.EditMode, state.CurRecord, texts));
}

void App::UpdateStatusBar() {
  window_->StatusPanel("main").setText(StatusCountsText(db, texts));
  window_->StatusPanel("worktype").setText(texts.Get(10, state.EditMode + 3));
  QLabel& grid = window_->StatusPanel("grid");
  grid.setText(texts.Get(100, 3));
  grid.setVisible(state.EditMode == 1);
}

void App::FollowModified(bool modified) {
  UpdateTitle();
  window_->Commands().Tool(kMainBar, "save")->setEnabled(modified);
  UpdateStatusBar();
}

void App::StatusPanelClicked(const QString& key) {
  MainCommands& c = window_->Commands();
  QAction* command = key == u"grid" ? c.Menu("mnuGrid")
                     : key == u"worktype"
                         ? c.Menu(QStringLiteral("mnuMode2_%1").arg(1 - state.EditMode))
                         : nullptr;
  if (command && command->isEnabled()) command->trigger();
}

}  // namespace orbo
