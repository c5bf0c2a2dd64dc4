#include <QtTest>

#include "sample_databases.h"
#include "storage/database_merge.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

class DatabaseMergeTest : public QObject, SampleFiles {
  Q_OBJECT

 private:
  CodePage codePage_;

  MergeOutcome Merge(Database& db, const QString& path, const QString& password = {}) {
    return MergeDatabaseFile(db, path, codePage_, password);
  }

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // The file's forms, records and folders follow the database's own,
  // renumbered and unmarked; the database keeps its marks and password.
  void mergingIntoItselfRenumbers() {
    Database original = FullFormDatabase();
    original.Records[3].Folder = BufferFolder;
    RecountBuffers(original);
    Database db = Locked(original, QStringLiteral("mine"));
    db.DatabasePath = Saved(Locked(original, QStringLiteral("theirs")), QStringLiteral("self.2db"));
    std::fill(db.RecordMarks.begin(), db.RecordMarks.end(), true);
    const MergeOutcome outcome = Merge(db, db.DatabasePath, QStringLiteral("theirs"));
    QCOMPARE(outcome.status, ReadOutcome::kLoaded);
    QCOMPARE(db.Password, QStringLiteral("mine"));

    const int oldF = original.FormCount;
    const int oldR = original.RecordCount;
    const int oldD = original.FolderCount;
    QCOMPARE(db.FormCount, 2 * oldF);
    QCOMPARE(db.RecordCount, 2 * oldR);
    QCOMPARE(db.FolderCount, 2 * oldD);
    QCOMPARE(db.BufferCount, 2 * original.BufferCount);
    for (int f = 0; f < oldF; ++f) QVERIFY(db.Forms[oldF + f] == original.Forms[f]);
    for (int j = 0; j < oldR; ++j) {
      const RecordData& source = original.Records[j];
      const RecordData& merged = db.Records[oldR + j];
      QCOMPARE(merged.Form, source.Form + oldF);
      QCOMPARE(merged.Folder, source.Folder == BufferFolder ? BufferFolder : source.Folder + oldD);
      QCOMPARE(merged.TextValue[0], source.TextValue[0]);
      QVERIFY(db.RecordMarks[j] && !db.RecordMarks[oldR + j]);
    }
    for (int d = 0; d < oldD; ++d) {
      const FolderDef& source = original.Folders[d];
      const FolderDef& merged = db.Folders[oldD + d];
      QCOMPARE(merged.Name, source.Name);
      QCOMPARE(merged.Parent,
               source.Parent == TopLevelParent ? TopLevelParent : source.Parent + oldD);
    }
  }

  // More records than a database holds: no room is taken. (That nothing
  // changes, fuzz_merge checks.)
  void failedMergeTakesNoRoom() {
    const Database large = LargeDatabase();
    const QString path = Saved(large, QStringLiteral("import.2db"));
    Database db = FreeSlotDatabase();
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(32768 - large.RecordCount));
    const Database before = db;
    QCOMPARE(Merge(db, path).status, ReadOutcome::kFailed);
    QCOMPARE(db.Records.size(), before.Records.size());
  }
};

QTEST_GUILESS_MAIN(DatabaseMergeTest)
#include "tst_database_merge.moc"
