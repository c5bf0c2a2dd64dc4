// Find and sort on small models: the whole-word rule, scopes, flag values,
// and the sort orders checked against the plain quadratic routines.
#include <QRandomGenerator>
#include <QtTest>

#include "plain_sort.h"
#include "sample_databases.h"
#include "storage/find_logic.h"
#include "storage/navigation_logic.h"
#include "storage/quick_filter.h"
#include "storage/record_title.h"
#include "storage/sort_logic.h"

using namespace orbo;

namespace {

// The example form (title text 0) with a flag; records titled by titles,
// all in folder 0 unless moved.
Database Titled(const QStringList& titles) {
  Database db = test::ExampleDatabase();
  db.Forms[0].ElementCount[kFlag] = 1;
  db.Forms[0].Elements[kFlag][0].Name = QStringLiteral("Done");
  SetCount(db, 0, static_cast<std::int16_t>(titles.size()));
  for (int i = 0; i < titles.size(); ++i) {
    NewRecord(db, i);
    db.Records[i].TextValue[0] = titles[i];
  }
  return db;
}

QStringList Titles(const Database& db, int folder) {
  QStringList titles;
  for (int r : RecordsOf(db, folder)) titles << RecordTitle(db, r);
  return titles;
}

// Sorts the records of folder as the window does; false when fewer than
// two take part.
bool SortRecords(Database& db, int folder, bool ascending) {
  const SlotPermutation permutation = RecordSortPermutation(db, folder, ascending);
  Rearrange(db, permutation);
  return !permutation.Empty();
}

}  // namespace

class FindSortLogic : public QObject {
  Q_OBJECT

