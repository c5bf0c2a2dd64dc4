// Start-up logic without windows: the example database, record titles,
// loading damaged or missing settings, and where an installed copy runs.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

#include "../test_files.h"
#include "shell/program_folder.h"
#include "shell/settings_file.h"
#include "shell/settings_store.h"
#include "storage/model_defaults.h"
#include "storage/new_database.h"
#include "storage/record_title.h"

using namespace orbo;

class StartupLogicTest : public QObject {
  Q_OBJECT

 private slots:
  // The example's big text takes the default font's face and style, in
  // its own size and bold.
  void newDatabaseExample() {
    Database db;
    NewDatabase(db, FontSpec{"DejaVu Sans", 9, false, true}, {});
    const FontSpec& font = db.Forms[0].Elements[kText][0].Font;
    QCOMPARE(font, (FontSpec{"DejaVu Sans", 16, true, true}));
  }

  // The title element's value as text; an element that holds none, or that
  // the form lacks, gives no title.
  void recordTitles() {
    Database db;
    NewDatabase(db, FontSpec{"Sans", 10, false, false}, {});
    FormDef& form = db.Forms[0];
    form.ElementCount[kCombo] = 1;
    form.ComboList[0] = "Red\r\nGreen\r\nBlue";
    form.ElementCount[kFlag] = 1;
    db.Records[0].ComboValue[0] = 1;
    db.Records[0].FlagValue[0] = true;
    const auto title = [&](int element) {
      form.TitleElement = ElementRef::FromCode(element);
      return RecordTitle(db, 0);
    };
    QCOMPARE(title(4000), QString("Green"));
    QCOMPARE(title(5000), QString("True"));
    QCOMPARE(title(2003), QString());  // no such text element
    db.Records[0].ComboValue[0] = 7;
    QCOMPARE(title(4000), QString());
  }

  void damagedSettingsFallBackToTheRootCopy() {
    QTemporaryDir app;
    AppSettings root;
    root.GridStepY = 240;
    root.StartCount = 9;
    QVERIFY(WriteBytes(app.filePath("data/root.dat"), SettingsToText(root).toUtf8()));
    QString ini = app.filePath("orbo118.ini");
    QVERIFY(WriteBytes(ini, "\"[Recent files]\"\r\n\"a\"\r\ngarbage that is no settings file"));
    WorkingFiles files(app.path(), [](const QString&) { QFAIL("no failure expected"); });
    AppSettings settings;
    LoadIni(files, ini, &settings);
    QCOMPARE(settings.RecentFiles[0], QString("a"));
    QCOMPARE(settings.GridStepY, 240);
    QCOMPARE(settings.StartCount, 10);

    SaveIni(files, ini, settings);  // the next save writes a good file
    AppSettings reread;
    QVERIFY(SettingsFromText(QString::fromUtf8(ReadBytes(ini)), &reread));
    QCOMPARE(reread, settings);

    // The start counter stops at its largest value instead of overflowing.
    settings.StartCount = std::numeric_limits<std::int32_t>::max();
    SaveIni(files, ini, settings);
    LoadIni(files, ini, &reread);
    QCOMPARE(reread.StartCount, std::numeric_limits<std::int32_t>::max());
  }

  void missingFilesEndTheProgramWithTheirMessage() {
    QTemporaryDir app;  // no data folder at all
    QString failure;
    WorkingFiles files(app.path(), [&](const QString& message) { failure = message; });
    AppSettings settings;
    LoadIni(files, app.filePath("orbo118.ini"), &settings);
    QVERIFY(failure.contains(QDir::toNativeSeparators(app.filePath("data/root.dat"))));
    QCOMPARE(settings.StartCount, AppSettings().StartCount);
  }

  // A build folder runs in place. A read-only installation runs from the
  // user's folder, seeded at the first start; later starts bring program
  // files up to date and leave what the program wrote alone.
  void installedCopiesRunFromTheUsersFolder() {
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin");
    const QString installed = root.filePath("usr/share/corvane-database");
    QDir().mkpath(bin);
    QVERIFY(WriteBytes(installed + "/Texts/english.txt", "English"));
    QVERIFY(WriteBytes(installed + "/data/root.dat", "defaults"));
    QString why;
    QCOMPARE(PrepareProgramFolder(installed, root.filePath("unused"), &why), installed);

    const QString user = root.filePath("home/corvane-database");
    QCOMPARE(PrepareProgramFolder(bin, user, &why), user);
    QCOMPARE(ReadBytes(user + "/data/root.dat"), QByteArray("defaults"));
    QVERIFY(WriteBytes(user + "/data/root.dat", "the user's settings"));
    QVERIFY(WriteBytes(installed + "/Texts/english.txt", "English, updated"));
    QVERIFY(WriteBytes(installed + "/Texts/russian.txt", "Russian"));
    QFile::setPermissions(installed + "/Texts/russian.txt", QFile::ReadOwner);
    QCOMPARE(PrepareProgramFolder(bin, user, &why), user);
    QCOMPARE(ReadBytes(user + "/Texts/english.txt"), QByteArray("English, updated"));
    QCOMPARE(ReadBytes(user + "/Texts/russian.txt"), QByteArray("Russian"));
    QVERIFY(QFile::permissions(user + "/Texts/russian.txt") & QFile::WriteOwner);
    QCOMPARE(ReadBytes(user + "/data/root.dat"), QByteArray("the user's settings"));
  }
};

QTEST_GUILESS_MAIN(StartupLogicTest)
#include "tst_startup_logic.moc"
