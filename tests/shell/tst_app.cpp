// The program's start, its start dialog, hand-over, languages and shutdown,
// with the real main window offscreen and scripted dialogs.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include "app/app.h"
#include "app/main_window.h"
#include "app/recovery_keeper.h"
#include "forms/designer/mode_switch.h"
#include "shell/folder_tree_widget.h"
#include "shell/intro_dialog.h"
#include "shell/settings_file.h"
#include "storage/backups.h"
#include "storage/database_file.h"
#include "storage/stored_content.h"
#include "test_install.h"

using namespace orbo;

namespace {

// Declines the start dialog unless a test says otherwise.
struct Started {
  TestInstall install;
  FakeDialogs dialogs;
  std::unique_ptr<App> app;
  const QString example = install.Path("data/examples/ex1.2db");

  bool Start(const QString& commandLine = QString()) {
    app = std::make_unique<App>(install.Path(), install.SettingsPath(), dialogs);
    return app->Main(commandLine);
  }
  QAction* Menu(const char* name) { return app->Parts().Window().Commands().Menu(name); }
  QAction* Tool(const char* key) { return app->Parts().Window().Commands().Tool(kMainBar, key); }
};

}  // namespace

class AppTest : public QObject {
  Q_OBJECT

 private slots:
  // The first start takes the root copy of the settings; what a run
  // changes is there at the next start, which here names a database and so
  // skips the start dialog.
  void settingsCarryOverToTheNextStart() {
    Started s;
    QVERIFY(s.Start());
    QVERIFY(s.dialogs.fatal.isEmpty() && s.app->Parts().Window().isVisible());
    QCOMPARE(s.app->settings.RecentFiles[0], s.example);
    s.app->UpdateTick();
    QCOMPARE(s.dialogs.modalCount, 1);  // the start dialog, once
    s.app->settings.ShowStatusBar = false;
    s.app->Parts().Window().setGeometry(40, 50, 800, 600);
    s.app->Parts().Window().close();
    s.app->UpdateTick();
    QVERIFY(s.app->Ended());
    QVERIFY(s.Start(s.example));
    QCOMPARE(s.app->settings.StartCount, 2);
    QCOMPARE(s.dialogs.modalCount, 1);
    QCOMPARE(s.app->db.DatabasePath, s.example);
    QVERIFY(!s.app->Parts().Window().statusBar()->isVisible());
    QCOMPARE(s.app->Parts().Window().geometry(), QRect(40, 50, 800, 600));
    QCOMPARE(s.app->Parts().Window().Commands().RecentItems()[0]->text(), "&1 " + s.example);
  }

  // From the fifth start on, the dialog offers the last file instead of the
  // example. Every row ends with the example open, each by another way.
  void startDialog_data() {
    QTest::addColumn<int>("startsBefore");
    QTest::addColumn<bool>("recent");
    QTest::addColumn<int>("offered");
    QTest::newRow("fourth start: the example") << 3 << true << int(IntroDialog::kExample);
    QTest::newRow("fifth start: the last file") << 4 << true << int(IntroDialog::kOpen);
    QTest::newRow("fifth start, no files: ask for one") << 4 << false << int(IntroDialog::kOpen);
  }
  void startDialog() {
    QFETCH(int, startsBefore);
    QFETCH(bool, recent);
    Started s;
    AppSettings previous;
    previous.StartCount = startsBefore;
    if (recent) previous.RecentFiles[0] = s.example;
    s.install.Write("config/orbo118.ini", SettingsToText(previous).toUtf8());
    if (!recent) s.dialogs.openPath = s.example;
    int offered = -1;
    s.dialogs.onModal = [&](QDialog& dialog) {
      auto* intro = static_cast<IntroDialog*>(&dialog);
      offered = intro->ChosenOption();
      intro->findChild<QCheckBox*>("Check1")->setChecked(false);
      intro->findChild<QPushButton*>("OkButt")->click();
      return intro->result();
    };
    QVERIFY(s.Start());
    QTEST(offered, "offered");
    QCOMPARE(s.app->db.DatabasePath, s.example);
    QVERIFY(!s.app->settings.ShowStartDialog);
  }

