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
#include <QtTest>

#include "../test_files.h"
#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "forms/designer/mode_switch.h"
#include "shell/file_commands.h"
#include "shell/intro_dialog.h"
#include "shell/settings_file.h"
#include "storage/database_file.h"
#include "storage/model_defaults.h"
#include "storage/stored_content.h"

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
  // Saves the open database as name in the install, through Save As.
  QString SavedAs(const char* name) {
    const QString path = install.Path(name);
    dialogs.savePath = path;
    Menu("mnuSaveAs")->trigger();
    return path;
  }
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
    QVERIFY(s.dialogs.fatal.isEmpty());
    s.app->UpdateTick();
    QCOMPARE(s.dialogs.modalCount, 1);  // the start dialog, once
    s.app->settings.ShowStatusBar = false;
    s.app->Parts().Window().close();
    s.app->UpdateTick();
    QVERIFY(s.app->Ended());
    QVERIFY(s.Start(s.example));
    QCOMPARE(s.app->settings.StartCount, 2);
    QCOMPARE(s.dialogs.modalCount, 1);
    QCOMPARE(s.app->db.DatabasePath, s.example);
    QVERIFY(!s.app->Parts().Window().statusBar()->isVisible());
  }

  // From the fifth start on, the dialog offers the last file instead of the
  // example; taking it opens that file, and the box unticked keeps the
  // dialog away from then on.
  void startDialogOffersTheLastFile() {
    Started s;
    AppSettings previous;
    previous.StartCount = 4;
    previous.RecentFiles[0] = s.example;
    s.install.Write("config/orbo118.ini", SettingsToText(previous).toUtf8());
    int offered = -1;
    s.dialogs.onModal = [&](QDialog& dialog) {
      auto* intro = static_cast<IntroDialog*>(&dialog);
      offered = intro->ChosenOption();
      intro->findChild<QCheckBox*>("Check1")->setChecked(false);
      intro->findChild<QPushButton*>("OkButt")->click();
      return intro->result();
    };
    QVERIFY(s.Start());
    QCOMPARE(offered, int(IntroDialog::kOpen));
    QCOMPARE(s.app->db.DatabasePath, s.example);
    QVERIFY(!s.app->settings.ShowStartDialog);
  }

  // The close box and File > Exit alike: without changes the program ends
  // at the next tick; with changes Cancel keeps the window and the changes,
  // Yes saves before the end and No ends without saving. A program that
  // ends keeps no password.
  void closing_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::newRow("close box, unmodified") << false << false << int(kAnswerCancel);
    QTest::newRow("File > Exit, cancelled") << true << true << int(kAnswerCancel);
    QTest::newRow("close box, saving") << false << true << int(kAnswerYes);
    QTest::newRow("File > Exit, not saving") << true << true << int(kAnswerNo);
  }

  void closing() {
    QFETCH(bool, byMenu);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    Started s;
    QVERIFY(s.Start());
    s.dialogs.savePath = s.install.Path("closing.2db");
    s.app->db.Password = "secret";
    s.app->Storage().SetModified(modified);
    s.dialogs.answers = {MessageAnswer(answer)};
    if (byMenu)
      s.Menu("mnuQuit")->trigger();
    else
      s.app->Parts().Window().close();
    QVERIFY(!s.app->Ended());  // the end comes with the next tick
    s.app->UpdateTick();
    const bool ends = !modified || answer != kAnswerCancel;
    QCOMPARE(s.app->Ended(), ends);
    QCOMPARE(s.app->Parts().Window().isVisible(), !ends);
    QCOMPARE(s.app->db.Modified, modified && answer != kAnswerYes);
    QCOMPARE(s.app->db.Password.isEmpty(), ends);
    QCOMPARE(s.dialogs.messages.size(), modified ? 1 : 0);
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
    s.Menu("mnuUndo")->trigger();
    QVERIFY(s.app->db.Modified);
    s.Menu("mnuRedo")->trigger();
    QVERIFY(!s.app->db.Modified);
    emit s.app->Parts().Window().RootText().textEdited("Work");
    s.Menu("mnuUndo")->trigger();
    QVERIFY(!s.app->db.Modified);
  }

  // The Edit menu's items name the step they take back or do again; with
  // nothing to take back the menu still opens, its items greyed.
  void editMenuNamesItsSteps() {
    Started s;
    QVERIFY(s.Start());
    QAction* undo = s.Menu("mnuUndo");
    QAction* redo = s.Menu("mnuRedo");
    QVERIFY(s.app->Parts().Window().Commands().Submenu("mnuEdit")->menuAction()->isEnabled());
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    QCOMPARE(undo->text(), QString("&Undo"));
    s.Menu("mnuAddFolder")->trigger();
    QVERIFY(undo->isEnabled());
    QVERIFY(undo->toolTip().startsWith("Undo ") && undo->toolTip().size() > 5);
    QCOMPARE(undo->text(), "&" + undo->toolTip());
    undo->trigger();
    QCOMPARE(redo->text(), "&" + redo->toolTip());
    QVERIFY(redo->toolTip().startsWith("Redo "));
    QCOMPARE(undo->text(), QString("&Undo"));
    QVERIFY(s.app->Parts().Window().Commands().Submenu("mnuEdit")->menuAction()->isEnabled());
  }

  // File > Restore a Backup lists the versions saves replaced, newest first
  // (the second row is the older one), whatever their file times say, and
  // takes the chosen one's contents as a step: unsaved changes are not
  // asked about, and Undo gives them back.
  void restoringABackup() {
    Started s;
    QVERIFY(s.Start());
    s.app->settings.BackupsKept = 2;
    const QString path = s.install.Path("kept.2db");
    s.dialogs.savePath = path;
    const int folders = s.app->db.FolderCount;
    for (int minute = 3; minute >= 1; --minute) {
      s.Menu("mnuAddFolder")->trigger();
      s.Tool("save")->trigger();
      // Dated back by another program, as an unpacked archive would.
      QFile saved(path);
      QVERIFY(saved.open(QIODevice::ReadWrite));
      QVERIFY(saved.setFileTime(QDateTime(QDate(2026, 12, 1), QTime(9, minute)),
                                QFileDevice::FileModificationTime));
      saved.close();
      s.app->Storage().SetKnownFile(IdentityOfDatabaseFile(path));
    }
    s.Menu("mnuAddFolder")->trigger();
    s.dialogs.messages.clear();
    s.dialogs.onModal = [&](QDialog& dialog) {
      dialog.findChild<QListWidget*>("BackupList")->setCurrentRow(1);
      return int(QDialog::Accepted);
    };
    s.Menu("mnuRestore")->trigger();
    QCOMPARE(s.dialogs.messages, QStringList());
    QCOMPARE(s.app->db.FolderCount, folders + 1);
    QCOMPARE(s.app->db.DatabasePath, path);
    QVERIFY(s.app->db.Modified);
    // Ctrl+Z in the folder's name box is the window's undo, not the box's.
    QLineEdit& name = s.app->Parts().Window().RootText();
    s.app->Parts().Window().activateWindow();
    name.setFocus();
    QTest::keyClick(&name, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(s.app->db.FolderCount, folders + 4);
    QVERIFY(s.app->db.Modified);
  }

  // Another program replaces the open file: the status bar says so, and
  // while nothing is unsaved the window offers to load it again; with
  // unsaved changes the next save asks before writing over it.
  void aFileChangedOnDiskIsNoticed() {
    Started s;
    QVERIFY(s.Start());
    const QString path = s.SavedAs("watched.2db");
    Database other = s.app->db;
    other.Folders[0].Name = QStringLiteral("Written by another program");
    CodePage codePage;
    QVERIFY(WriteDatabaseFile(other, path, codePage).ok);
    const QString question = s.app->texts.Get(985, 13).arg(path);
    QTRY_VERIFY_WITH_TIMEOUT(s.dialogs.messages.contains(question), 10000);
    QCOMPARE(s.app->db.Folders[0].Name, other.Folders[0].Name);
    const QLabel& status = s.app->Parts().Window().StatusPanel("main");
    const QString note = s.app->texts.Get(985, 12);

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

  // The open file deleted by another program: the status bar says so and
  // nothing offers to load what is gone; a save writes it again unasked.
  void aDeletedFileIsWrittenAgain() {
    Started s;
    QVERIFY(s.Start());
    const QString path = s.SavedAs("deleted.2db");
    s.dialogs.messages.clear();
    QVERIFY(QFile::remove(path));
    const QLabel& status = s.app->Parts().Window().StatusPanel("main");
    QTRY_VERIFY_WITH_TIMEOUT(status.text().contains(s.app->texts.Get(986, 21)), 10000);
    QCOMPARE(s.dialogs.messages, QStringList());
    // The note speaks the language chosen after it appeared.
    const QString english = s.app->texts.Get(986, 21);
    s.app->Parts().Window().Commands().Submenu("mnuLang")->actions().last()->trigger();
    QVERIFY(s.app->texts.Get(986, 21) != english);
    QVERIFY(status.text().endsWith(s.app->texts.Get(986, 21)));
    s.dialogs.messages.clear();
    s.Menu("mnuAddFolder")->trigger();
    s.Tool("save")->trigger();
    QCOMPARE(s.dialogs.messages, QStringList());
    QVERIFY(QFile::exists(path));
  }

  // A program killed with unsaved changes, after its recovery copy was
  // written: the next start offers them, and Yes gives them back, unsaved,
  // under the database's path; the copy the killed program left is gone.
  // The picture the database names beside it is found there, not beside
  // the copy.
  void aKilledProgramsChangesComeBack() {
    Started s;
    const QString path = s.install.Path("work.2db");
    QVERIFY(s.Start());
    FormDef& form = s.app->db.Forms[0];
    ApplyNewElementDefaults(form, kImage, 0, s.app->settings.DefaultFont);
    form.ElementCount[kImage] = 1;
    s.app->db.Records[0].ImageValue[0] = "\\pics\\sea.png";
    s.dialogs.savePath = path;
    QVERIFY(SaveDatabaseAs(s.app->db, s.app->Storage()));
    s.app.reset();
    QVERIFY(QDir().mkpath(s.install.Path("pics")));
    QVERIFY(WriteBytes(s.install.Path("pics/sea.png"), "not looked into"));
    s.dialogs.messages.clear();
    QProcess helper;
    helper.start(QStringLiteral(ORBO_RECOVERY_HELPER), {s.install.Path(), path});
    QVERIFY(helper.waitForReadyRead(60000));
    QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));
    helper.kill();
    QVERIFY(helper.waitForFinished(10000));
    const QString folder = s.install.Path("config/orbo-recovery");
    QVERIFY(s.Start());
    s.app->UpdateTick();
    QCOMPARE(s.dialogs.messages.size(), 1);
    Database& db = s.app->db;
    QCOMPARE(db.Folders[db.FolderCount - 1].Name, QString("Work not saved"));
    QCOMPARE(db.DatabasePath, path);
    QVERIFY(db.Modified);
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
    // English.
    app.Parts().Window().Commands().Submenu("mnuLang")->actions()[0]->trigger();
    s.dialogs.messages.clear();
    s.Tool("tofolder")->trigger();
    emit app.Parts().Window().RootText().textEdited(word);
    s.Tool("save")->trigger();
    QCOMPARE(s.dialogs.messages, QStringList());
    const ReadOutcome read = ReadDatabaseFile(path, cyrillic, password);
    QCOMPARE(read.db.Folders[0].Name + read.db.Records[0].TextValue[0], word + word);
    QCOMPARE(StoredDifference(read.db, app.db), QString());
    s.Menu("mnuNew")->trigger();
    QCOMPARE(app.db.CodePageName, QString("windows-1252"));
  }

  // Typed with the English interface, opened again after it became Russian
  // and the program started anew: the file is read in the code page it was
  // saved in, remembered beside the settings, or found from its texts when
  // nothing remembers it.
  void aFilesCodePageOutlivesTheLanguage_data() {
    QTest::addColumn<bool>("remembered");
    QTest::newRow("remembered") << true;
    QTest::newRow("detected") << false;
  }

  void aFilesCodePageOutlivesTheLanguage() {
    QFETCH(bool, remembered);
    Started s;
    QVERIFY(s.Start());
    const QString path = s.install.Path("garden.2db");
    const QString umlauts = QString::fromUtf8("Kaktus \u00e4rger, drau\u00dfen");
    s.Tool("tofolder")->trigger();
    emit s.app->Parts().Window().RootText().textEdited(umlauts);
    s.dialogs.savePath = path;
    s.Menu("mnuSaveAs")->trigger();
    // Written at once: a crash before the exit forgets nothing.
    const QString memory = QFileInfo(s.install.SettingsPath()).dir().filePath("orbo-safety.ini");
    QVERIFY(ReadBytes(memory).contains("garden.2db"));
    s.app->Parts().Window().close();
    s.app->UpdateTick();
    QVERIFY(s.app->Ended());
    if (!remembered) QVERIFY(QFile::remove(memory));
    s.install.Write("Texts/current.dat", "russian.txt\r\n");
    QVERIFY(s.Start(path));
    QCOMPARE(s.app->db.Folders[0].Name, umlauts);
    QCOMPARE(s.app->db.CodePageName, QString("windows-1252"));
  }

  // The end of a long operation gives the menus back the states they had,
  // so in edit mode File stays off, also when the operation never began
  // (the icon picker loading no icons).
  void progressKeepsTheMenusOfEditMode() {
    Started s;
    QVERIFY(s.Start());
    MainWindow& window = s.app->Parts().Window();
    s.app->Parts().Modes().Switch(WorkMode::Edit);
    s.app->Services().ShowProgress(30, QString());
    QVERIFY(window.Busy());
    s.app->Services().ShowProgress(200, QString());
    s.app->Services().ShowProgress(200, QString());
    QVERIFY(!window.Busy());
    QVERIFY(!window.Commands().Submenu("mnuFile")->menuAction()->isEnabled());
    QVERIFY(window.Commands().Submenu("mnuEditor")->menuAction()->isEnabled());
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
