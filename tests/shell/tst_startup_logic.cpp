// Start-up logic without windows: the example database, record titles and
// loading damaged or missing settings.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/new_database.h"
#include "shell/record_title.h"
#include "shell/settings_file.h"
#include "shell/settings_store.h"
#include "storage/model_defaults.h"

using namespace orbo;

namespace {

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
