// A delta keeps only what a change did within its scope, and takes it back
// and does it again exactly.
#include <QRandomGenerator>
#include <QtTest>

#include "sample_databases.h"
#include "storage/model_delta.h"
#include "storage/navigation_logic.h"
#include "storage/stored_content.h"

using namespace orbo;
using namespace orbo::test;

class ModelDeltaTest : public QObject {
  Q_OBJECT

 private slots:
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

  // A packed record holds exactly the record, empty texts and all.
  void packedRecordsRoundTrip() {
    constexpr PerSlot<QString> RecordData::*kTexts[] = {
        &RecordData::TextValue, &RecordData::ImageValue, &RecordData::ButtonValue,
        &RecordData::MemoValue};
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
