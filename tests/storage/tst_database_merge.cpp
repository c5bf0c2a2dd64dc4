#include <QtTest>

#include "sample_databases.h"
#include "storage/database_merge.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

// Folders in a tree, records in several of them, and free slots.
Database MixedDatabase() {
  Database db = FullFormDatabase();
  const int r = db.RecordCount;
  SetCount(db, kRecordsKind, static_cast<std::int16_t>(r + 2));
  db.Records[r] = RecordData();
  db.Records[r].Folder = BufferFolder;
  db.Records[r + 1] = db.Records[1];
  db.Records[r + 1].Folder = 2;
  RecountBuffers(db);
  return db;
}

}  // namespace

class DatabaseMergeTest : public QObject {
  Q_OBJECT

 private:
  SampleFiles files_;
  CodePage codePage_;

  QString Saved(const Database& db, const QString& name) const { return files_.Saved(db, name); }

  MergeOutcome Merge(Database& db, const QString& path, const QString& password = {}) {
    return MergeDatabaseFile(db, path, codePage_, [password] { return password; });
  }

 private slots:
  void initTestCase() {
    QVERIFY(files_.IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  void mergingIntoItselfDoublesEverything() {
    const Database original = MixedDatabase();
    Database db = original;
    db.DatabasePath = Saved(original, QStringLiteral("self.2db"));
    db.SplitterPos = 1234;
    const MergeOutcome outcome = Merge(db, db.DatabasePath);
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.status, ReadOutcome::kLoaded);

    const int oldF = original.FormCount;
    const int oldR = original.RecordCount;
    const int oldD = original.FolderCount;
    QCOMPARE(db.FormCount, 2 * oldF);
    QCOMPARE(db.RecordCount, 2 * oldR);
    QCOMPARE(db.FolderCount, 2 * oldD);
    QCOMPARE(db.BufferCount, 2 * original.BufferCount);
    QCOMPARE(db.SplitterPos, std::int16_t(1234));
    for (int f = 0; f < oldF; ++f) QVERIFY(db.Forms[oldF + f] == original.Forms[f]);
    for (int j = 0; j < oldR; ++j) {
      const RecordData& source = original.Records[j];
      const RecordData& merged = db.Records[oldR + j];
      QCOMPARE(merged.Form, source.Form + oldF);
      QCOMPARE(merged.Folder, source.Folder == BufferFolder ? BufferFolder : source.Folder + oldD);
      QCOMPARE(merged.TextValue[0], source.TextValue[0]);
      QVERIFY(!db.RecordMarks[oldR + j]);
    }
    for (int d = 0; d < oldD; ++d) {
      const FolderDef& source = original.Folders[d];
      const FolderDef& merged = db.Folders[oldD + d];
      QCOMPARE(merged.Name, source.Name);
      QCOMPARE(merged.Parent,
               source.Parent == TopLevelParent ? TopLevelParent : source.Parent + oldD);
    }
  }

  void mergingIntoAnEmptyDatabaseGivesTheFile() {
    const Database source = MixedDatabase();
    Database db;
    ClearDatabase(db, Arial(14));
    QCOMPARE(Merge(db, Saved(source, QStringLiteral("into-empty.2db"))).status,
             ReadOutcome::kLoaded);
    QCOMPARE(db.DatabaseFont, Arial(14));
    db.DatabaseFont = source.DatabaseFont;
    QCOMPARE(StoredDifference(source, db), QString());
  }

  void passwordOnlyReadsTheImportedFile() {
    const QString path = Saved(Locked(ExampleDatabase(), QStringLiteral("their secret")), QStringLiteral("locked.2db"));
    Database db = Locked(MixedDatabase(), QStringLiteral("mine"));
    const MergeOutcome outcome = Merge(db, path, QStringLiteral("their secret"));
    QCOMPARE(outcome.status, ReadOutcome::kLoaded);
    QVERIFY(outcome.askedPassword);
    QCOMPARE(db.Password, QStringLiteral("mine"));
    QVERIFY(db.PasswordOn);
  }

  void failedMergeChangesNothing_data() {
    QTest::addColumn<bool>("missing");
    QTest::newRow("damaged file") << false;
    QTest::newRow("missing file") << true;
  }

  void failedMergeChangesNothing() {
    QFETCH(bool, missing);
    QString path = Saved(LargeDatabase(), QStringLiteral("import.2db"));
    QVERIFY(QFile::resize(path, QFileInfo(path).size() - 20));
    if (missing) path += QStringLiteral(".gone");

    Database db = MixedDatabase();
    const Database before = db;
    const MergeOutcome outcome = Merge(db, path, QString());
    QCOMPARE(outcome.status, ReadOutcome::kFailed);
    QCOMPARE(StoredDifference(before, db), QString());
    QCOMPARE(db.Records.size(), before.Records.size());
    QCOMPARE(db.Forms.size(), before.Forms.size());
    QCOMPARE(db.BufferCount, before.BufferCount);
    QCOMPARE(db.Password, before.Password);
  }

  void appendingADatabaseToItselfInMemory() {
    Database db = MixedDatabase();
    const Database before = db;
    AppendDatabase(db, db);
    QCOMPARE(db.RecordCount, 2 * before.RecordCount);
    QCOMPARE(db.Folders[2 * before.FolderCount - 1].Parent,
             before.Folders.at(before.FolderCount - 1).Parent + before.FolderCount);
  }

  void countsBeyondTheLimitAreRefused() {
    Database db = ExampleDatabase();
    Database imported = ExampleDatabase();
    SetCount(db, kRecordsKind, 32000);
    SetCount(imported, kRecordsKind, 800);
    const Database before = db;
    QVERIFY_THROWS_EXCEPTION(StorageError, AppendDatabase(db, imported));
    QCOMPARE(db.RecordCount, before.RecordCount);
    QCOMPARE(db.FormCount, before.FormCount);
  }

  void progressCountsRecordsByTheirIndexInTheDatabase() {
    Database imported = ExampleDatabase();
    SetCount(imported, kRecordsKind, 250);
    for (int r = 0; r < 250; ++r) imported.Records[r] = imported.Records[0];
    Database db = ExampleDatabase();
    SetCount(db, kRecordsKind, 50);
    for (int r = 0; r < 50; ++r) db.Records[r] = db.Records[0];
    QList<int> shown;
    const MergeOutcome outcome =
        MergeDatabaseFile(db, Saved(imported, QStringLiteral("progress.2db")), codePage_, {},
                          [&](int v) { shown << v; });
    QCOMPARE(outcome.status, ReadOutcome::kLoaded);
    QCOMPARE(shown, (QList<int>{33, 66, 200}));
  }
};

QTEST_GUILESS_MAIN(DatabaseMergeTest)
#include "tst_database_merge.moc"
