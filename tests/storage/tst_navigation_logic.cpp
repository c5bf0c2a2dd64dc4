// Structural changes of the folder tree on the model alone: stepping, slots
// for new records, deletion rounds, folder removal and exchange.
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <map>

#include "storage/navigation_logic.h"

using namespace orbo;

namespace {

constexpr int F = BufferFolder;

// Record i is named "r<i>" so a test can follow it through moves.
Database MakeDb(int folders, const std::vector<int>& recordFolders) {
  Database db;
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(folders));
  for (int k = 0; k < folders; ++k) NewFolder(db, k);
  SetCount(db, kRecordsKind, static_cast<std::int16_t>(recordFolders.size()));
  for (int i = 0; i < db.RecordCount; ++i) {
    NewRecord(db, i);
    db.Records[i].Folder = static_cast<std::int16_t>(recordFolders[i]);
    if (recordFolders[i] != F) db.Records[i].TextValue[0] = QString("r%1").arg(i);
  }
  RecountBuffers(db);
  return db;
}

// Each folder as "name<parent", then each record's folder.
QString Shape(const Database& db) {
  QStringList parts;
  for (int k = 0; k < db.FolderCount; ++k)
    parts << QString("%1<%2").arg(db.Folders[k].Name).arg(db.Folders[k].Parent);
  for (int i = 0; i < db.RecordCount; ++i) parts << QString::number(db.Records[i].Folder);
  return parts.join(", ");
}

// The deletion rules, literally: every round scans the records behind the
// hole for each folder's first one.
RecordDeletion ReferenceDelete(Database& db, int r) {
  RecordDeletion result;
  int hole = r;
  int excludedFolder = db.Records[r].Folder;
  while (hole < db.RecordCount - 1) {
    std::map<int, int> firstOfFolder;
    for (int i = hole + 1; i < db.RecordCount; ++i) {
      const int folder = db.Records[i].Folder;
      if (folder != F && !firstOfFolder.contains(folder)) firstOfFolder[folder] = i;
    }
    int candidate = -1;
    for (const auto& [folder, first] : firstOfFolder)
      if (folder != excludedFolder) candidate = std::max(candidate, first);
    if (candidate < 0) break;
    db.Records[hole] = db.Records[candidate];
    db.RecordMarks[hole] = db.RecordMarks[candidate];
    result.moves.push_back({candidate, hole});
    excludedFolder = db.Records[hole].Folder;
    hole = candidate;
  }
  result.hole = hole;
  result.shrunk = db.RecordCount - hole <= kShrinkDistance;
  if (result.shrunk) {
    for (int i = hole; i < db.RecordCount - 1; ++i) {
      db.Records[i] = db.Records[i + 1];
      db.RecordMarks[i] = db.RecordMarks[i + 1];
    }
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount - 1));
  } else {
    db.Records[hole] = RecordData{};
    db.Records[hole].Folder = F;
    db.RecordMarks[hole] = false;
  }
  RecountBuffers(db);
  return result;
}

// The deletions and the table they leave, in words: two runs agree when
// their outcomes read the same, and a failure shows both.
QString Outcome(const std::vector<RecordDeletion>& deletions, const Database& db) {
  QStringList text;
  for (const RecordDeletion& d : deletions) {
    for (const RecordMove& m : d.moves) text << QString("%1->%2").arg(m.from).arg(m.to);
    text << QString("hole %1%2;").arg(d.hole).arg(d.shrunk ? " shrunk" : "");
  }
  text << QString("free %1:").arg(db.BufferCount);
  for (int i = 0; i < db.RecordCount; ++i) {
    text << QString("%1/%2%3")
                .arg(db.Records[i].TextValue[0])
                .arg(db.Records[i].Folder)
                .arg(db.RecordMarks[i] ? "*" : "");
  }
  return text.join(' ');
}

