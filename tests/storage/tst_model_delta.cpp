// A delta keeps only what a change did. That it takes the change back and
// does it again exactly, the undo runs of tst_command_sequences check.
#include <QtTest>

#include "sample_databases.h"
#include "storage/model_delta.h"
#include "storage/navigation_logic.h"

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
    // A change that touches nothing is no delta.
    ModelDelta nothing(db, ChangeScope::Everything());
    db.Records[0].TextValue[1] = db.Records[0].TextValue[1];
    QVERIFY(!nothing.Finish(db));
  }
};

QTEST_APPLESS_MAIN(ModelDeltaTest)
#include "tst_model_delta.moc"
