#include "app/app.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/app_services.h"
#include "app/app_texts.h"
#include "app/language_menu.h"
#include "app/main_window.h"
#include "app/recovery_keeper.h"
#include "app/storage_adapter.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/form_designer.h"
#include "forms/designer/mode_switch.h"
#include "forms/designer/title_field_menu.h"
#include "forms/editor/record_editor.h"
#include "forms/properties/properties_dialog.h"
#include "query/access/access_exchange.h"
#include "query/csv/csv_exchange.h"
#include "query/csv/csv_problem_text.h"
#include "query/csv/csv_source.h"
#include "query/find/finder.h"
#include "query/print/print_dialog.h"
#include "query/settings/backups_dialog.h"
#include "query/settings/database_properties_dialog.h"
#include "query/settings/options_dialog.h"
#include "query/sort/sorter.h"
#include "query/table/folder_table.h"
#include "shell/file_commands.h"
#include "shell/folder_tree_model.h"
#include "shell/folder_tree_view.h"
#include "shell/handover.h"
#include "shell/help_pages.h"
#include "shell/intro_dialog.h"
#include "shell/missing_files_offer.h"
#include "shell/navigator.h"
#include "shell/quick_filter_box.h"
#include "shell/recent_files.h"
#include "shell/settings_store.h"
#include "shell/undo_commands.h"
#include "storage/file_paths.h"
#include "storage/new_database.h"
#include "storage/secret_text.h"

