// A rearrangement of records or folders, as a sort keeps it for undo: done,
// taken back and done again on random slots of sample databases, it moves
// exactly the entries named, marks go with their records, whatever a moved
// folder held stays under it, and back and again give the models before
// and after field for field.
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <numeric>

#include "sample_databases.h"
#include "storage/model_invariants.h"
#include "storage/navigation_logic.h"
#include "storage/slot_permutation.h"
#include "storage/sort_logic.h"
#include "storage/stored_content.h"

using namespace orbo;
using namespace orbo::test;

namespace {

using Table = SlotPermutation::Table;

// A sample with more records (some alike, some marked) and more folders,
// each folder named uniquely so it can be told after it moved.
Database Sample(QRandomGenerator& random, int which) {
  Database db = which % 3 == 0   ? FullFormDatabase()
                : which % 3 == 1 ? FreeSlotDatabase()
                                 : ExampleDatabase();
  const int folders = db.FolderCount + static_cast<int>(random.bounded(12));
  for (int f = db.FolderCount; f < folders; ++f) {
    SetCount(db, kFoldersKind, static_cast<std::int16_t>(f + 1));
    NewFolder(db, f);
    db.Folders[f].Parent = static_cast<std::int16_t>(random.bounded(f + 1) - 1);
  }
  for (int f = 0; f < db.FolderCount; ++f) db.Folders[f].Name = QStringLiteral("F%1").arg(f);
  const int records = db.RecordCount + static_cast<int>(random.bounded(30));
  for (int r = db.RecordCount; r < records; ++r) {
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(r + 1));
    NewRecord(db, r);
    db.Records[r].Folder = static_cast<std::int16_t>(random.bounded(db.FolderCount));
    db.Records[r].TextValue[0] = QString(QChar(u'a' + random.bounded(3)));
  }
  for (int r = 0; r < db.RecordCount; ++r) db.RecordMarks[r] = random.bounded(3) == 0;
  RecountBuffers(db);
  return db;
}

// Random slots of a table in table order, shuffled among themselves; now
// and then a sort's own.
SlotPermutation RandomPermutation(QRandomGenerator& random, const Database& db) {
  const bool folders = random.bounded(2) == 0;
  if (random.bounded(4) == 0) {
    return folders ? FolderSortPermutation(db, static_cast<int>(random.bounded(db.FolderCount)) - 1,
                                           random.bounded(2) == 0)
                   : RecordSortPermutation(db, static_cast<int>(random.bounded(db.FolderCount)),
                                           random.bounded(2) == 0);
  }
  SlotPermutation permutation{folders ? Table::kFolders : Table::kRecords, {}, {}};
  const int count = folders ? db.FolderCount : db.RecordCount;
  for (int slot = 0; slot < count; ++slot) {
    if (random.bounded(2) == 0) permutation.places.push_back(slot);
  }
  permutation.order.resize(permutation.places.size());
  std::iota(permutation.order.begin(), permutation.order.end(), 0);
  std::shuffle(permutation.order.begin(), permutation.order.end(), random);
  return permutation;
}

// Where each entry of before went: places[order[k]] to places[k], the rest stay.
std::vector<int> NewSlots(const SlotPermutation& permutation, int count) {
  std::vector<int> to(static_cast<std::size_t>(count));
  std::iota(to.begin(), to.end(), 0);
  for (std::size_t k = 0; k < permutation.places.size(); ++k)
    to[permutation.places[permutation.order[k]]] = permutation.places[k];
  return to;
}

// The entries went where the permutation says, marks with their records;
// records and folders stay under the folder of the same name.
QString Misplaced(const Database& before, const Database& after, const SlotPermutation& p) {
  if (p.table == Table::kRecords) {
    const std::vector<int> to = NewSlots(p, before.RecordCount);
    for (int r = 0; r < before.RecordCount; ++r) {
      if (!(after.Records[to[r]] == before.Records[r]) ||
          after.RecordMarks[to[r]] != before.RecordMarks[r]) {
        return QStringLiteral("record %1 is not at %2").arg(r).arg(to[r]);
      }
    }
    return {};
  }
  const std::vector<int> to = NewSlots(p, before.FolderCount);
  auto nameOf = [](const Database& db, int folder) {
    return IsFolderIndex(db, folder) ? db.Folders[folder].Name : QString::number(folder);
  };
  for (int f = 0; f < before.FolderCount; ++f) {
    const FolderDef& moved = after.Folders[to[f]];
    if (moved.Name != before.Folders[f].Name || moved.Icon != before.Folders[f].Icon)
      return QStringLiteral("folder %1 is not at %2").arg(f).arg(to[f]);
    if (nameOf(after, moved.Parent) != nameOf(before, before.Folders[f].Parent))
      return QStringLiteral("folder %1 left its parent").arg(f);
  }
  for (int r = 0; r < before.RecordCount; ++r) {
    if (nameOf(after, after.Records[r].Folder) != nameOf(before, before.Records[r].Folder))
      return QStringLiteral("record %1 left its folder").arg(r);
  }
  return {};
}

}  // namespace

class SlotPermutationTest : public QObject {
  Q_OBJECT

 private slots:
  void backAndAgainAreExact() {
    QRandomGenerator random(20261208);
    for (int round = 0; round < 600; ++round) {
      Database db = Sample(random, round);
      const Database before = db;
      const SlotPermutation permutation = RandomPermutation(random, db);
      const bool changes = ChangesAnything(db, permutation);
      Rearrange(db, permutation);
      const Database after = db;
      QCOMPARE(Misplaced(before, after, permutation), QString());
      QCOMPARE(changes, !ModelDifference(before, after).isEmpty());
      QVERIFY(FindModelProblems(after).empty());
      for (int again = 0; again < 2; ++again) {
        RearrangeBack(db, permutation);
        QCOMPARE(ModelDifference(db, before), QString());
        Rearrange(db, permutation);
        QCOMPARE(ModelDifference(db, after), QString());
      }
    }
  }

  // Moves that leave every entry as it was change nothing: alike records
  // exchanged, alike empty folders exchanged; a folder that holds anything
  // renumbers it.
  void alikeEntriesChangeNothing() {
    Database db = ExampleDatabase();
    SetCount(db, kRecordsKind, 3);
    for (int r = 0; r < 3; ++r) NewRecord(db, r);
    db.Records[2].TextValue[0] = QStringLiteral("other");
    SetCount(db, kFoldersKind, 3);
    for (int f = 1; f < 3; ++f) NewFolder(db, f);
    db.Folders[1].Name = db.Folders[2].Name = QStringLiteral("Same");
    QVERIFY(!ChangesAnything(db, {Table::kRecords, {0, 1}, {1, 0}}));
    QVERIFY(ChangesAnything(db, {Table::kRecords, {1, 2}, {1, 0}}));
    db.RecordMarks[1] = true;
    QVERIFY(ChangesAnything(db, {Table::kRecords, {0, 1}, {1, 0}}));
    QVERIFY(!ChangesAnything(db, {Table::kFolders, {1, 2}, {1, 0}}));
    db.Records[0].Folder = 2;
    QVERIFY(ChangesAnything(db, {Table::kFolders, {1, 2}, {1, 0}}));
  }
};

QTEST_GUILESS_MAIN(SlotPermutationTest)
#include "tst_slot_permutation.moc"
