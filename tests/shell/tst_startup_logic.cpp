// Start-up logic without windows: the example database, the window texts,
// the hand-over line and loading the settings.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/handover.h"
#include "shell/new_database.h"
#include "shell/record_title.h"
#include "shell/settings_file.h"
#include "shell/settings_store.h"
#include "shell/window_texts.h"
#include "storage/model_defaults.h"

using namespace orbo;

namespace {

LanguageTexts SomeTexts() {
  LanguageTexts texts;
  texts.LoadLines({"English", "00015  Form design", "00100  status", "       Records",
                   "       Folders", "       Grid"});
  return texts;
}

void WriteFile(const QString& path, const QString& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text.toUtf8());
}

}  // namespace

class StartupLogicTest : public QObject {
  Q_OBJECT

 private slots:
  void newDatabaseExample() {
    Database db;
    FontSpec font{"DejaVu Sans", 9, false, true};
    NewDatabase(db, font);
    QCOMPARE(db.DatabasePath, QString("noname"));
    QCOMPARE(db.FormCount, 1);
    QCOMPARE(db.RecordCount, 1);
    QCOMPARE(db.FolderCount, 1);
    QCOMPARE(db.BufferCount, 0);
    QCOMPARE(db.Folders[0].Name, QString("Simple Folder"));
    QCOMPARE(db.Folders[0].Parent, -1);
    const FormDef& form = db.Forms[0];
    QCOMPARE(form.ElementCount, (std::array<std::int16_t, 7>{0, 1, 1, 0, 0, 0, 1}));
    QCOMPARE(form.Elements[kMultiline][0].BackColor, 0xFFF6F6);
    QCOMPARE(form.Elements[kMultiline][0].Left, 500);
    QCOMPARE(form.Elements[kText][0].Font.Size, 16);
    QVERIFY(form.Elements[kText][0].Font.Bold);
    QVERIFY(form.Elements[kText][0].Font.Italic);  // the rest of the default font stays
    QCOMPARE(form.Elements[kText][0].ForeColor, 100 << 16);
    QCOMPARE(form.Elements[kLabel][0].Name, QString("This is just a form example."));
    QCOMPARE(db.Records[0].TextValue[0], QString("Welcome to Corvane Database!"));
    QVERIFY(db.Records[0].MemoValue[0].endsWith("help.\r\n\r\nGood luck!"));
    QCOMPARE(RecordTitle(db, 0), QString("Welcome to Corvane Database!"));
  }

  void recordTitles() {
    Database db;
    NewDatabase(db, FontSpec{"Sans", 10, false, false});
    FormDef& form = db.Forms[0];
    form.ElementCount[kCombo] = 1;
    form.ComboList[0] = "Red\r\nGreen\r\nBlue";
    form.ElementCount[kFlag] = 1;
    RecordData& record = db.Records[0];
    record.ComboValue[0] = 1;
    form.TitleElement = 4000;
    QCOMPARE(RecordTitle(db, 0), QString("Green"));
    record.ComboValue[0] = 7;
    QCOMPARE(RecordTitle(db, 0), QString());
    form.TitleElement = 5000;
    record.FlagValue[0] = true;
    QCOMPARE(RecordTitle(db, 0), QString("True"));
    form.TitleElement = 1000;  // labels hold no value
    QCOMPARE(RecordTitle(db, 0), QString());
    form.TitleElement = 2003;  // no such text element
    QCOMPARE(RecordTitle(db, 0), QString());
  }

  void windowTitleAndStatus() {
    LanguageTexts texts = SomeTexts();
    Database db;
    NewDatabase(db, FontSpec{"Sans", 10, false, false});
    QCOMPARE(WindowTitle(db, 0, -1, texts), QString("noname - Corvane Database v1.18"));
    db.DatabasePath = "/home/ann/mydata.2db";
    db.Modified = true;
    db.Records[0].TextValue[0] = "Smith";
    QCOMPARE(WindowTitle(db, 0, 0, texts), QString("mydata.2db* - Corvane Database v1.18 - [Smith]"));
    QCOMPARE(WindowTitle(db, 1, 0, texts), QString("mydata.2db* - Corvane Database v1.18 - Form design"));
    QCOMPARE(FileNameOf("c:\\data\\x.2db"), QString("x.2db"));

    SetCount(db, kRecordsKind, 10);
    SetCount(db, kFoldersKind, 3);
    db.BufferCount = 2;
    QCOMPARE(StatusCountsText(db, texts), QString("Records: 8          Folders: 3"));
  }