namespace orbo {
namespace {

constexpr auto kHandOverFile = "data\\multiprog.dat";

}  // namespace

App::App(const QString& appPath, QString settingsPath, Dialogs& dialogs,
         const QString& recoveryFolder)
    : settingsPath_(std::move(settingsPath)),
      dialogs_(dialogs),
      files_(appPath, [&dialogs](const QString& message) { dialogs.Fatal(message); }),
      funnel_(db, state),
      instanceLock_(files_.Below(QStringLiteral("data\\orbo.lock"))) {
  appPath_ = files_.AppPath();
  // A failure waits for the write at the exit.
  storage_ = std::make_unique<StorageAdapter>(
      *this, [this] { TrySaveIni(files_, settingsPath_, settings); });
  recovery_ = std::make_unique<RecoveryKeeper>(
      db,
      RecoveryFolder(recoveryFolder.isEmpty()
                         ? QFileInfo(settingsPath_).dir().filePath(QStringLiteral("orbo-recovery"))
                         : recoveryFolder,
                     QCoreApplication::applicationPid()),
      [this] { return settings.RecoveryMinutes; });
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
#ifndef NDEBUG
  funnel_.onScopeBreach = [](const QString& breach) {
    qFatal("a change reached outside its undo scope: %s", breach.toLocal8Bit().constData());
  };
#endif
  funnel_.afterCommand = [this] {
    UpdateCommandStates();
    CheckInvariants();
  };
}

App::~App() = default;

bool App::Main(const QString& given) {
  // Made absolute at once, in the folder the user started from: kept as
  // given, it would name another file once the working folder changed (a
  // recovery note, the running instance this line is handed to).
  const QString commandLine = given.isEmpty() ? given : CanonicalFilePath(given);
  commandLine_ = commandLine;
  state.CurForm = -1;
  files_.WriteText(files_.Below(kHandOverFile), QStringLiteral("\r\n"), QStringLiteral("Main()"));

  parts_.window = std::make_unique<MainWindow>(files_.Below(QStringLiteral("icons")));
  parts_.services =
      std::make_unique<AppServices>(*parts_.window, dialogs_, texts, files_, db, state);
  parts_.window->Commands().SetFunnel(&funnel_);
  undo_ = std::make_unique<UndoCommands>(parts_.window->Commands(), funnel_, texts);
  context_ = std::make_unique<WindowContext>(WindowContext{db, state, settings, texts, dialogs_,
                                                           funnel_, parts_.window->Commands(),
                                                           *parts_.services, events_});
  parts_.context = context_.get();
  QObject::connect(&funnel_, &CommandFunnel::modifiedChanged, parts_.window.get(),
                   [this](bool modified) { FollowModified(modified); });
  // The counts and the title follow every change.
  QObject::connect(&funnel_, &CommandFunnel::modelChanged, parts_.window.get(), [this] {
    parts_.services->UpdateStatusBar();
    parts_.services->UpdateTitle();
  });
  parts_.intro = std::make_unique<IntroDialog>(parts_.window.get());
  QObject::connect(parts_.intro.get(), &IntroDialog::helpRequested, parts_.intro.get(),
                   [this] { parts_.services->ShowHelp(help_topics::kStart); });
  parts_.tree = std::make_unique<FolderTreeModel>(
      db, [this](const QString& key) { return parts_.window->IconFor(key); });
  parts_.canvas = std::make_unique<FormCanvas>(parts_.window->CanvasPage(),
                                               files_.Below(QStringLiteral("icons")), *context_);
  MainWindow& window = *parts_.window;
  parts_.navigator = std::make_unique<Navigator>(
      *context_, *parts_.tree, *parts_.canvas,
      NavigationViews{
          window.MainList(), window.ContentsList(), window.RootText(),
          [&window](const char* name) -> QToolButton& { return window.RootButton(name); },
          [&window](bool folder) { window.ShowFolderView(folder); }});
  parts_.quickFilter = std::make_unique<QuickFilterBox>(*context_, *parts_.navigator);
  // In edit mode the tree stands for the database.
  QObject::connect(&events_, &WindowEvents::databaseChosen, parts_.window.get(),
                   [this](bool showProperties) {
                     parts_.designer->SelectElement(kSelectDatabase, 0);
                     parts_.designer->ChooseTool(nullptr);
                     if (showProperties) parts_.designer->ShowProperties();
                   });
  parts_.finder = std::make_unique<Finder>(*context_, *parts_.navigator, *parts_.canvas);
  parts_.access = std::make_unique<AccessExchange>(*context_, *parts_.navigator, *parts_.canvas);
  // The import reads CSV files too, in the open database's code page when
  // they are in no Unicode form.
  parts_.access->SetEngine(
      MakeExchangeEngine([this] { return db.CodePageName; },
                         [this](const CsvProblem& problem, const QString& path) {
                           return CsvProblemText(problem, path, texts);
                         }));
  parts_.csv = std::make_unique<CsvExchange>(*context_);
  parts_.editor = std::make_unique<RecordEditor>(*context_, *parts_.canvas, *parts_.navigator);
  parts_.designer = std::make_unique<FormDesigner>(*context_, *parts_.canvas);
  parts_.modeSwitch =
      std::make_unique<ModeSwitch>(*context_, *parts_.canvas, *parts_.designer, *parts_.navigator);
  QObject::connect(&events_, &WindowEvents::modeChanged, parts_.window.get(),
                   [this](WorkMode mode) { FollowMode(mode); });
  parts_.designer->onPropertiesAsked = [this] {
    if (!parts_.properties)
      parts_.properties =
          std::make_unique<PropertiesDialog>(*context_, [this] { parts_.designer->Redraw(); });
    parts_.properties->Run();
  };
  // In database mode the shown record's form, in edit mode the form designed.
  parts_.recordTitleMenu = std::make_unique<TitleFieldMenu>(
      *context_, *parts_.window->Commands().Submenu("mnuMainField"), [this] {
        return state.EditMode == WorkMode::Database && state.CurRecord >= 0
                   ? int(db.Records[std::size_t(state.CurRecord)].Form)
                   : -1;
      });
  parts_.formTitleMenu = std::make_unique<TitleFieldMenu>(
      *context_, *parts_.window->Commands().Submenu("mnuTitleField"), [this] {
        return state.EditMode == WorkMode::Edit && state.CurForm >= 0 &&
                       state.CurForm < db.FormCount
                   ? state.CurForm
                   : -1;
      });
  parts_.sorter = std::make_unique<Sorter>(*context_, *parts_.navigator);
  parts_.table = std::make_unique<FolderTable>(
      *context_, *parts_.navigator, *parts_.sorter,
      FolderTableViews{window.RecordTable(), window.TableForms(), window.RootButton("RootTable"),
                       window.TableSelection(),
                       [&window](bool table) { window.ShowRecordTable(table); }});
  parts_.options = std::make_unique<OptionsDialog>(*context_, files_, settingsPath_);
  parts_.databaseProperties = std::make_unique<DatabasePropertiesDialog>(*context_);
  QObject::connect(parts_.databaseProperties.get(), &DatabasePropertiesDialog::ReadAgainRequested,
                   parts_.window.get(),
                   [this](const QString& codePage) { ReadAgainAs(db, codePage, *storage_); });
  parts_.backups = std::make_unique<BackupsDialog>(*context_);
  QObject::connect(&events_, &WindowEvents::settingsChanged, parts_.window.get(), [this] {
    ApplySettings();
    parts_.designer->DrawGrid();
    // A changed interval applies now; copies switched off leave none behind.
    recovery_->FollowModified(db.Modified);
  });
  QObject::connect(&events_, &WindowEvents::recentFilesChanged, parts_.window.get(),
                   [this] { BuildRecentMenu(); });
  QObject::connect(&parts_.window->UpdateTimer(), &QTimer::timeout, parts_.window.get(),
                   [this] { UpdateTick(); });
  parts_.window->onCloseRequested = [this] {
    bool closing = false;
    funnel_.Run([&] { closing = QueryUnload(); });
    return closing;
  };
  parts_.window->onResized = [this] { RecordPlacement(); };
  parts_.window->onStatusPanelClicked = [this](const QString& key) { StatusPanelClicked(key); };
  parts_.window->onSplitterMoved = [this](int treeWidth) {
    funnel_.Run([this, treeWidth] {
      // The divider's place is stored in the database: moving it is a step.
      funnel_.Change(texts.Get(app_texts::kMoveDividerStep), ChangeScope{}, [&] {
        db.SplitterPos = static_cast<std::int16_t>(treeWidth * parts_.window->TwipsPerPixelX());
      });
      Layout();
    });
  };
  parts_.window->UpdateTimer().start();
  UpdateTick();

  languages_ = std::make_unique<LanguageMenu>(parts_.window->Commands(), files_, texts, *storage_,
                                              *parts_.services, [this] {
                                                undo_->Update();
                                                parts_.quickFilter->ApplyTexts();
                                                parts_.table->ApplyTexts();
                                                parts_.services->UpdateStatusBar();
                                                parts_.services->UpdateTitle();
                                              });
  // The undo items get their tooltips and the quick filter and the table,
  // made before there were texts, their words with the menus'.
  languages_->Load();
  if (CheckDoubleRun(commandLine)) return false;
  LoadIni(files_, settingsPath_, &settings);
  ConnectCommands();
  ApplySettings();
  storage_->NewDatabase();
  parts_.modeSwitch->ToDatabaseMode();
  BuildRecentMenu();
  parts_.services->UpdateStatusBar();
  const bool loaded = !commandLine.isEmpty() && LoadDatabase(db, commandLine, *storage_);
  QApplication::processEvents();
  parts_.window->show();
  // Asked above the window, once it shows what the question is about.
  if (loaded) funnel_.Run([this] { OfferToFindMissingFiles(*context_); });
  UpdateTick();
  return true;
}

bool App::CheckDoubleRun(const QString& commandLine) {
  if (instanceLock_.tryLock(0)) return false;
  parts_.services->ShowMessage(texts.Get(app_texts::kAnotherInstanceRunning), kOkOnly);
  files_.WriteText(files_.Below(kHandOverFile), HandOverLine(commandLine) + QStringLiteral("\r\n"),
                   commandLine.isEmpty() ? QStringLiteral("CheckDoubleRun()-1")
                                         : QStringLiteral("CheckDoubleRun()-2"));
  return true;
}

void App::UpdateTick() {
  parts_.editor->UpdateMediaStatus();

  if (parts_.window->isVisible() && !startDialogDone_ && !funnel_.Busy()) {
    startDialogDone_ = true;
    bool recovered = false;
    funnel_.Run([this, &recovered] {
      recovered = recovery_->OfferLeftCopies(db, *storage_);
      // Only now the copy stands for its database, whose folder the
      // records' file names start from.
      if (recovered) OfferToFindMissingFiles(*context_);
    });
    if (!recovered && commandLine_.isEmpty() && settings.ShowStartDialog) {
      funnel_.Run([this] { ShowIntro(IntroDialog::kStartChoices); });
    }
  }
  if (endRequested_) {
    ended_ = true;
    parts_.window->UpdateTimer().stop();
    QCoreApplication::exit(0);
    return;
  }
  int frameHeight = parts_.window->frameGeometry().height() - parts_.window->geometry().height() +
                    parts_.window->menuBar()->height();
  if (frameHeight != menuBarHeight_) {
    menuBarHeight_ = frameHeight;
    Layout();
  }
  TakeHandOver();
}

void App::TakeHandOver() {
  // A request that arrives while a command runs waits for a later tick.
  if (funnel_.Busy() || parts_.window->Busy()) return;
  const QString path = files_.Below(kHandOverFile);
  std::optional<QString> line = files_.ReadFirstLine(path, QStringLiteral("multiprog"));
  if (!line || line->isEmpty()) return;
  HandOverRequest request = ParseHandOverLine(*line);
  if (request.kind != HandOverRequest::None) BringToFront();
  files_.WriteText(path, QStringLiteral("\r\n"), QStringLiteral("multiprog 2"));
  if (request.kind == HandOverRequest::Load)
    funnel_.Run([this, &request] { OpenDatabase(*context_, *storage_, request.path); });
}

void App::CheckInvariants() {
  if (!onBrokenInvariants) return;
  std::vector<ModelProblem> problems = FindModelProblems(db);
  for (const ModelProblem& problem : FindDisplayProblems(db, state)) problems.push_back(problem);
  if (!problems.empty()) onBrokenInvariants(DescribeProblems(problems));
}

void App::BringToFront() {
  parts_.window->setWindowState(parts_.window->windowState() & ~Qt::WindowMinimized);
  parts_.window->show();
  parts_.window->raise();
  parts_.window->activateWindow();
}

bool App::QueryUnload() {
  if (!AskSaveChanges(db, *storage_)) return false;
  // Closed as the user chose: no changes are left to recover.
  recovery_->EndCleanly();
  // Nor any password: the steps that held one, and the model, wipe it.
  funnel_.DropSteps();
  WipePassword(db);
  QDir::setCurrent(appPath_);
  SaveIni(files_, settingsPath_, settings);
  parts_.tree->Clear();
  for (QWidget* dialog :
       std::initializer_list<QWidget*>{parts_.intro.get(), parts_.printing.get()}) {
    if (dialog) dialog->hide();
  }
  parts_.services->HideDialogs();
  parts_.window->hide();
  endRequested_ = true;
  return false;
}

void App::ShowIntro(int mode) {
  QStringList recent;
  for (const QString& path : settings.RecentFiles) {
    if (path != kNoRecentFile) recent << path;
  }
  parts_.intro->Prepare(static_cast<IntroDialog::Mode>(mode), texts, settings.StartCount, recent,
                        settings.ShowStartDialog);
  bool accepted = dialogs_.RunModal(*parts_.intro) == QDialog::Accepted;
  if (mode != IntroDialog::kStartChoices) return;
  settings.ShowStartDialog = parts_.intro->ShowAtStart();
  if (!accepted) return;
  switch (parts_.intro->ChosenOption()) {
    case IntroDialog::kNew:
      break;
    case IntroDialog::kExample:
      OpenDatabase(*context_, *storage_, files_.Below(QStringLiteral("data\\examples\\ex1.2db")));
      break;
    case IntroDialog::kOpen: {
      int line = parts_.intro->ChosenLine();
      OpenDatabase(*context_, *storage_, line == 0 ? QString() : recent.value(line - 1));
      break;
    }
  }
}

FileCommandsUi& App::Storage() { return *storage_; }

WindowServices& App::Services() { return *parts_.services; }

}  // namespace orbo
