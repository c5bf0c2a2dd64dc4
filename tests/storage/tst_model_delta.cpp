// A delta takes a change back and does it again exactly, whatever the
// change did within its scope: random changes of the model's own logic on
// sample databases, undone and redone, must give the models before and
// after field for field.
#include <QRandomGenerator>
#include <QtTest>

#include "sample_databases.h"
#include "storage/model_delta.h"
#include "storage/navigation_logic.h"
#include "storage/sort_logic.h"
#include "storage/stored_content.h"

using namespace orbo;
using namespace orbo::test;

namespace {

// The text values of a record.
constexpr PerSlot<QString> RecordData::*kTexts[] = {&RecordData::TextValue, &RecordData::ImageValue,
                                                    &RecordData::ButtonValue,
                                                    &RecordData::MemoValue};

// Makes a change of the kinds the model's logic makes, chosen at random.
void RandomChange(QRandomGenerator& random, Database& d) {
  const int pick = static_cast<int>(random.bounded(8));
  const int r = d.RecordCount > 0 ? static_cast<int>(random.bounded(d.RecordCount)) : 0;
  const int f = d.FolderCount > 0 ? static_cast<int>(random.bounded(d.FolderCount)) : 0;
  const int slot = static_cast<int>(random.bounded(kSlotCount));
  const int n = d.RecordCount;
  std::vector<int> every2nd;
  switch (pick) {
    case 0:
      if (n > 0) DeleteRecordInModel(d, r);
      break;
    case 1:
      Rearrange(d, RecordSortPermutation(d, f, f % 2 == 0));
      break;
    case 2:
      if (n == 0) break;
      d.Records[r].TextValue[slot] += QStringLiteral("é");
      d.Records[r].FlagValue[slot] = !d.Records[r].FlagValue[slot];
      d.Records[r].ComboValue[slot] = 0;
      break;
    case 3:
      SetCount(d, kRecordsKind, static_cast<std::int16_t>(n + 2));
      NewRecord(d, n);
      NewRecord(d, n + 1);
      d.Records[n + 1].MemoValue[3] = QStringLiteral("new\r\nlines");
      break;
    case 4:
      if (n > 0) d.RecordMarks[r] = !d.RecordMarks[r];
      d.SplitterPos = static_cast<std::int16_t>(d.SplitterPos + 7);
      break;
    case 5:
      if (d.FolderCount == 0) break;
      d.Folders[f].Name = QStringLiteral("Renamed %1").arg(f);
      d.Forms[0].Elements[kText][0].Left += 15;
      d.Forms[0].TitleElement = {kMultiline, 0};
      break;
    case 6:
      Rearrange(d, FolderSortPermutation(d, f % 2 == 0 ? -1 : f, true));
      break;
    default:
      for (int i = 0; i < n; i += 2) every2nd.push_back(i);
      DeleteRecordsInModel(d, every2nd);
  }
}

Database Sample(int which) {
  return which % 3 == 0   ? FullFormDatabase()
         : which % 3 == 1 ? FreeSlotDatabase()
                          : ExampleDatabase();
}

}  // namespace

class ModelDeltaTest : public QObject {
  Q_OBJECT

 private slots:
  // Undo gives back the model before, redo the one after, and undoing
  // and redoing again changes nothing more: over chains of random changes.
  void undoAndRedoAreExact() {
    QRandomGenerator random(20261207);
    for (int run = 0; run < 60; ++run) {
      Database db = Sample(run);
      std::vector<Database> states{db};
      std::vector<ModelDelta> deltas;
      for (int step = 0; step < 12; ++step) {
        ModelDelta delta(db, ChangeScope::Everything());
        RandomChange(random, db);
        if (!delta.Finish(db)) {
          QCOMPARE(ModelDifference(db, states.back()), QString());
          continue;
        }
        deltas.push_back(std::move(delta));
        states.push_back(db);
      }
      for (std::size_t i = deltas.size(); i-- > 0;) {
        deltas[i].Undo(db);
        QCOMPARE(ModelDifference(db, states[i]), QString());
      }
      for (std::size_t i = 0; i < deltas.size(); ++i) {
        deltas[i].Redo(db);
        QCOMPARE(ModelDifference(db, states[i + 1]), QString());
      }
    }
  }