  // The close box and File > Exit alike: without changes the program ends
  // at the next tick; with changes Cancel keeps the window and the changes,
  // Yes saves before the end and No ends without saving.
  void closing_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::newRow("close box, unmodified") << false << false << int(kAnswerCancel);
    QTest::newRow("close box, saving") << false << true << int(kAnswerYes);
    QTest::newRow("File > Exit, not saving") << true << true << int(kAnswerNo);
  }

  void closing() {
    QFETCH(bool, byMenu);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    Started s;
    QVERIFY(s.Start());
    auto close = [&] {
      if (byMenu)
        s.Menu("mnuQuit")->trigger();
      else
        s.app->Parts().Window().close();
    };
    s.dialogs.savePath = s.install.Path("closing.2db");
    if (modified) {
      s.app->Storage().SetModified(true);
      s.dialogs.answers = {kAnswerCancel};
      close();
      s.app->UpdateTick();
      QVERIFY(s.app->Parts().Window().isVisible() && !s.app->Ended() && s.app->db.Modified);
    }
    s.dialogs.answers = {MessageAnswer(answer)};
    close();
    QVERIFY(!s.app->Parts().Window().isVisible() &&
            !s.app->Ended());  // the end comes with the next tick
    s.app->UpdateTick();
    QVERIFY(s.app->Ended());
    QCOMPARE(s.dialogs.messages.size(), modified ? 2 : 0);  // the save question, twice
    QCOMPARE(QFile::exists(s.dialogs.savePath), answer == kAnswerYes);
  }

  // The saved step is where the database is unmodified, reached from
  // either side.
  void theSavedStepIsUnmodifiedFromEitherSide() {
    Started s;
    QVERIFY(s.Start());
    s.Menu("mnuAddFolder")->trigger();
    s.dialogs.savePath = s.install.Path("saved");
    s.Tool("save")->trigger();
    QCOMPARE(s.app->db.DatabasePath, s.install.Path("saved.2db"));  // the save adds the extension
    s.Menu("mnuUndo")->trigger();
    QVERIFY(s.app->db.Modified);
    s.Menu("mnuRedo")->trigger();
    QVERIFY(!s.app->db.Modified);
    emit s.app->Parts().Window().RootText().textEdited("Work");
    s.Menu("mnuUndo")->trigger();
    QVERIFY(!s.app->db.Modified);
  }

  // File > Restore a Backup lists the versions saves replaced, newest first,
  // and opens the chosen one unsaved under the database's own path; saving
  // it keeps the version it replaces in turn, and never more than asked.
  void restoringABackup() {
    Started s;
    QVERIFY(s.Start());
    s.app->settings.BackupsKept = 2;
    const QString path = s.install.Path("kept.2db");
    s.dialogs.savePath = path;
    const int folders = s.app->db.FolderCount;
    for (int minute = 1; minute <= 3; ++minute) {
      s.Menu("mnuAddFolder")->trigger();
      s.Tool("save")->trigger();
      QVERIFY(!s.app->db.Modified);
      QFile saved(path);
      QVERIFY(saved.open(QIODevice::ReadWrite));
      QVERIFY(saved.setFileTime(QDateTime(QDate(2026, 12, 1), QTime(9, minute)),
                                QFileDevice::FileModificationTime));
      saved.close();
      // The program's own save, dated after it, is no change by another.
      s.app->Storage().SetKnownFile(IdentityOfDatabaseFile(path));
    }
    QStringList listed;
    s.dialogs.onModal = [&](QDialog& dialog) {
      auto* list = dialog.findChild<QListWidget*>("BackupList");
      for (int row = 0; row < list->count(); ++row) listed << list->item(row)->text();
      list->setCurrentRow(1);
      return int(QDialog::Accepted);
    };
    s.Menu("mnuRestore")->trigger();
    QCOMPARE(listed.size(), 2);
    QVERIFY(listed[0].startsWith("2026-12-01 09:02:00") &&
            listed[1].startsWith("2026-12-01 09:01:00"));
    QCOMPARE(s.app->db.FolderCount, folders + 1);
    QCOMPARE(s.app->db.DatabasePath, path);
    QVERIFY(s.app->db.Modified);
    QVERIFY(!s.app->Funnel().Stack().canUndo());
    const int messages = s.dialogs.messages.size();
    s.Tool("save")->trigger();
    QCOMPARE(s.dialogs.messages.size(), messages);
    CodePage codePage;
    QCOMPARE(ReadDatabaseFile(path, codePage, {}).db.FolderCount, folders + 1);
    const std::vector<Backup> backups = ListBackups(path);
    QCOMPARE(backups.size(), std::size_t(2));
    QCOMPARE(ReadDatabaseFile(backups.front().path, codePage, {}).db.FolderCount, folders + 3);
  }

  // Another program replaces the open file: the status bar says so, and
  // while nothing is unsaved the window offers to load it again; with
  // unsaved changes the next save asks before writing over it.
  void aFileChangedOnDiskIsNoticed() {
    Started s;
    QVERIFY(s.Start());
    const QString path = s.install.Path("watched.2db");
    s.dialogs.savePath = path;
    s.Menu("mnuSaveAs")->trigger();
    QCOMPARE(s.app->db.DatabasePath, path);
    Database other = s.app->db;
    other.Folders[0].Name = QStringLiteral("Written by another program");
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(other, path, codePage).ok);
    const QString question = s.app->texts.Get(985, 13).arg(path);
    QTRY_VERIFY_WITH_TIMEOUT(s.dialogs.messages.contains(question), 10000);
    QCOMPARE(s.app->db.Folders[0].Name, other.Folders[0].Name);
    const QLabel& status = s.app->Parts().Window().StatusPanel("main");
    const QString note = s.app->texts.Get(985, 12);
    QVERIFY(!status.text().contains(note));

    s.Menu("mnuAddFolder")->trigger();
    other.Folders[0].Name = QStringLiteral("Again");
    QVERIFY(WriteDatabaseFile(other, path, codePage).ok);
    QTRY_VERIFY_WITH_TIMEOUT(status.text().contains(note), 10000);
    QCOMPARE(s.dialogs.messages.count(question), 1);
    s.dialogs.answers = {kAnswerCancel};
    s.Tool("save")->trigger();
    QCOMPARE(s.dialogs.messages.last(), s.app->texts.Get(985, 0).arg(path));
    QCOMPARE(ReadDatabaseFile(path, codePage, {}).db.Folders[0].Name, QString("Again"));
  }

  // A program killed with unsaved changes, after its recovery copy was
  // written: the next start offers them, and Yes gives them back, unsaved,
  // under the database's path; the copy the killed program left is gone.
  void aKilledProgramsChangesComeBack() {
    Started s;
    const QString path = s.install.Path("work.2db");
    QVERIFY(QFile::copy(s.example, path));
    QProcess helper;
    helper.start(QStringLiteral(ORBO_RECOVERY_HELPER), {s.install.Path(), path});
    QVERIFY(helper.waitForReadyRead(60000));
    QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));
    helper.kill();
    QVERIFY(helper.waitForFinished(10000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    const QString folder = s.install.Path("config/orbo-recovery");
    // The copy, its note and the lock the killed program could not remove.
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);

    QVERIFY(s.Start());
    s.app->UpdateTick();
    QCOMPARE(s.dialogs.messages.size(), 1);
    QVERIFY2(s.dialogs.messages[0].contains(QDir::toNativeSeparators(path)),
             qPrintable(s.dialogs.messages[0]));
    Database& db = s.app->db;
    QCOMPARE(db.Folders[db.FolderCount - 1].Name, QString("Work not saved"));
    QCOMPARE(db.DatabasePath, path);
    QVERIFY(db.Modified);
    QCOMPARE(s.dialogs.modalCount, 0);  // no start dialog after a recovery
    // This program's own copy in place of the killed one's.
    const QString mine = QStringLiteral("copy-%1.").arg(QCoreApplication::applicationPid());
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             (QStringList{mine + "2db", mine + "ini", mine + "lock"}));
    // Exit cancelled at the question keeps the copy; closed without saving,
    // as the user chose, nothing is left to offer.
    s.dialogs.answers = {kAnswerCancel};
    QVERIFY(!s.app->QueryUnload());
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);
    s.dialogs.answers = {kAnswerNo};
    QVERIFY(!s.app->QueryUnload());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{mine + "lock"});
  }

  // The open database keeps the code page it was read in: after a switch
  // from Russian to English, a Russian (windows-1251) database with a password saves with no
  // question and loads back whole. A database made then takes windows-1252.
  void languageSwitchKeepsTheDatabasesCodePage() {
    Started s;
    s.install.Write("Texts/current.dat", "russian.txt\r\n");
    const QString path = s.install.Path("ru.2db");
    const QString word = QString::fromUtf8("\u041f\u0430\u043f\u043a\u0430");
    const QString password = QString::fromUtf8("\u043f\u0430\u0440\u043e\u043b\u044c");
    CodePage cyrillic(QStringLiteral("windows-1251"));
    Database db = ReadDatabaseFile(s.example, cyrillic, {}).db;
    db.Records[0].TextValue[0] = word;
    db.PasswordOn = true;
    db.Password = password;
    QVERIFY(WriteDatabaseFile(db, path, cyrillic).ok);
    s.dialogs.typedText = password;
    QVERIFY(s.Start(path));
    App& app = *s.app;
    QCOMPARE(app.db.CodePageName, QString("windows-1251"));
    // The choice is kept for the next start, which every dialog waits for;
    // the menus change at once.
    const QList<QAction*> languages = app.Parts().Window().Commands().Submenu("mnuLang")->actions();
    const QString fileMenu = app.Parts().Window().Commands().Submenu("mnuFile")->title();
    const qsizetype messages = s.dialogs.messages.size();
    languages[0]->trigger();  // English
    QCOMPARE(s.install.FirstLine("Texts/current.dat"), QString("english.txt"));
    QCOMPARE(s.dialogs.messages.size(), messages + 1);
    QVERIFY(languages[0]->isChecked() && !languages[1]->isChecked());
    QVERIFY(app.Parts().Window().Commands().Submenu("mnuFile")->title() != fileMenu);
    s.dialogs.messages.clear();
    s.Tool("tofolder")->trigger();
    emit app.Parts().Window().RootText().textEdited(word);
    s.Tool("save")->trigger();
    QCOMPARE(s.dialogs.messages, QStringList());
    QVERIFY(!app.db.Modified);
    const ReadOutcome read = ReadDatabaseFile(path, cyrillic, [&] { return password; });
    QCOMPARE(read.error, QString());
    QCOMPARE(read.db.Folders[0].Name + read.db.Records[0].TextValue[0], word + word);
    QCOMPARE(StoredDifference(read.db, app.db), QString());
    s.Menu("mnuNew")->trigger();
    QCOMPARE(app.db.CodePageName, QString("windows-1252"));
  }

  // Release builds check the model's rules after every command too, and
  // log what a command broke.
  void rulesAreCheckedAfterEveryCommand() {
#ifndef NDEBUG
    QSKIP("debug builds stop at a broken rule");
#endif
    Started s;
    QVERIFY(s.Start());
    QTest::ignoreMessage(
        QtCriticalMsg, QRegularExpression("the model broke its rules: record 0: folder 99 is not"));
    s.app->Funnel().Run([&] { s.app->db.Records[0].Folder = 99; });
    s.app->Funnel().Run([&] { s.app->db.Records[0].Folder = 0; });
  }

  void progressMakesTheWindowBusy() {
    Started s;
    QVERIFY(s.Start());
    MainWindow& window = s.app->Parts().Window();
    s.app->Services().ShowProgress(30, QString());
    QVERIFY(window.Busy() && !window.MainList().isEnabled() &&
            !window.Commands().Bar(kMainBar)->isEnabled());
    QVERIFY(!window.Commands().Submenu("mnuFile")->menuAction()->isEnabled());
    QCOMPARE(window.findChild<QLabel*>("PleaseWaitText")->text(), s.app->texts.Get(815, 0));
    s.Menu("mnuMode2_1")->trigger();
    QVERIFY(s.app->state.EditMode == WorkMode::Database &&
            !s.Menu("mnuMode2_1")->isChecked());  // no mode switch meanwhile
    s.app->Services().ShowProgress(200, QString());
    QVERIFY(!window.Busy() && window.MainList().isEnabled());
    // In edit mode (the icon picker loads icons so) File stays off after,
    // also when the operation ends without having begun.
    s.app->Parts().Modes().Switch(WorkMode::Edit);
    s.app->Services().ShowProgress(30, QString());
    s.app->Services().ShowProgress(200, QString());
    s.app->Services().ShowProgress(200, QString());
    QVERIFY(!window.Commands().Submenu("mnuFile")->menuAction()->isEnabled());
    QVERIFY(window.Commands().Submenu("mnuEditor")->menuAction()->isEnabled());
    s.app->Parts().Modes().Switch(WorkMode::Database);
    QVERIFY(window.Commands().Submenu("mnuFile")->menuAction()->isEnabled());
  }

  // A second start hands its file to the running program and ends; the
  // running one takes the request within a tick and tries the file.
  void secondProcessHandsOver() {
    TestInstall install;
    for (const char* file : {"orbo", "liborboinout.so"})
      install.Copy(QStringLiteral(ORBO_BIN_DIR "/") + file, file);
    QFile::setPermissions(install.Path("orbo"), QFile::ReadOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("windir", install.Path("config"));
    environment.insert("ORBO_MESSAGES", "auto");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess first, second;
    for (QProcess* process : {&first, &second}) process->setProcessEnvironment(environment);
    first.start(install.Path("orbo"), {install.Path("data/examples/ex1.2db")});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(install.Path("data/orbo.lock")), 10000);
    second.start(install.Path("orbo"), {install.Path("no-such.2db")});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardError().contains("message: "));
    QTRY_COMPARE_WITH_TIMEOUT(install.FirstLine("data/multiprog.dat"), QString(), 5000);
    QByteArray firstSaid;
    QTRY_VERIFY_WITH_TIMEOUT((firstSaid += first.readAllStandardError()).contains("message: "),
                             5000);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
  }
};

QTEST_MAIN(AppTest)
#include "tst_app.moc"
