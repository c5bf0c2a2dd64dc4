// Whether a rearrangement a sort would keep for undo changes anything: the
// sort makes no step when it does not. Done and taken back on real models,
// rearrangements are checked by the undo runs of tst_command_sequences.
#include <QtTest>

#include "sample_databases.h"
#include "storage/navigation_logic.h"
#include "storage/slot_permutation.h"

using namespace orbo;
using namespace orbo::test;

using Table = SlotPermutation::Table;

class SlotPermutationTest : public QObject {
  Q_OBJECT

 private slots:
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
