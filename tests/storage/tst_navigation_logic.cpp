// Structural changes of the folder tree on the model alone: stepping, slots
// for new records, deletion rounds, folder removal, exchange and paths.
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <set>

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

// Each folder as "name<parent", then each record as "name/folder", "*" when
// marked.
QString Shape(const Database& db) {
  QStringList parts;
  for (int k = 0; k < db.FolderCount; ++k)
    parts << QString("%1<%2").arg(db.Folders[k].Name).arg(db.Folders[k].Parent);
  for (int i = 0; i < db.RecordCount; ++i) {
    parts << QString("%1/%2%3")
                 .arg(db.Records[i].TextValue[0])
                 .arg(db.Records[i].Folder)
                 .arg(db.RecordMarks[i] ? "*" : "");
  }
  return parts.join(", ");
}

// The deletion rules, literally: every round scans the records behind the
// hole for the farthest first record of a folder other than the one that
// moved last.
RecordDeletion ReferenceDelete(Database& db, int r) {
  RecordDeletion result{{}, r};
  int excludedFolder = db.Records[r].Folder;
  for (;;) {
    std::set<int> seen;
    int candidate = -1;
    for (int i = result.hole + 1; i < db.RecordCount; ++i) {
      const int folder = db.Records[i].Folder;
      if (folder != F && seen.insert(folder).second && folder != excludedFolder) candidate = i;
    }
    if (candidate < 0) break;
    db.Records[result.hole] = db.Records[candidate];
    db.RecordMarks[result.hole] = db.RecordMarks[candidate];
    result.moves.push_back({candidate, result.hole});
    excludedFolder = db.Records[candidate].Folder;
    result.hole = candidate;
  }
  result.shrunk = db.RecordCount - result.hole <= kShrinkDistance;
  if (result.shrunk) {
    for (int i = result.hole; i < db.RecordCount - 1; ++i) {
      db.Records[i] = db.Records[i + 1];
      db.RecordMarks[i] = db.RecordMarks[i + 1];
    }
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount - 1));
  } else {
    db.Records[result.hole] = RecordData{};
    db.Records[result.hole].Folder = F;
    db.RecordMarks[result.hole] = false;
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
  return text.join(' ') + QString(" free %1: ").arg(db.BufferCount) + Shape(db);
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
  void stepping() {
    struct Case {
      int count;
      std::vector<int> inFolder2;
      int current;
      std::vector<int> nextPrevFirstLast;
    };
    const Case cases[] = {{10, {3, 7, 9}, 7, {9, 3, 3, 9}},   {10, {3, 7, 9}, 9, {-1, 7, 3, -1}},
                          {10, {3, 7, 9}, 3, {7, -1, -1, 9}}, {10, {3, 7, 9}, -1, {-1, -1, -1, -1}},
                          {3, {0, 1}, 1, {-1, 0, 0, -1}},     {3, {0, 1}, 0, {1, -1, -1, 1}}};
    for (const Case& c : cases) {
      std::vector<int> folders(static_cast<std::size_t>(c.count), 1);
      for (int r : c.inFolder2) folders[std::size_t(r)] = 2;
      const Database db = MakeDb(3, folders);
      QCOMPARE(
          (std::vector<int>{NextRecordIndex(db, c.current, 2), PrevRecordIndex(db, c.current, 2),
                            FirstRecordIndex(db, c.current, 2), LastRecordIndex(db, c.current, 2)}),
          c.nextPrevFirstLast);
    }
  }

  // Slots for many records of several folders at once are the slots one
  // record after another would take.
  void slotsAtOnceMatchOneByOne() {
    QRandomGenerator random(3);
    for (int round = 0; round < 300; ++round) {
      std::vector<int> folders(random.bounded(12));
      for (int& f : folders) f = random.bounded(3) == 0 ? F : int(random.bounded(3));
      Database db = MakeDb(3, folders);
      std::vector<int> added(random.bounded(8));
      for (int& f : added) f = random.bounded(4);  // folder 3 is one about to be made
      const std::vector<int> atOnce = ChooseRecordSlots(db, added);
      for (std::size_t i = 0; i < added.size(); ++i) {
        int slot = ChooseRecordSlot(db, added[i]);
        if (slot < 0) {
          SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount + 1));
          slot = db.RecordCount - 1;
          NewRecord(db, slot);
        }
        QCOMPARE(atOnce[i], slot);
        db.Records[slot].Folder = static_cast<std::int16_t>(added[i]);
      }
    }
  }

  // Batches of random records, from single ones to most of the table, one
  // after another, agree with the rules applied literally; every record
  // kept is found where the deletions say it went.
  void deletionFollowsTheRules() {
    for (quint32 seed = 20240; seed < 20540; ++seed) {
      QRandomGenerator random(seed);
      Database db = RandomTable(random);
      Database expectedDb = db;
      for (int step = 0; step < 40 && db.RecordCount > 0; ++step) {
        const int share = 1 + random.bounded(1 + random.bounded(db.RecordCount));
        std::vector<int> records;
        for (int r = 0; r < db.RecordCount; ++r)
          if (random.bounded(db.RecordCount) < share) records.push_back(r);
        std::shuffle(records.begin(), records.end(), random);
        // Each record named, to find it again where the deletions put it.
        for (int r = 0; r < db.RecordCount; ++r)
          db.Records[r].TextValue[0] = expectedDb.Records[r].TextValue[0] = QString::number(r);
        const Database before = db;
        const std::vector<RecordDeletion> deletions = DeleteRecordsInModel(db, records);
        for (int r = 0; r < before.RecordCount; ++r) {
          const int now = IndexAfterDeletions(deletions, r);
          const bool deleted = std::find(records.begin(), records.end(), r) != records.end();
          QCOMPARE(now == -1, deleted);
          if (!deleted) QCOMPARE(db.Records[now].TextValue[0], before.Records[r].TextValue[0]);
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

  void folderQueriesAndExchange() {
    Database db = MakeDb(5, {3, 1, 3, F});
    db.Folders[1].Parent = 0;
    db.Folders[3].Parent = 0;
    db.Folders[4].Parent = 3;
    QVERIFY(HasSubfolders(db, 3) && !HasSubfolders(db, 1));
    QCOMPARE(RecordsOf(db, 3), (std::vector<int>{0, 2}));
    QCOMPARE(SubfoldersOf(db, 0), (std::vector<int>{1, 3}));
    const FolderContents contents = CountFolderContents(db);
    QCOMPARE(contents.records, (std::vector<int>{0, 1, 0, 2, 0}));
    QCOMPARE(contents.subfolders, (std::vector<int>{2, 0, 0, 1, 0}));
    QCOMPARE((std::vector<int>{SiblingBelow(db, 3), SiblingAbove(db, 1), SiblingAbove(db, 3),
                               SiblingBelow(db, 1), SiblingAbove(db, 0)}),
             (std::vector<int>{1, 3, -1, -1, 2}));
    QVERIFY(IsInSubtree(db, 4, 0) && !IsInSubtree(db, 0, 4));
    QCOMPARE(FolderPath(db, 4), QStringLiteral("Folder 0\\Folder 3\\Folder 4"));
    ExchangeFolders(db, 1, 3);
    QCOMPARE(Shape(db), QString("Folder 0<-1, Folder 3<0, Folder 2<-1, Folder 1<0, Folder 4<1, "
                                "r0/1, r1/3, r2/1, /-100"));
    ExchangeFolders(db, 1, 4);  // a parent with its own child
    QCOMPARE(Shape(db), QString("Folder 0<-1, Folder 4<4, Folder 2<-1, Folder 1<0, Folder 3<0, "
                                "r0/4, r1/3, r2/4, /-100"));
    using Lists = std::vector<std::vector<int>>;
    QCOMPARE(SubfoldersByParent(db), (Lists{{0, 2}, {3, 4}, {}, {}, {}, {1}}));
    Database strays = db;
    strays.Folders[2].Parent = 2;
    strays.Folders[3].Parent = 5;
    QCOMPARE(SubfoldersByParent(strays), (Lists{{0}, {4}, {}, {}, {}, {1}}));
    db.Folders[0].Parent = 4;  // a damaged chain must still end
    QVERIFY(!IsInSubtree(db, 4, 2));
    QCOMPARE(FolderPath(db, 4).count(u'\\'), 5);
    RemoveFolderInModel(db, 2);
    QCOMPARE(Shape(db), QString("Folder 0<3, Folder 4<3, Folder 1<0, Folder 3<0, "
                                "r0/3, r1/2, r2/3, /-100"));
  }
};

QTEST_GUILESS_MAIN(NavigationLogicTest)
#include "tst_navigation_logic.moc"