// A table of up to 200 records in up to 6 folders, with runs of one folder
// as often as interleaving, some free slots and some marks.
Database RandomTable(QRandomGenerator& random) {
  const int count = random.bounded(201);
  const int folders = 1 + random.bounded(6);
  const int stickiness = random.bounded(4);
  const int freeShare = random.bounded(4);
  std::vector<int> recordFolders;
  int folder = 0;
  for (int i = 0; i < count; ++i) {
    if (random.bounded(4) >= stickiness) folder = random.bounded(folders);
    recordFolders.push_back(random.bounded(10) < freeShare ? F : folder);
  }
  Database db = MakeDb(folders, recordFolders);
  for (int i = 0; i < count; ++i) db.RecordMarks[i] = random.bounded(3) == 0;
  return db;
}

}  // namespace

class NavigationLogicTest : public QObject {
  Q_OBJECT

 private slots:
  // Next, previous, first and last record of folder 2 from current; the
  // other records are in folder 1.
  void stepping_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<std::vector<int>>("inFolder2");
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("nextPrevFirstLast");
    const std::vector<int> spread{3, 7, 9};
    QTest::newRow("middle") << 10 << spread << 7 << QList<int>{9, 3, 3, 9};
    QTest::newRow("last of table") << 10 << spread << 9 << QList<int>{-1, 7, 3, -1};
    QTest::newRow("first of folder") << 10 << spread << 3 << QList<int>{7, -1, -1, 9};
    QTest::newRow("folder open") << 10 << spread << -1 << QList<int>{-1, -1, -1, -1};
    QTest::newRow("back to the table's first")
        << 3 << std::vector<int>{0, 1} << 1 << QList<int>{-1, 0, 0, -1};
    QTest::newRow("the table's first")
        << 3 << std::vector<int>{0, 1} << 0 << QList<int>{1, -1, -1, 1};
  }
  void stepping() {
    QFETCH(int, count);
    QFETCH(std::vector<int>, inFolder2);
    QFETCH(int, current);
    std::vector<int> folders(static_cast<std::size_t>(count), 1);
    for (int r : inFolder2) folders[std::size_t(r)] = 2;
    const Database db = MakeDb(3, folders);
    QTEST((QList<int>{NextRecordIndex(db, current, 2), PrevRecordIndex(db, current, 2),
                      FirstRecordIndex(db, current, 2), LastRecordIndex(db, current, 2)}),
          "nextPrevFirstLast");
  }

  // Many slots at once are the slots one record after another would take.
  void slotsAtOnceMatchOneByOne() {
    QRandomGenerator random(3);
    for (int round = 0; round < 300; ++round) {
      std::vector<int> folders(random.bounded(12));
      for (int& f : folders) f = random.bounded(3) == 0 ? F : int(random.bounded(3));
      Database db = MakeDb(3, folders);
      const int folder = random.bounded(3);
      const int count = random.bounded(8);
      const std::vector<int> atOnce = ChooseRecordSlots(db, folder, count);
      QCOMPARE(int(atOnce.size()), count);
      for (int i = 0; i < count; ++i) {
        int slot = ChooseRecordSlot(db, folder);
        QCOMPARE(atOnce[i], slot);
        if (slot < 0) {
          SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount + 1));
          slot = db.RecordCount - 1;
          NewRecord(db, slot);
        }
        db.Records[slot].Folder = static_cast<std::int16_t>(folder);
      }
    }
  }

  // Single deletions, whole folders and random batches, one after another,
  // agree with the rules applied literally.
  void deletionFollowsTheRules() {
    constexpr quint32 kSeed = 20240;
    for (quint32 seed = kSeed; seed < kSeed + 300; ++seed) {
      QRandomGenerator random(seed);
      Database db = RandomTable(random);
      Database expectedDb = db;
      for (int step = 0; step < 40 && db.RecordCount > 0; ++step) {
        std::vector<int> records;
        std::vector<RecordDeletion> deletions;
        switch (random.bounded(3)) {
          case 0:
            records = {random.bounded(db.RecordCount)};
            deletions = {DeleteRecordInModel(db, records[0])};
            break;
          case 1:
            records = RecordsOf(db, random.bounded(db.FolderCount));
            deletions = DeleteRecordsInModel(db, records);
            break;
          default:
            for (int r = 0; r < db.RecordCount; ++r)
              if (db.Records[r].Folder != F && random.bounded(3) == 0) records.push_back(r);
            std::shuffle(records.begin(), records.end(), random);
            deletions = DeleteRecordsInModel(db, records);
        }
        std::sort(records.begin(), records.end(), std::greater<>());
        std::vector<RecordDeletion> expected;
        for (int r : records) expected.push_back(ReferenceDelete(expectedDb, r));
        const QString got = Outcome(deletions, db);
        const QString wanted = Outcome(expected, expectedDb);
        if (got != wanted) qWarning("seed %u, step %d", seed, step);
        QCOMPARE(got, wanted);
      }
    }
  }

  void removingFolderRenumbersTheRest() {
    Database db = MakeDb(6, {5, 4, 5, F, 1, 4});
    db.Folders[1].Parent = 0;
    db.Folders[5].Parent = 4;
    db.Folders[2].Parent = 5;
    RemoveFolderInModel(db, 3);
    QCOMPARE(Shape(db), QString("Folder 0<-1, Folder 1<0, Folder 2<4, Folder 4<-1, Folder 5<3, "
                                "4, 3, 4, -100, 1, 3"));
    RemoveFolderInModel(db, 0);
    QCOMPARE(db.Folders[0].Name, QString("Folder 1"));
  }

  void folderQueriesAndExchange() {
    Database db = MakeDb(5, {3, 1, 3, F});
    db.Folders[1].Parent = 0;
    db.Folders[3].Parent = 0;
    db.Folders[4].Parent = 3;
    QVERIFY(HasSubfolders(db, 3) && !HasSubfolders(db, 1));
    QCOMPARE(RecordsOf(db, 3), (std::vector<int>{0, 2}));
    QCOMPARE(SubfoldersOf(db, 0), (std::vector<int>{1, 3}));
    QCOMPARE(SubfoldersOf(db, -1), (std::vector<int>{0, 2}));
    const FolderContents contents = CountFolderContents(db);
    QCOMPARE(contents.records, (std::vector<int>{0, 1, 0, 2, 0}));
    QCOMPARE(contents.subfolders, (std::vector<int>{2, 0, 0, 1, 0}));
    QCOMPARE((std::vector<int>{SiblingBelow(db, 3), SiblingAbove(db, 1), SiblingAbove(db, 3),
                               SiblingBelow(db, 1), SiblingAbove(db, 0)}),
             (std::vector<int>{1, 3, -1, -1, 2}));
    QCOMPARE((std::vector<int>{SiblingBelow(db, -1), SiblingBelow(db, 5), SiblingAbove(db, 5)}),
             (std::vector<int>{-1, -1, -1}));
    QVERIFY(IsInSubtree(db, 4, 0) && IsInSubtree(db, 3, 3));
    QVERIFY(!IsInSubtree(db, 0, 4) && !IsInSubtree(db, 2, 0));
    ExchangeFolders(db, 1, 3);
    QCOMPARE(Shape(db), QString("Folder 0<-1, Folder 3<0, Folder 2<-1, Folder 1<0, Folder 4<1, "
                                "1, 3, 1, -100"));
    ExchangeFolders(db, 1, 4);  // a parent with its own child
    QCOMPARE(Shape(db), QString("Folder 0<-1, Folder 4<4, Folder 2<-1, Folder 1<0, Folder 3<0, "
                                "4, 3, 4, -100"));
    db.Folders[0].Parent = 4;  // a damaged chain must still end
    QVERIFY(!IsInSubtree(db, 4, 2));
  }

  // A folder's path names its ancestors from the top down; a damaged parent
  // chain that loops still ends.
  void folderPaths() {
    Database db = MakeDb(4, {});
    const char* const names[] = {"A", "B", "C", "D"};
    const int parents[] = {TopLevelParent, 0, 1, 3};
    for (int k = 0; k < 4; ++k) {
      db.Folders[std::size_t(k)].Name = QString::fromLatin1(names[k]);
      db.Folders[std::size_t(k)].Parent = static_cast<std::int16_t>(parents[k]);
    }
    QCOMPARE(FolderPath(db, 2), QStringLiteral("A\\B\\C"));
    QCOMPARE(FolderPath(db, 0), QStringLiteral("A"));
    QCOMPARE(FolderPath(db, 3).count(u'D'), 5);
    QCOMPARE(FolderPath(db, 7), QString());
  }
};

QTEST_GUILESS_MAIN(NavigationLogicTest)
#include "tst_navigation_logic.moc"
