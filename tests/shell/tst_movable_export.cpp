// Export to a movable database: files gathered beside the new database,
// name clashes, files already there, user icons, and the exported folder
// moved elsewhere still finding its pictures.
#include <QtTest>

#include "../test_files.h"
#include "../test_install.h"
#include "app/main_window.h"
#include "shell/file_commands.h"
#include "shell/movable_export.h"
#include "storage/data_path.h"
#include "storage/database_file.h"
#include "storage/model_defaults.h"

using namespace orbo;

class MovableExportTest : public QObject {
  Q_OBJECT

 private slots:
  // Different files of one name get "c" before it; the same file again,
  // or one already in the files folder, is not copied twice.
  void copyingIntoTheFilesFolder() {
    QTemporaryDir dir;
    const QString files = dir.filePath("new.2dbfiles");
    QDir().mkpath(files);
    QVERIFY(WriteBytes(dir.filePath("one/a.jpg"), "first"));
    QVERIFY(WriteBytes(dir.filePath("two/a.jpg"), "second, longer"));
    // An old file: its copy is known again only by the time it keeps.
    QFile first(dir.filePath("one/a.jpg"));
    QVERIFY(first.open(QIODevice::ReadWrite));
    QVERIFY(first.setFileTime(QDateTime(QDate(2020, 5, 1), QTime(12, 0)),
                              QFileDevice::FileModificationTime));
    first.close();
    const QString database = dir.filePath("old.2db");
    CopyTally tally;
    QCOMPARE(CopyIntoFilesFolder("\\one\\a.jpg", database, files, tally),
             QString("\\new.2dbfiles\\a.jpg"));
    QCOMPARE(CopyIntoFilesFolder(dir.filePath("two/a.jpg"), database, files, tally),
             QString("\\new.2dbfiles\\ca.jpg"));
    QCOMPARE(CopyIntoFilesFolder("\\one\\a.jpg", database, files, tally),
             QString("\\new.2dbfiles\\a.jpg"));
    QCOMPARE(CopyIntoFilesFolder("\\new.2dbfiles\\ca.jpg", database, files, tally),
             QString("\\new.2dbfiles\\ca.jpg"));
    QCOMPARE(tally.copied, 2);
    QCOMPARE(ReadBytes(files + "/ca.jpg"), QByteArray("second, longer"));
    QCOMPARE(CopyIntoFilesFolder("https://example.com/", database, files, tally),
             QString("https://example.com/"));
    QCOMPARE(CopyIntoFilesFolder("\\gone.jpg", database, files, tally), QString("\\gone.jpg"));
    // A file standing where the files folder should be fails the copy; the
    // missing file and the address above are no failures.
    QVERIFY(WriteBytes(dir.filePath("blocked"), "in the way"));
    CopyIntoFilesFolder(dir.filePath("two/a.jpg"), database, dir.filePath("blocked"), tally);
    QCOMPARE(tally.failed, 1);
  }

  // Through the menu: the new database is open and saved, its files and
  // user icons beside it, and moved elsewhere it still finds them.
  void exportThroughTheWindow() {
    RunningApp running;
    App& app = running.app;
    Database& db = app.db;
    TestInstall& install = running.install;
    QVERIFY(WriteBytes(install.Path("old/pics/cat.jpg"), "cat"));
    QVERIFY(WriteBytes(install.Path("old/music/song.wav"), "song"));
    QVERIFY(WriteBytes(install.Path("icons/usericons/New/pet.bmp"), "icon"));
    running.dialogs.savePath = install.Path("old/old.2db");
    QVERIFY(SaveDatabaseAs(db, app.Storage()));
    FormDef& form = db.Forms[0];
    form.ElementCount[kImage] = 1;
    form.ElementCount[kButton] = 1;
    ApplyNewElementDefaults(form, kImage, 0, app.settings.DefaultFont);
    ApplyNewElementDefaults(form, kButton, 0, app.settings.DefaultFont);
    form.Icon = "New\\pet.bmp";
    db.Folders[0].Icon = "root";
    db.Records[0].ImageValue[0] = "\\pics\\cat.jpg";
    db.Records[0].ButtonValue[0] = "\\music\\song.wav";

    QDir().mkpath(install.Path("trip"));
    running.dialogs.savePath = install.Path("trip/trip.2db");
    app.Parts().Window().Commands().Menu("mnuExMove")->trigger();
    QCOMPARE(db.DatabasePath, install.Path("trip/trip.2db"));
    QVERIFY(!db.Modified);
    QCOMPARE(db.Records[0].ImageValue[0], QString("\\trip.2dbfiles\\cat.jpg"));
    QCOMPARE(ReadBytes(install.Path("trip/trip.2dbfiles/Icons/pet.bmp")), QByteArray("icon"));
    QVERIFY(!QFileInfo::exists(install.Path("trip/trip.2dbfiles/Icons/root.bmp")));
    QVERIFY(running.dialogs.messages.isEmpty());

    QTemporaryDir elsewhere;
    QVERIFY(QFile::rename(install.Path("trip/trip.2db"), elsewhere.filePath("trip.2db")));
    QVERIFY(QDir().rename(install.Path("trip/trip.2dbfiles"), elsewhere.filePath("trip.2dbfiles")));
    CodePage codePage;
    const ReadOutcome moved = ReadDatabaseFile(elsewhere.filePath("trip.2db"), codePage, {});
    const QString song =
        ResolveDataPath(moved.db.Records[0].ButtonValue[0], elsewhere.filePath("trip.2db"));
    QCOMPARE(ReadBytes(song), QByteArray("song"));
  }
};

QTEST_MAIN(MovableExportTest)
#include "tst_movable_export.moc"
