// Without the storage library in reach, reading and writing fail cleanly.
// This test never points the binding at the program folder.
#include <QTemporaryDir>
#include <QtTest>

#include "storage/database_file.h"

using namespace orbo;

class MissingLibraryTest : public QObject {
  Q_OBJECT

 private slots:
  void readAndWriteReportTheMissingLibrary() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.2db"));
    CodePage codePage;
    Database db;
    const WriteOutcome written = WriteDatabaseFile(db, path, codePage);
    QVERIFY(!written.ok);
    QVERIFY2(written.error.contains(QStringLiteral("orboinout")), qPrintable(written.error));
    QVERIFY(!QFile::exists(path));
    const ReadOutcome read = ReadDatabaseFile(path, codePage, {});
    QCOMPARE(read.status, ReadOutcome::kFailed);
    QVERIFY(read.error.contains(QStringLiteral("orboinout")));
  }
};

QTEST_GUILESS_MAIN(MissingLibraryTest)
#include "tst_missing_library.moc"
