#include <QtTest>

#include "sample_databases.h"
#include "storage/model_invariants.h"

using namespace orbo;
using namespace orbo::test;

class DatabaseModelTest : public QObject {
  Q_OBJECT

 private slots:
  // A table grows to count + margin when its upper bound is below count + 10,
  // keeps its entries, never shrinks, and the other tables stay as they were.
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
    Database db;
    db.Records[3].Folder = 7;
    db.Folders[3].Name = db.Forms[3].Name = QStringLiteral("kept");
    const auto bound = [kind](const Database& model) {
      return int(kind == kRecordsKind   ? model.Records.size()
                 : kind == kFoldersKind ? model.Folders.size()
                                        : model.Forms.size()) -
             1;
    };
    const auto count = [kind](const Database& model) -> int {
      return kind == kRecordsKind   ? model.RecordCount
             : kind == kFoldersKind ? model.FolderCount
                                    : model.FormCount;
    };
    SetCount(db, kind, 40);
    QCOMPARE(bound(db), 40 + margin);
    QCOMPARE(count(db), 40);
    const int n = bound(db) - 10;
    SetCount(db, kind, static_cast<std::int16_t>(n));
    QCOMPARE(bound(db), 40 + margin);
    SetCount(db, kind, static_cast<std::int16_t>(n + 1));
    QCOMPARE(bound(db), n + 1 + margin);
    SetCount(db, kind, 0);
    QCOMPARE(bound(db), n + 1 + margin);
    QCOMPARE(count(db), 0);
    QCOMPARE(db.RecordMarks.size(), db.Records.size());
    QCOMPARE(db.Records[3].Folder, std::int16_t(7));
    QCOMPARE(db.Folders[3].Name + db.Forms[3].Name, QStringLiteral("keptkept"));
    QCOMPARE(db.RecordCount + db.FolderCount + db.FormCount, 0);
  }

  void clearDatabaseKeepsOnlyTheForms() {
    Database db = Locked(FullFormDatabase(), QStringLiteral("pw"));
    db.DatabasePath = QStringLiteral("/x/y.2db");
    db.SplitterPos = 10;
    ClearDatabase(db, Arial(12));
    QCOMPARE(db.DatabasePath, QStringLiteral("noname"));
    QCOMPARE(db.RecordCount + db.FolderCount, 0);
    QCOMPARE(db.FormCount, std::int16_t(2));
    QCOMPARE(db.SplitterPos, std::int16_t(2500));
    QCOMPARE(db.DatabaseFont, Arial(12));
    QVERIFY(!db.PasswordOn);
    QVERIFY(db.Password.isEmpty());
  }

  // Free slots above the count are stale and not counted.
  void bufferCountLooksOnlyUpToTheCount() {
    Database db = FreeSlotDatabase();
    QCOMPARE(db.BufferCount, std::int16_t(2));
    db.Records[db.RecordCount - 1].Folder = BufferFolder;
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount - 1));
    RecountBuffers(db);
    QCOMPARE(db.BufferCount, std::int16_t(2));
  }

  // A title names an element of the form, labels included; the default code
  // also stands for a form whose elements hold no value.
  void titleElements_data() {
    QTest::addColumn<QList<int>>("counts");  // image, label, text, button, combo, flag, multiline
    QTest::addColumn<QList<int>>("valid");
    QTest::addColumn<QList<int>>("invalid");
    QTest::addColumn<int>("replacement");
    QTest::newRow("text and label") << QList<int>{0, 1, 1, 0, 0, 0, 0} << QList<int>{1000, 2000}
                                    << QList<int>{1001, 2001, 0, -1, 7000} << 2000;
    QTest::newRow("labels only") << QList<int>{0, 2, 0, 0, 0, 0, 0} << QList<int>{1000, 1001, 2000}
                                 << QList<int>{1002, 0, 6000} << 2000;
    QTest::newRow("nothing") << QList<int>{0, 0, 0, 0, 0, 0, 0} << QList<int>{2000}
                             << QList<int>{1000, 0} << 2000;
    QTest::newRow("labels and a flag")
        << QList<int>{0, 1, 0, 0, 0, 1, 0} << QList<int>{1000, 5000} << QList<int>{2000} << 5000;
  }

  void titleElements() {
    QFETCH(QList<int>, counts);
    QFETCH(QList<int>, valid);
    QFETCH(QList<int>, invalid);
    QFETCH(int, replacement);
    FormDef form;
    for (int t = 0; t < kElementTypeCount; ++t)
      form.ElementCount[t] = static_cast<std::int16_t>(counts[t]);
    for (int code : valid)
      QVERIFY2(IsValidTitleElement(form, code), qPrintable(QString::number(code)));
    for (int code : invalid)
      QVERIFY2(!IsValidTitleElement(form, code), qPrintable(QString::number(code)));
    QCOMPARE(ReplacementTitle(form), replacement);
    QVERIFY(IsValidTitleElement(form, ReplacementTitle(form)));
  }
};

QTEST_GUILESS_MAIN(DatabaseModelTest)
#include "tst_database_model.moc"