 private slots:
  void wholeWord_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("position");
    QTest::newRow("alone") << "cat" << 1;
    QTest::newRow("after a blank") << "the cat" << 5;
    QTest::newRow("plural") << "cats" << 0;
    QTest::newRow("underscore is no separator") << "cat_x" << 0;
    QTest::newRow("only the first occurrence counts") << "cats and cat" << 0;
  }
  void wholeWord() {
    QFETCH(QString, value);
    QTEST(FindPosition(value, "CAT", false, true), "position");
    QCOMPARE(FindPosition(value, "CAT", true, true), 0);
  }

  void contextAroundAHit() {
    const QString value = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    QCOMPARE(HitContext(value, 3), value.left(13));
    QCOMPARE(HitContext(value, 38), value.mid(27));
  }

  void searchKeepsToItsScope() {
    Database db = Titled({"cat", "cat", "cat", "dog", "cat"});
    SetCount(db, 1, 3);
    NewFolder(db, 1);
    NewFolder(db, 2);
    db.Folders[2].Parent = 1;
    db.Records[1].Folder = BufferFolder;  // a free slot is never found
    db.Records[2].Folder = 2;
    db.Records[3].FlagValue[0] = true;
    RecountBuffers(db);
    FindSettings settings{.text = "cat"};
    auto found = [&](int start) {
      return SearchRecords(db, settings, start).value_or(FindHit{}).record;
    };
    QCOMPARE(found(1), 2);
    settings.folder = 1;
    QCOMPARE(found(0), -1);
    settings.subfolders = true;
    QCOMPARE(found(0), 2);
    // Flags: "1" finds a set flag, with any type as with the flag type.
    settings = FindSettings{.text = "1"};
    QCOMPARE(found(0), 3);
    settings.fieldType = 3;
    settings.form = 0;
    settings.field = 0;
    const FindHit hit = SearchRecords(db, settings, 0).value();
    QCOMPARE(hit.record, 3);
    QCOMPARE(hit.elementType, int(kFlag));
    settings.text = "0";
    QCOMPARE(found(3), 4);
    settings.fieldType = 0;
    QCOMPARE(found(0), -1);
    // A value left past the form's elements is no field of the record, in
    // any field as in the one past the last.
    const int texts = db.Forms[0].ElementCount[kText];
    db.Records[4].TextValue[std::size_t(texts)] = QStringLiteral("ghost");
    settings = FindSettings{.text = "ghost"};
    QCOMPARE(found(0), -1);
    settings.form = 0;
    settings.fieldType = 0;
    settings.field = texts;
    QCOMPARE(found(0), -1);
  }

  // The orders themselves: ordersEqualThePlainRoutines.
  void titlesAndNamesSortByLowerCaseCharacterCode() {
    Database db = Titled({"b", "A", "a", "C"});
    QVERIFY(SortRecords(db, 0, false));
    QCOMPARE(Titles(db, 0), QStringList({"C", "b", "a", "A"}));
    Database single = Titled({"x"});
    SetCount(single, 1, 3);
    for (int f = 0; f < 3; ++f) {
      NewFolder(single, f);
      single.Folders[f].Name = QStringList({"a", "C", "b"})[f];
    }
    QCOMPARE(FolderSortPermutation(single, TopLevelParent, true).order,
             (std::vector<int>{0, 2, 1}));
  }

  // The fast orders equal the plain routines' on many lists full of
  // duplicates, both directions, from empty to a few hundred keys.
  void ordersEqualThePlainRoutines() {
    QRandomGenerator random(20261207);
    for (int round = 0; round < 3000; ++round) {
      const int n = round < 2000 ? random.bounded(12) : random.bounded(400);
      // Keys from a small alphabet, so most lists hold many duplicates.
      std::vector<QString> keys;
      for (int i = 0; i < n; ++i) keys.push_back(QString(QChar(u'a' + random.bounded(1 + n / 3))));
      for (bool ascending : {true, false}) {
        QCOMPARE(RecordSortOrder(keys, ascending), plain::RecordSortOrder(keys, ascending));
        QCOMPARE(FolderSortOrder(keys, ascending), plain::FolderSortOrder(keys, ascending));
      }
    }
  }

  // The quick filter: a folder and those below it, free slots never; with
  // every text also buttons and the chosen combo line, letter case aside;
  // a longer text narrows the matches; the folders leading to the
  // matches, each once.
  void quickFilterMatches() {
    Database db = test::FullFormDatabase();
    // Folders: 0 Top, 1 Child of 0, 2 of 1; record r lies in folder r % 3
    // and has form r % 2, whose form 1 has no elements.
    const auto matches = [&db](int folder, const char* text, bool anyText) {
      return QuickFilterMatches(db, folder, {QString::fromUtf8(text), anyText});
    };
    QCOMPARE(matches(0, "EXAMPLE.ORG/2/5", true), std::vector<int>{2});
    QCOMPARE(matches(0, "TEXT 4/0", true), std::vector<int>{4});
    QCOMPARE(matches(0, "line 2 2/0", true), std::vector<int>{2});
    db.Forms[0].ComboList[0] = QStringLiteral("Plain\r\nUnique choice");
    db.Records[0].ComboValue[0] = 1;
    QCOMPARE(matches(0, "unique CHOICE", true), std::vector<int>{0});
    db.Records[2].ButtonValue[0] = QStringLiteral("First button only");
    QCOMPARE(matches(0, "first BUTTON only", true), std::vector<int>{2});
    QCOMPARE(matches(0, "example.org/2/5", false), std::vector<int>());
    QCOMPARE(matches(1, "item 4", true), (std::vector<int>{2, 4}));
    QCOMPARE(matches(0, "LINE 1", false), (std::vector<int>{0, 2, 4}));
    QCOMPARE(matches(0, "", true), std::vector<int>());
    // A text that holds an earlier one over the same values narrows its
    // matches, and finds among them what the whole scan finds.
    QVERIFY(QuickFilterNarrows({"line", true}, {"LINE 1", true}));
    QVERIFY(!QuickFilterNarrows({"line", true}, {"line 1", false}));
    QVERIFY(!QuickFilterNarrows({"", false}, {"line", false}));
    QVERIFY(!QuickFilterNarrows({"line 1", false}, {"line", false}));
    QCOMPARE(NarrowQuickFilterMatches(db, matches(0, "LINE", false), {"line 1", false}),
             matches(0, "LINE 1", false));
    QCOMPARE(NarrowQuickFilterMatches(db, {db.RecordCount, 2}, {"line 1", false}),
             std::vector<int>{2});
    db.Records[4].Folder = BufferFolder;
    QCOMPARE(matches(1, "item 4", true), std::vector<int>{2});
    QCOMPARE(FoldersLeadingTo(db, {2, 1}), (std::vector<char>{1, 1, 1}));
    QCOMPARE(FoldersLeadingTo(db, {1}), (std::vector<char>{1, 1, 0}));
  }
};

QTEST_GUILESS_MAIN(FindSortLogic)
#include "tst_find_sort_logic.moc"
