// A folder's records as a table: the columns of a form and what each cell
// shows, the form chosen among mixed ones, an order of the view that
// changes nothing stored until it is made the stored one, and changes
// followed without losing what a view holds.
#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>
#include <QtTest>

#include "sample_databases.h"
#include "shell/contents_model.h"
#include "shell/record_table_model.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

using namespace orbo;

namespace {

// Folder 1 holds records 0, 1 and 3 of form 0 (titled by its text, with a
// picture, a flag and a multiline text) and records 4 and 5 of form 1 (the
// same elements, titled by the multiline text).
Database TableDatabase() {
  Database db = test::FourFolders();
  FormDef& form = db.Forms[0];
  form.ElementCount[kFlag] = 1;
  form.ElementCount[kImage] = 1;
  form.Elements[kText][0].Name = QStringLiteral("Name");
  SetCount(db, kFormsKind, 2);
  db.Forms[1] = db.Forms[0];
  db.Forms[1].TitleElement = {kMultiline, 0};
  SetCount(db, kRecordsKind, 6);
  for (int r : {4, 5}) {
    NewRecord(db, r);
    db.Records[r].Folder = 1;
    db.Records[r].Form = 1;
    db.Records[r].MemoValue[0] = QStringLiteral("M%1").arg(r);
  }
  db.Records[0].TextValue[0] = QStringLiteral("b");
  db.Records[0].MemoValue[0] = QStringLiteral("\r\n  \r\nsecond\r\nthird");
  db.Records[1].TextValue[0] = QStringLiteral("A");
  db.Records[1].FlagValue[0] = true;
  db.Records[3].TextValue[0] = QStringLiteral("c");
  db.Records[3].ImageValue[0] = QStringLiteral("C:\\pics\\cat.jpg");
  db.RecordMarks[3] = true;
  RecountBuffers(db);
  return db;
}

QIcon NoIcon(const QString&) { return {}; }

std::vector<int> Titled(const Database& db, const QStringList& titles) {
  std::vector<int> records;
  for (const QString& title : titles) {
    for (int r = 0; r < db.RecordCount; ++r) {
      if (db.Records[r].Folder != BufferFolder && RecordTitle(db, r) == title) records.push_back(r);
    }
  }
  return records;
}

}  // namespace

class RecordTableModelTest : public QObject {
  Q_OBJECT

