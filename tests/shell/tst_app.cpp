// The program's start, its start dialog, hand-over, languages and shutdown,
// with the real main window offscreen and scripted dialogs.
#include <QAction>
#include <QCheckBox>
#include <QStatusBar>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "shell/app.h"
#include "shell/folder_tree_widget.h"
#include "shell/intro_dialog.h"
#include "shell/main_window.h"
#include "shell/settings_file.h"
#include "test_install.h"

using namespace orbo;

namespace {

// Declines the start dialog unless a test says otherwise.
struct Started {
  TestInstall install;
  FakeDialogs dialogs;
  std::unique_ptr<App> app;

  bool Start(const QString& commandLine = QString()) {
    app = std::make_unique<App>(install.Path(), install.SettingsPath(), dialogs);
    return app->Main(commandLine);
  }
  QAction* Menu(const char* name) { return app->Window().Commands().Menu(name); }
};

}  // namespace

class AppTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartTakesTheRootCopy() {
    Started s;
    QVERIFY(!QFile::exists(s.install.SettingsPath()));
    QVERIFY(s.Start());
    QVERIFY(s.dialogs.fatal.isEmpty());
    QVERIFY(QFile::exists(s.install.SettingsPath()));
    QCOMPARE(s.app->settings.StartCount, 1);
    QCOMPARE(s.app->settings.RecentFiles[0], s.install.Path("data/examples/ex1.2db"));
    QVERIFY(s.app->Window().isVisible());
    QCOMPARE(s.app->Window().windowTitle(),
             QString("noname - Corvane Database v1.18 - [Welcome to Corvane Database!]"));
    QCOMPARE(s.app->Window().StatusPanel("main").text(), QString("Records: 1          Folders: 1"));
    QCOMPARE(s.dialogs.modalCount, 1);  // the start dialog, once
    s.app->UpdateTick();
    QCOMPARE(s.dialogs.modalCount, 1);
    QCOMPARE(s.install.FirstLine("data/multiprog.dat"), QString());
  }

  void laterStartWithADatabase() {
    Started s;
    AppSettings previous;
    previous.StartCount = 6;
    previous.ShowStatusBar = false;
    s.install.Write("config/orbo118.ini", SettingsToText(previous).toUtf8());
    const QString example = s.install.Path("data/examples/ex1.2db");
    QVERIFY(s.Start(example));
    QCOMPARE(s.app->settings.StartCount, 7);
    QCOMPARE(s.dialogs.modalCount, 0);  // a command line skips the start dialog
    QVERIFY(s.dialogs.messages.isEmpty());
    QCOMPARE(s.app->db.DatabasePath, example);
    QVERIFY(s.app->Window().windowTitle().startsWith("ex1.2db - Corvane Database v1.18"));
    QVERIFY(!s.app->Window().statusBar()->isVisible());
    QAction* recent = s.app->Window().Commands().RecentItems()[0];
    QVERIFY(recent->isVisible());
    QCOMPARE(recent->text(), "&1 " + example);
  }

  void startDialogChoices() {
    Started s;
    s.dialogs.onModal = [](QDialog& dialog) {
      auto* intro = static_cast<IntroDialog*>(&dialog);
      // The first starts offer the example; the list stays off.
      if (!intro->findChild<QRadioButton*>("ExOpt")->isChecked()) return 0;
      if (intro->findChild<QListWidget*>("FileList")->isEnabled()) return 0;
      intro->findChild<QCheckBox*>("Check1")->setChecked(false);
      intro->findChild<QPushButton*>("OkButt")->click();
      return intro->result();
    };
    QVERIFY(s.Start());
    QCOMPARE(s.app->db.DatabasePath, s.install.Path("data/examples/ex1.2db"));
    QVERIFY(!s.app->settings.ShowStartDialog);
  }

  void openOptionFromTheFifthStart() {
    IntroDialog intro(nullptr);
    LanguageTexts texts;
    texts.LoadLines({"English", "00360  Open another file..."});
    intro.Prepare(IntroDialog::kStartChoices, texts, 5, {"/a.2db", "/b.2db"}, true);
    auto* list = intro.findChild<QListWidget*>("FileList");
    QVERIFY(intro.findChild<QRadioButton*>("OpenOpt")->isChecked());
    QVERIFY(list->isEnabled());
    QCOMPARE(list->count(), 3);
    QCOMPARE(intro.ChosenLine(), 1);
    intro.findChild<QRadioButton*>("NewOpt")->setChecked(true);
    QVERIFY(!list->isEnabled());
    QCOMPARE(intro.ChosenLine(), 0);
    QCOMPARE(intro.ChosenOption(), IntroDialog::kNew);

    intro.Prepare(IntroDialog::kStartChoices, texts, 5, {}, true);
    QCOMPARE(intro.ChosenLine(), 0);  // only "open another file"
  }

  void handOverRequests() {
    Started s;
    QVERIFY(s.Start());
    s.install.Write("data/multiprog.dat", "UPDAxyz\r\n");
    s.app->UpdateTick();
    QCOMPARE(s.install.FirstLine("data/multiprog.dat"), QString());
    const QString example = s.install.Path("data/examples/ex1.2db");
    s.install.Write("data/multiprog.dat", ("LOAD" + example + "\r\n").toUtf8());
    s.app->UpdateTick();
    QCOMPARE(s.app->db.DatabasePath, example);
    QCOMPARE(s.install.FirstLine("data/multiprog.dat"), QString());
  }

  // A request that arrives while a command runs (its question is open, a
  // save shows progress) waits for the tick after it; a command started
  // meanwhile is ignored.
  void handOverWaitsForTheRunningCommand() {
    Started s;
    QVERIFY(s.Start());
    App& app = *s.app;
    QAction* addFolder = app.Window().Commands().Tool(kMainBar, "addroot");
    addFolder->trigger();
    for (int i = 0; i < 3; ++i) app.Window().Commands().Tool(kMainBar, "addrecord")->trigger();
    app.Window().Commands().Tool(kMainBar, "tofolder")->trigger();
    const QString example = s.install.Path("data/examples/ex1.2db");
    const QByteArray request = ("LOAD" + example + "\r\n").toUtf8();
    const auto tickAndClick = [&] {
      app.UpdateTick();
      addFolder->trigger();
    };

    s.install.Write("data/multiprog.dat", request);
    s.dialogs.whileAsking = tickAndClick;  // the question before deleting the folder
    app.Window().Commands().Tool(kMainBar, "del")->trigger();
    QCOMPARE(app.db.FolderCount, 1);
    QCOMPARE(app.db.DatabasePath, QString("noname"));
    QVERIFY(app.Window().Commands().Tool(kMainBar, "save")->isEnabled());

    s.dialogs.savePath = s.install.Path("saved.2db");
    QTimer::singleShot(0, tickAndClick);  // runs when the save's progress repaints
    app.Window().Commands().Menu("mnuSave")->trigger();
    QCOMPARE(app.db.DatabasePath, s.install.Path("saved.2db"));
    QCOMPARE(app.db.FolderCount, 1);
    QCOMPARE(s.install.FirstLine("data/multiprog.dat"), QString::fromUtf8(request).trimmed());

    app.UpdateTick();
    QCOMPARE(app.db.DatabasePath, example);
  }

  void closingWithUnsavedChanges() {
    Started s;
    QVERIFY(s.Start());
    s.app->SetModified(true);
    s.app->db.Records[0].TextValue[0] = "Changed";
    s.dialogs.answers = {kAnswerCancel};
    s.app->Window().close();
    QVERIFY(s.app->Window().isVisible());
    QCOMPARE(s.app->db.Records[0].TextValue[0], QString("Changed"));
    QVERIFY(s.app->db.Modified);
    s.app->UpdateTick();
    QVERIFY(!s.app->Ended());

    s.dialogs.answers = {kAnswerNo};
    s.app->settings.GridStepX = 77;
    s.app->Window().close();
    QVERIFY(!s.app->Window().isVisible());
    QVERIFY(!s.app->Ended());
    s.app->UpdateTick();
    QVERIFY(s.app->Ended());
    AppSettings saved;
    QFile ini(s.install.SettingsPath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(SettingsFromText(QString::fromUtf8(ini.readAll()), &saved));
    QCOMPARE(saved.GridStepX, 77);
    QCOMPARE(s.dialogs.messages.size(), 2);  // the save question, twice
  }

  void savingMarksAndTitle() {
    Started s;
    QVERIFY(s.Start());
    QAction* save = s.app->Window().Commands().Tool(kMainBar, "save");
    QVERIFY(!save->isEnabled());
    s.app->SetModified(true);
    QVERIFY(save->isEnabled());
    s.dialogs.savePath = s.install.Path("saved");
    save->trigger();
    QCOMPARE(s.app->db.DatabasePath, s.install.Path("saved.2db"));
    QVERIFY(!save->isEnabled());
    QVERIFY(QFile::exists(s.install.Path("saved.2db")));
    // A load that replaces a modified database leaves nothing to save.
    s.app->SetModified(true);
    s.dialogs.answers = {kAnswerNo};
    s.dialogs.openPath = s.install.Path("data/examples/ex1.2db");
    s.Menu("mnuLoad")->trigger();
    QCOMPARE(s.app->db.DatabasePath, s.dialogs.openPath);
    QVERIFY(!save->isEnabled());
  }

  void languageMenu() {
    Started s;
    QVERIFY(s.Start());
    QMenu* languages = s.app->Window().Commands().Submenu("mnuLang");
    QCOMPARE(languages->actions().size(), 2);
    QCOMPARE(languages->actions()[0]->text(), QString("English"));
    QVERIFY(languages->actions()[0]->isChecked());
    const QString fileMenu = s.app->Window().Commands().Submenu("mnuFile")->title();

    languages->actions()[0]->trigger();
    QVERIFY(s.dialogs.messages.isEmpty());
    QVERIFY(languages->actions()[0]->isChecked());

    languages->actions()[1]->trigger();
    QCOMPARE(s.install.FirstLine("Texts/current.dat"), QString("russian.txt"));
    QCOMPARE(s.dialogs.messages,
             QStringList{"Please, restart Corvane Database to activate this language in all dialogs."});
    QVERIFY(languages->actions()[1]->isChecked());
    QVERIFY(!languages->actions()[0]->isChecked());
    QVERIFY(s.app->Window().Commands().Submenu("mnuFile")->title() != fileMenu);
  }

  // Russian texts come with the code page their users' files are written
  // in: a Cyrillic name saves and loads back unchanged.
  void cyrillicSavesWithRussianTexts() {
    Started s;
    s.install.Write("Texts/current.dat", "russian.txt\r\n");
    QVERIFY(s.Start());
    App& app = *s.app;
    app.Window().Commands().Tool(kMainBar, "tofolder")->trigger();
    const QString name = QString::fromUtf8("\u041f\u0430\u043f\u043a\u0430");
    emit app.Window().RootText().textEdited(name);
    s.dialogs.savePath = s.install.Path("ru.2db");
    s.Menu("mnuSave")->trigger();
    QVERIFY(!app.db.Modified);
    QVERIFY(s.dialogs.messages.isEmpty());
    emit app.Window().RootText().textEdited("other");
    s.dialogs.answers = {kAnswerNo};
    s.dialogs.openPath = s.install.Path("ru.2db");
    s.Menu("mnuLoad")->trigger();
    QCOMPARE(app.db.Folders[0].Name, name);
  }

  void unfinishedCommandsAreDisabled() {
    Started s;
    QVERIFY(s.Start());
    QVERIFY(s.Menu("mnuNew")->isEnabled());
    QVERIFY(s.Menu("mnuSaveAs")->isEnabled());
    QVERIFY(!s.Menu("mnuFind")->isEnabled());
    QVERIFY(!s.app->Window().Commands().Tool(kMainBar, "print")->isEnabled());
    for (const ToolbarButton& button : s.app->Window().Commands().Buttons(kMainBar)) {
      if (!button.action->isSeparator()) QVERIFY2(!button.action->toolTip().isEmpty(), qPrintable(button.key));
    }
  }

  void windowPlacementIsRecorded() {
    Started s;
    QVERIFY(s.Start());
    MainWindow& window = s.app->Window();
    window.setGeometry(40, 50, 800, 600);
    QCOMPARE(s.app->settings.WindowState, 0);
    QCOMPARE(s.app->settings.WindowWidth, static_cast<int>(800 * window.TwipsPerPixelX()));
    QCOMPARE(s.app->settings.WindowHeight, static_cast<int>(600 * window.TwipsPerPixelY()));
    QCOMPARE(s.app->settings.WindowLeft, static_cast<int>(40 * window.TwipsPerPixelX()));
  }

  void progressMakesTheWindowBusy() {
    Started s;
    QVERIFY(s.Start());
    MainWindow& window = s.app->Window();
    s.app->ShowProgress(30, QString());
    QVERIFY(window.Busy());
    QVERIFY(!window.MainList().isEnabled());
    QVERIFY(!window.Commands().Bar(kMainBar)->isEnabled());
    QVERIFY(!window.Commands().Submenu("mnuFile")->menuAction()->isEnabled());
    QCOMPARE(window.findChild<QLabel*>("PleaseWaitText")->text(), s.app->texts.Get(815, 0));
    s.app->ShowProgress(200, QString());
    QVERIFY(!window.Busy());
    QVERIFY(window.MainList().isEnabled());
    QVERIFY(window.Commands().Submenu("mnuMode")->menuAction()->isEnabled());
  }

  void secondProcessHandsOver() {
    TestInstall install;
    for (const char* file : {"orbo", "liborboinout.so"}) {
      install.Copy(QStringLiteral(ORBO_BIN_DIR "/") + file, file);
    }
    QFile::setPermissions(install.Path("orbo"), QFile::ReadOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("windir", install.Path("config"));
    environment.insert("ORBO_MESSAGES", "auto");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    const QString example = install.Path("data/examples/ex1.2db");

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(install.Path("orbo"), {example});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(install.Path("data/orbo.lock")), 10000);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(install.Path("orbo"), {install.Path("no-such.2db")});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardError().contains("message: "));
    // The running one takes the request within a tick and tries the file.
    QTRY_COMPARE_WITH_TIMEOUT(install.FirstLine("data/multiprog.dat"), QString(), 5000);
    QByteArray firstSaid;
    QTRY_VERIFY_WITH_TIMEOUT((firstSaid += first.readAllStandardError()).contains("message: "), 5000);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
  }
};

QTEST_MAIN(AppTest)
#include "tst_app.moc"