  void handOverLines() {
    QCOMPARE(HandOverLine(""), QString("UPDATE"));
    QCOMPARE(HandOverLine("/a b/c.2db"), QString("LOAD/a b/c.2db"));
    QCOMPARE(ParseHandOverLine("UPDATE").kind, HandOverRequest::Update);
    QCOMPARE(ParseHandOverLine("UPDAxyz").kind, HandOverRequest::Update);
    HandOverRequest load = ParseHandOverLine("LOAD/a b/c.2db");
    QCOMPARE(load.kind, HandOverRequest::Load);
    QCOMPARE(load.path, QString("/a b/c.2db"));
    QCOMPARE(ParseHandOverLine("").kind, HandOverRequest::None);
    QCOMPARE(ParseHandOverLine("UPD").kind, HandOverRequest::None);
  }

  void firstStartReadsRootCopyAndCreatesTheSettings() {
    QTemporaryDir app;
    QVERIFY(QDir(app.path()).mkpath("data"));
    AppSettings root;
    root.RecentFiles[0] = "ex";
    root.StartCount = 41;
    root.GridStepX = 60;
    WriteFile(app.filePath("data/root.dat"), SettingsToText(root));
    QString failure;
    WorkingFiles files(app.path(), [&](const QString& message) { failure = message; });
    QString ini = app.filePath("config/orbo118.ini");

    AppSettings settings;
    LoadIni(files, ini, &settings);
    QCOMPARE(failure, QString());
    QCOMPARE(settings.StartCount, 42);
    QCOMPARE(settings.GridStepX, 60);
    QCOMPARE(settings.RecentFiles[0], app.filePath("data/examples/ex1.2db"));
    QVERIFY(QFile::exists(ini));

    AppSettings again;
    LoadIni(files, ini, &again);
    QCOMPARE(again.StartCount, 43);
  }

  void damagedSettingsFallBackToTheRootCopy() {
    QTemporaryDir app;
    QVERIFY(QDir(app.path()).mkpath("data"));
    AppSettings root;
    root.GridStepY = 240;
    root.StartCount = 9;
    WriteFile(app.filePath("data/root.dat"), SettingsToText(root));
    QString ini = app.filePath("orbo118.ini");
    WriteFile(ini, "\"[Recent files]\"\r\n\"a\"\r\ngarbage that is no settings file");
    WorkingFiles files(app.path(), [](const QString&) { QFAIL("no failure expected"); });
    AppSettings settings;
    LoadIni(files, ini, &settings);
    QCOMPARE(settings.RecentFiles[0], QString("a"));
    QCOMPARE(settings.GridStepY, 240);
    QCOMPARE(settings.StartCount, 10);

    SaveIni(files, ini, settings);  // the next save writes a good file
    AppSettings reread;
    QVERIFY(SettingsFromText(QString::fromUtf8([&] {
      QFile f(ini);
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    }()), &reread));
    QCOMPARE(reread, settings);
  }

  void missingFilesEndTheProgramWithTheirMessage() {
    QTemporaryDir app;  // no data folder at all
    QString failure;
    WorkingFiles files(app.path(), [&](const QString& message) { failure = message; });
    AppSettings settings;
    LoadIni(files, app.filePath("orbo118.ini"), &settings);
    QCOMPARE(failure, QString("Sorry, Where is an error in programm. Please, send the follow "
                              "information to support@corvane-database.org:\r\n\r\n%1 : True : "
                              "LoadINI : 76")
                          .arg(QDir::toNativeSeparators(app.filePath("data/root.dat"))));
    QCOMPARE(settings.StartCount, AppSettings().StartCount);
  }
};

QTEST_GUILESS_MAIN(StartupLogicTest)
#include "tst_startup_logic.moc"
