#include <QtTest>

#include "sample_databases.h"
#include "storage/model_defaults.h"

using namespace orbo;
using namespace orbo::test;

class DatabaseModelTest : public QObject {
  Q_OBJECT

 private slots:
  void setCountGrowsOnlyWhenRoomIsShort_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("margin");
    QTest::newRow("records") << kRecordsKind << 100;
    QTest::newRow("folders") << kFoldersKind << 50;
    QTest::newRow("forms") << kFormsKind << 20;
  }

  void setCountGrowsOnlyWhenRoomIsShort() {
    QFETCH(int, kind);
    QFETCH(int, margin);
    const auto upperBound = [kind](const Database& db) -> int {
      switch (kind) {
        case kRecordsKind:
          return int(db.Records.size()) - 1;
        case kFoldersKind:
          return int(db.Folders.size()) - 1;
        default:
          return int(db.Forms.size()) - 1;
      }
    };
    const auto count = [kind](const Database& db) -> int {
      return kind == kRecordsKind   ? db.RecordCount
             : kind == kFoldersKind ? db.FolderCount
                                    : db.FormCount;
    };
    Database db;
    SetCount(db, kind, 40);
    QCOMPARE(upperBound(db), 40 + margin);
    QCOMPARE(count(db), 40);

    // Upper bound n + 10 is room enough; n + 9 is not.
    const int n = upperBound(db) - 10;
    SetCount(db, kind, static_cast<std::int16_t>(n));
    QCOMPARE(upperBound(db), 40 + margin);
    SetCount(db, kind, static_cast<std::int16_t>(n + 1));
    QCOMPARE(upperBound(db), n + 1 + margin);

    // Never shrinks; stale entries stay.
    SetCount(db, kind, 0);
    QCOMPARE(upperBound(db), n + 1 + margin);
    QCOMPARE(count(db), 0);
    if (kind == kRecordsKind) QCOMPARE(db.RecordMarks.size(), db.Records.size());
  }

  void clearDatabaseResetsStateButKeepsForms() {
    Database db = FullFormDatabase();
    db.DatabasePath = QStringLiteral("/x/y.2db");
    db.PasswordOn = true;
    db.Password = QStringLiteral("pw");
    db.SplitterPos = 10;
    db.MaxListString = 3;
    ClearDatabase(db, Arial(12));
    QCOMPARE(db.DatabasePath, QStringLiteral("noname"));
    QCOMPARE(db.RecordCount, std::int16_t(0));
    QCOMPARE(db.FolderCount, std::int16_t(0));
    QCOMPARE(db.FormCount, std::int16_t(2));
    QCOMPARE(db.SplitterPos, std::int16_t(2500));
    QCOMPARE(db.MaxListString, std::int16_t(20));
    QCOMPARE(db.DatabaseFont, Arial(12));
    QVERIFY(!db.PasswordOn);
    QVERIFY(db.Password.isEmpty());
  }

  void newElementKeepsWhatItsTypeLeavesUnchanged() {
    FormDef form;
    ElementDef& button = form.Elements[kButton][4];
    button.Border = 7;
    button.ForeColor = 1234;
    ApplyNewElementDefaults(form, kButton, 4, Arial());
    QCOMPARE(button.Name, QStringLiteral("Button 4"));
    QCOMPARE(button.Left, std::int16_t(3 * 700 + 100));
    QCOMPARE(button.Border, std::int16_t(7));
    QCOMPARE(button.ForeColor, 1234);
    QCOMPARE(button.BackColor, kSystemButtonFaceColour);
  }

  void bufferCountLooksOnlyUpToTheCount() {
    Database db = FreeSlotDatabase();
    RecountBuffers(db);
    QCOMPARE(db.BufferCount, std::int16_t(2));
    // A free slot above the count is stale, not counted.
    db.Records[db.RecordCount - 1].Folder = BufferFolder;
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount - 1));
    RecountBuffers(db);
    QCOMPARE(db.BufferCount, std::int16_t(2));
  }
};

QTEST_GUILESS_MAIN(DatabaseModelTest)
#include "tst_database_model.moc"