 private slots:
  // The form most records have is shown, its title first, then the other
  // elements that hold a value; a picture by its file name, a multiline
  // text by its first line with more than blanks, a flag as a check box,
  // a marked record bold. The other form shows its own columns.
  void aFormsRecordsAreRowsAndItsElementsColumns() {
    const Database db = TableDatabase();
    ContentsModel contents(db, NoIcon);
    RecordTableModel table(db, contents);
    QAbstractItemModelTester tester(&table);
    contents.ShowFolder(1);
    QCOMPARE(table.Forms(), (std::vector<FormShare>{{0, 3}, {1, 2}}));
    QCOMPARE(table.Form(), 0);
    QCOMPARE(table.Rows(), (std::vector<int>{0, 1, 3}));
    QCOMPARE(table.columnCount(), 4);
    QCOMPARE(table.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Name"));
    QCOMPARE(table.index(0, 0).data().toString(), QString("b"));
    QCOMPARE(table.index(2, 1).data().toString(), QString("cat.jpg"));
    QCOMPARE(table.index(0, 3).data().toString(), QString("second"));
    QVERIFY(!table.index(1, 2).data().isValid());
    QCOMPARE(table.index(1, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(table.index(0, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(table.index(2, 0).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!table.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(table.index(2, 0).data(RecordTableModel::kRecordRole).toInt(), 3);

    table.SetForm(1);
    QCOMPARE(table.Rows(), (std::vector<int>{4, 5}));
    QCOMPARE(table.index(1, 0).data().toString(), QString("M5"));
    QCOMPARE(table.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Name"));
    // A form no record listed has is not offered.
    table.SetForm(7);
    QCOMPARE(table.Form(), 1);
    contents.ShowFolder(2);
    QCOMPARE(table.Form(), 0);
    QCOMPARE(table.Rows(), (std::vector<int>{2}));
    contents.Clear();
    QCOMPARE(table.Form(), -1);
    QCOMPARE(table.rowCount() + table.columnCount(), 0);
  }

  // A column orders the rows, either way, case aside, equal cells in
  // their stored order, a view's selection following its records; nothing
  // stored changes. Made the stored order, the records of the form take
  // their slots in that order and no other record moves; taken back, all
  // is as it was.
  void aColumnOrdersTheViewUntilItIsMadeTheStoredOrder() {
    Database db = TableDatabase();
    const Database before = db;
    ContentsModel contents(db, NoIcon);
    RecordTableModel table(db, contents);
    QAbstractItemModelTester tester(&table);
    contents.ShowFolder(1);
    const QPersistentModelIndex held = table.index(2, 1);
    table.SortBy(0, true);
    QCOMPARE(table.Rows(), Titled(db, {"A", "b", "c"}));
    QCOMPARE(held.row(), 2);
    table.sort(0, Qt::DescendingOrder);
    QCOMPARE(table.Rows(), Titled(db, {"c", "b", "A"}));
    QCOMPARE(held.row(), 0);
    QCOMPARE(held.data().toString(), QString("cat.jpg"));
    table.SortBy(2, true);
    QCOMPARE(table.Rows(), Titled(db, {"b", "c", "A"}));
    table.SortBy(2, false);
    QCOMPARE(table.Rows(), Titled(db, {"A", "b", "c"}));
    table.SortBy(-1, true);
    QCOMPARE(table.Rows(), (std::vector<int>{0, 1, 3}));
    QVERIFY(db.Records == before.Records && db.RecordMarks == before.RecordMarks);

    table.SortBy(0, false);
    const SlotPermutation permutation = StoredOrderOf(table.Rows());
    Rearrange(db, permutation);
    QCOMPARE(RecordsOf(db, 1), (std::vector<int>{0, 1, 3, 4, 5}));
    QCOMPARE(Titled(db, {"c", "b", "A", "M4", "M5"}), (std::vector<int>{0, 1, 3, 4, 5}));
    QVERIFY(db.RecordMarks[0]);
    RearrangeBack(db, permutation);
    QVERIFY(db.Records == before.Records && db.RecordMarks == before.RecordMarks);
  }

  // Unordered, a record that went is one removal and one that came one
  // insertion; ordered, a changed value moves its row with what a view
  // holds on it. Forms that come and go are told; a changed form makes
  // its columns anew, and a form no record listed has any more gives way.
  void changesAreFollowed() {
    Database db = TableDatabase();
    ContentsModel contents(db, NoIcon);
    RecordTableModel table(db, contents);
    QAbstractItemModelTester tester(&table);
    contents.ShowFolder(1);
    QSignalSpy removed(&table, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&table, &QAbstractItemModel::modelReset);
    QSignalSpy forms(&table, &RecordTableModel::formsChanged);

    db.Records[1].Folder = 2;
    QVERIFY(contents.Follow());
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][1].toInt(), 1);
    db.Records[1].Folder = 1;
    QVERIFY(contents.Follow());
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 1);
    QCOMPARE(table.Rows(), (std::vector<int>{0, 1, 3}));

    table.SortBy(0, true);
    const QPersistentModelIndex held = table.index(0, 0);
    QCOMPARE(held.data().toString(), QString("A"));
    db.Records[1].TextValue[0] = QStringLiteral("z");
    QVERIFY(contents.Follow());
    QCOMPARE(table.Rows(), Titled(db, {"b", "c", "z"}));
    QCOMPARE(held.row(), 2);
    QCOMPARE(reset.size(), 0);
    // The counts changed as record 1 went and came back.
    QCOMPARE(forms.size(), 2);
    forms.clear();

    db.Records[4].Folder = db.Records[5].Folder = 2;
    QVERIFY(contents.Follow());
    QCOMPARE(table.Forms(), (std::vector<FormShare>{{0, 3}}));
    QCOMPARE(forms.size(), 1);
    // Ordered, a record that comes makes the rows anew in the order.
    db.Records[2].Folder = 1;
    db.Records[2].TextValue[0] = QStringLiteral("a");
    QVERIFY(contents.Follow());
    QCOMPARE(table.Rows(), Titled(db, {"a", "b", "c", "z"}));

    db.Forms[0].ElementCount[kButton] = 1;
    QVERIFY(contents.Follow());
    QCOMPARE(table.columnCount(), 5);
    QCOMPARE(table.SortColumn(), 0);
    for (int r : {0, 1, 2, 3}) db.Records[r].Form = 1;
    db.Records[4].Folder = 1;
    QVERIFY(contents.Follow());
    QCOMPARE(table.Form(), 1);
    QCOMPARE(table.SortColumn(), -1);
  }
};

QTEST_MAIN(RecordTableModelTest)
#include "tst_record_table_model.moc"
