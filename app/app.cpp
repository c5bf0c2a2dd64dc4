#include "app/app.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/storage_adapter.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/form_designer.h"
#include "forms/designer/mode_switch.h"
#include "forms/designer/title_field_menu.h"
#include "forms/editor/record_editor.h"
#include "forms/icons/icon_picker_dialog.h"
#include "forms/properties/properties_dialog.h"
#include "query/access/access_exchange.h"
#include "query/find/finder.h"
#include "query/print/print_dialog.h"
#include "query/settings/database_properties_dialog.h"
#include "query/settings/options_dialog.h"
#include "query/sort/sorter.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "shell/handover.h"
#include "shell/help_window.h"
#include "shell/intro_dialog.h"
#include "shell/navigator.h"
#include "shell/recent_files.h"
#include "shell/settings_store.h"
#include "shell/undo_commands.h"
#include "storage/database_commands.h"
#include "storage/new_database.h"

namespace orbo {
namespace {

constexpr auto kHandOverFile = "data\\multiprog.dat";
constexpr int kAnotherInstanceText = 365;

}  // namespace

App::App(const QString& appPath, QString settingsPath, Dialogs& dialogs)
    : settingsPath_(std::move(settingsPath)),
      dialogs_(dialogs),
      files_(appPath, [&dialogs](const QString& message) { dialogs.Fatal(message); }),
      instanceLock_(files_.Below(QStringLiteral("data\\orbo.lock"))),
      funnel_(db, state) {
  appPath_ = files_.AppPath();
  storage_ = std::make_unique<StorageAdapter>(*this);
  instanceLock_.setStaleLockTime(0);
  // Checked after every command in every build: a check of the largest
  // tables takes well under a millisecond (bench/rules_bench).
  onBrokenInvariants = [](const QStringList& problems) {
    const QByteArray what = problems.join(QStringLiteral("; ")).toLocal8Bit();
#ifdef NDEBUG
    // The program goes on; a save refuses the model, naming what is wrong.
    qCritical("the model broke its rules: %s", what.constData());
#else
    qFatal("the model broke its rules: %s", what.constData());
#endif
  };
  funnel_.afterCommand = [this] {
    UpdateCommandStates();
    CheckInvariants();
  };
}

App::~App() = default;

bool App::Main(const QString& commandLine) {
  commandLine_ = commandLine;
  state.CurForm = -1;
  files_.WriteText(files_.Below(kHandOverFile), QStringLiteral("\r\n"), QStringLiteral("Main()"));

  window_ = std::make_unique<MainWindow>(files_.Below(QStringLiteral("icons")));
  window_->Commands().SetFunnel(&funnel_);
  undo_ = std::make_unique<UndoCommands>(window_->Commands(), funnel_, texts);
  context_ = std::make_unique<WindowContext>(WindowContext{
      db, state, settings, texts, dialogs_, funnel_, window_->Commands(), *this, events_});
  QObject::connect(&funnel_, &CommandFunnel::modifiedChanged, window_.get(),
                   [this](bool modified) { FollowModified(modified); });
  QObject::connect(&funnel_, &CommandFunnel::modelChanged, window_.get(),
                   [this](const ChangedParts&, bool undoOrRedo) {
                     if (undoOrRedo) storage_->ShowChangedTexts();
                   });
  intro_ = std::make_unique<IntroDialog>(window_.get());
  QObject::connect(intro_.get(), &IntroDialog::helpRequested, intro_.get(),
                   [this] { ShowHelp(10); });
  tree_ = std::make_unique<FolderTree>(
      window_->MainList(), [this](const QString& key) { return window_->IconFor(key); });
  canvas_ = std::make_unique<FormCanvas>(window_->CanvasPage(),
                                         files_.Below(QStringLiteral("icons")), *context_);
  MainWindow& window = *window_;
  navigator_ = std::make_unique<Navigator>(
      *context_, *tree_, *canvas_,
      NavigationViews{
          window.MainList(), window.ListView1(), window.RootText(),
          [&window](const char* name) -> QToolButton& { return window.RootButton(name); },
          [&window](bool folder) { window.ShowFolderView(folder); }});
  // In edit mode the tree stands for the database.
  QObject::connect(&events_, &WindowEvents::databaseChosen, window_.get(),
                   [this](bool showProperties) {
                     designer_->SelectElement(-2, 0);
                     designer_->ChooseTool(nullptr);
                     if (showProperties) designer_->ShowProperties();
                   });
  finder_ = std::make_unique<Finder>(*context_, *navigator_, *canvas_);
  access_ = std::make_unique<AccessExchange>(*context_, *navigator_, *tree_, *canvas_);
  editor_ = std::make_unique<RecordEditor>(*context_, *canvas_, *navigator_, *tree_);
  designer_ = std::make_unique<FormDesigner>(*context_, *canvas_, *tree_);
  modeSwitch_ = std::make_unique<ModeSwitch>(*context_, *canvas_, *designer_, *navigator_);
  QObject::connect(&events_, &WindowEvents::modeChanged, window_.get(),
                   [this](int editMode) { FollowMode(editMode); });
  designer_->onPropertiesAsked = [this] {
    if (!properties_)
      properties_ = std::make_unique<PropertiesDialog>(*context_, *navigator_,
                                                       [this] { designer_->Redraw(); });
    properties_->Run();
  };
  // In database mode the shown record's form, in edit mode the form designed.
  recordTitleMenu_ = std::make_unique<TitleFieldMenu>(
      *context_, *tree_, *window_->Commands().Submenu("mnuMainField"), [this] {
        return state.EditMode == 0 && state.CurRecord >= 0
                   ? int(db.Records[std::size_t(state.CurRecord)].Form)
                   : -1;
      });
  formTitleMenu_ = std::make_unique<TitleFieldMenu>(
      *context_, *tree_, *window_->Commands().Submenu("mnuTitleField"), [this] {
        return state.EditMode == 1 && state.CurForm >= 0 && state.CurForm < db.FormCount
                   ? state.CurForm
                   : -1;
      });
  sorter_ = std::make_unique<Sorter>(*context_, *navigator_, *tree_);
  options_ = std::make_unique<OptionsDialog>(*context_, files_, settingsPath_);
  databaseProperties_ = std::make_unique<DatabasePropertiesDialog>(*context_);
  QObject::connect(&events_, &WindowEvents::settingsChanged, window_.get(), [this] {
    ApplySettings();
    designer_->DrawGrid();
  });
  QObject::connect(&events_, &WindowEvents::recentFilesChanged, window_.get(),
                   [this] { BuildRecentMenu(); });
  QObject::connect(&window_->UpdateTimer(), &QTimer::timeout, window_.get(),
                   [this] { UpdateTick(); });
  window_->onCloseRequested = [this] {
    bool closing = false;
    funnel_.Run([&] { closing = QueryUnload(); });
    return closing;
  };
  window_->onResized = [this] { RecordPlacement(); };
  window_->onStatusPanelClicked = [this](const QString& key) { StatusPanelClicked(key); };
  window_->onSplitterMoved = [this](int treeWidth) {
    funnel_.Run([this, treeWidth] {
      // The divider's place is stored in the database: moving it is a step.
      funnel_.Change(texts.Get(kUndoTexts, 6), ChangeScope{}, [&] {
        db.SplitterPos = static_cast<std::int16_t>(treeWidth * window_->TwipsPerPixelX());
      });
      Layout();
    });
  };
  window_->UpdateTimer().start();
  UpdateTick();

  LoadCurrentLang();
  if (CheckDoubleRun(commandLine)) return false;
  LoadIni(files_, settingsPath_, &settings);
  ConnectCommands();
  ApplySettings();
  storage_->NewDatabase();
  ToDatabaseMode();
  BuildRecentMenu();
  UpdateStatusBar();
  if (!commandLine.isEmpty()) LoadDatabase(db, commandLine, *storage_);
  QApplication::processEvents();
  window_->show();
  UpdateTick();
  return true;
}

bool App::CheckDoubleRun(const QString& commandLine) {
  if (instanceLock_.tryLock(0)) return false;
  ShowMessage(texts.Get(kAnotherInstanceText, 0), kOkOnly);
  files_.WriteText(files_.Below(kHandOverFile), HandOverLine(commandLine) + QStringLiteral("\r\n"),
                   commandLine.isEmpty() ? QStringLiteral("CheckDoubleRun()-1")
                                         : QStringLiteral("CheckDoubleRun()-2"));
  return true;
}

void App::UpdateTick() {
  editor_->UpdateMediaStatus();

  if (window_->isVisible() && !startDialogDone_ && !funnel_.Busy()) {
    startDialogDone_ = true;
    if (commandLine_.isEmpty() && settings.ShowStartDialog) {
      funnel_.Run([this] { ShowIntro(IntroDialog::kStartChoices); });
    }
  }
  if (endRequested_) {
    ended_ = true;
    window_->UpdateTimer().stop();
    QCoreApplication::exit(0);
    return;
  }
  int frameHeight = window_->frameGeometry().height() - window_->geometry().height() +
                    window_->menuBar()->height();
  if (frameHeight != menuBarHeight_) {
    menuBarHeight_ = frameHeight;
    Layout();
  }
  TakeHandOver();
}

void App::TakeHandOver() {
  // A request that arrives while a command runs waits for a later tick.
  if (funnel_.Busy() || window_->Busy()) return;
  const QString path = files_.Below(kHandOverFile);
  std::optional<QString> line = files_.ReadFirstLine(path, QStringLiteral("multiprog"));
  if (!line || line->isEmpty()) return;
  HandOverRequest request = ParseHandOverLine(*line);
  if (request.kind != HandOverRequest::None) BringToFront();
  files_.WriteText(path, QStringLiteral("\r\n"), QStringLiteral("multiprog 2"));
  if (request.kind == HandOverRequest::Load)
    funnel_.Run([this, &request] { LoadDatabase(db, request.path, *storage_); });
}

void App::CheckInvariants() {
  if (!onBrokenInvariants) return;
  std::vector<ModelProblem> problems = FindModelProblems(db);
  for (const ModelProblem& problem : FindDisplayProblems(db, state)) problems.push_back(problem);
  if (!problems.empty()) onBrokenInvariants(DescribeProblems(problems));
}

void App::BringToFront() {
  window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

bool App::QueryUnload() {
  if (!AskSaveChanges(db, *storage_)) return false;
  QDir::setCurrent(appPath_);
  SaveIni(files_, settingsPath_, settings);
  tree_->Clear();
  for (QWidget* dialog :
       std::initializer_list<QWidget*>{intro_.get(), picker_.get(), help_.get(), printing_.get()}) {
    if (dialog) dialog->hide();
  }
  window_->hide();
  endRequested_ = true;
  return false;
}

void App::ShowIntro(int mode) {
  QStringList recent;
  for (const QString& path : settings.RecentFiles) {
    if (path != kNoRecentFile) recent << path;
  }
  intro_->Prepare(static_cast<IntroDialog::Mode>(mode), texts, settings.StartCount, recent,
                  settings.ShowStartDialog);
  bool accepted = dialogs_.RunModal(*intro_) == QDialog::Accepted;
  if (mode != IntroDialog::kStartChoices) return;
  settings.ShowStartDialog = intro_->ShowAtStart();
  if (!accepted) return;
  switch (intro_->ChosenOption()) {
    case IntroDialog::kNew:
      break;
    case IntroDialog::kExample:
      LoadDatabase(db, files_.Below(QStringLiteral("data\\examples\\ex1.2db")), *storage_);
      break;
    case IntroDialog::kOpen: {
      int line = intro_->ChosenLine();
      LoadDatabase(db, line == 0 ? QString() : recent.value(line - 1), *storage_);
      break;
    }
  }
}

StorageUi& App::Storage() { return *storage_; }

PrintDialog& App::Printing() {
  if (!printing_) printing_ = std::make_unique<PrintDialog>(*context_);
  return *printing_;
}

MessageAnswer App::ShowMessage(const QString& text, int style) {
  return dialogs_.ShowMessage(window_.get(), text, style);
}

}  // namespace orbo