  // A delta keeps only what changed: one value of one record in a big
  // table costs about that record, not the table.
  void keepsOnlyWhatChanged() {
    Database db = FreeSlotDatabase();
    const int n = db.RecordCount;
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(n + 5000));
    for (int r = n; r < n + 5000; ++r) {
      NewRecord(db, r);
      db.Records[r].Folder = 0;
      db.Records[r].TextValue[0] = QStringLiteral("record %1").arg(r);
    }
    ModelDelta delta(db, ChangeScope::Everything());
    db.Records[n + 17].TextValue[0] = QStringLiteral("changed");
    QVERIFY(delta.Finish(db));
    const ChangedParts parts = delta.Parts();
    QCOMPARE(parts.recordIndices, std::vector<int>{n + 17});
    QVERIFY(!parts.folders && !parts.forms && !parts.marks && !parts.settings);
    QVERIFY2(delta.Bytes() < 1000, qPrintable(QString::number(delta.Bytes())));
  }

  // A scope of named entries sees a count that grows into them, and a
  // change that touches nothing is no delta.
  void namedEntriesAndGrowth() {
    Database db = ExampleDatabase();
    const Database before = db;
    const int n = db.RecordCount;
    ModelDelta grow(db, ChangeScope::Records({n}));
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(n + 1));
    NewRecord(db, n);
    db.Records[n].TextValue[0] = QStringLiteral("appended");
    QVERIFY(grow.Finish(db));
    const Database after = db;
    grow.Undo(db);
    QCOMPARE(ModelDifference(db, before), QString());
    grow.Redo(db);
    QCOMPARE(ModelDifference(db, after), QString());

    ModelDelta nothing(db, ChangeScope::Everything());
    db.Records[0].TextValue[1] = db.Records[0].TextValue[1];
    QVERIFY(!nothing.Finish(db));
  }

  // Folding later deltas in goes from the first one's before to the last
  // one's after, as typing merges into one step.
  void absorbingFollowsTheChain() {
    Database db = FullFormDatabase();
    const Database before = db;
    ModelDelta first(db, ChangeScope::Records({0}));
    db.Records[0].TextValue[0] = QStringLiteral("W");
    QVERIFY(first.Finish(db));
    for (const char* text : {"Wo", "Wor", "Word"}) {
      ModelDelta next(db, ChangeScope::Records({0, 1}));
      db.Records[0].TextValue[0] = QString::fromLatin1(text);
      db.RecordMarks[1] = !db.RecordMarks[1];
      QVERIFY(next.Finish(db));
      first.Absorb(next);
    }
    const Database after = db;
    first.Undo(db);
    QCOMPARE(ModelDifference(db, before), QString());
    first.Redo(db);
    QCOMPARE(ModelDifference(db, after), QString());
  }

  // A packed record holds exactly the record, empty texts and all.
  void packedRecordsRoundTrip() {
    QRandomGenerator random(7);
    for (int i = 0; i < 500; ++i) {
      RecordData record;
      record.Folder = static_cast<std::int16_t>(random.bounded(-100, 100));
      record.Form = static_cast<std::int16_t>(random.bounded(5));
      for (int k = 0; k < 12; ++k) {
        const int slot = static_cast<int>(random.bounded(kSlotCount));
        const QString text = random.bounded(3) ? QString::number(random.generate()) : QString();
        const int pick = static_cast<int>(random.bounded(6));
        if (pick < 4)
          (record.*kTexts[pick])[slot] = text;
        else if (pick == 4)
          record.ComboValue[slot] = static_cast<std::int16_t>(random.bounded(-3, 3));
        else
          record.FlagValue[slot] = random.bounded(2) == 1;
      }
      const PackedRecord packed(record);
      QVERIFY(packed.Unpack() == record);
      QVERIFY(packed.Equals(record));
      RecordData other = record;
      other.ComboValue[16] = static_cast<std::int16_t>(other.ComboValue[16] + 1);
      QVERIFY(!packed.Equals(other));
      other = record;
      other.MemoValue[0] += QLatin1Char('x');
      QVERIFY(!packed.Equals(other));
    }
  }
};

QTEST_APPLESS_MAIN(ModelDeltaTest)
#include "tst_model_delta.moc"
