// The contents list as a model over the database: what a folder lists and
// in which order, titles and marks read when the view asks, titles shown
// again in place while a record that came or went asks for a new list.
#include <QFont>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

#include "sample_databases.h"
#include "shell/contents_model.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

using namespace orbo;

namespace {

// Folders 1 and 2 under folder 0, folder 3 at the top; records 0, 1 and 3
// in folder 1, record 2 in folder 2.
Database FourFolders() {
  Database db = test::ExampleDatabase();
  SetCount(db, kFoldersKind, 4);
  for (int k = 0; k < 4; ++k) NewFolder(db, k);
  db.Folders[1].Parent = db.Folders[2].Parent = 0;
  SetCount(db, kRecordsKind, 4);
  for (int r = 0; r < 4; ++r) {
    NewRecord(db, r);
    db.Records[r].Folder = static_cast<std::int16_t>(r == 2 ? 2 : 1);
  }
  RecountBuffers(db);
  return db;
}

QStringList Keys(const ContentsModel& model) {
  QStringList keys;
  for (int row = 0; row < model.rowCount(); ++row)
    keys << model.index(row).data(ContentsModel::kKeyRole).toString();
  return keys;
}

QIcon AnyIcon(const QString&) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::red);
  return QIcon(pixmap);
}

}  // namespace

class ContentsModelTest : public QObject {
  Q_OBJECT

 private slots:
  // "..", the folder among its siblings (only it with its icon), the
  // separator, its records, its sub-folders; filtered, the matches alone.
  void aFolderListsItsPlaceItsRecordsAndItsFolders() {
    const Database db = FourFolders();
    ContentsModel model(db, AnyIcon);
    model.ShowFolder(1);
    QCOMPARE(Keys(model),
             QStringList({"root0", "root1", "root2", "xxxx0", "item0", "item1", "item3"}));
    QCOMPARE(model.FolderRow(), 1);
    QCOMPARE(model.index(0).data().toString(), QString(".."));
    QVERIFY(model.index(1).data(Qt::DecorationRole).isValid());
    QVERIFY(!model.index(2).data(Qt::DecorationRole).isValid());
    QCOMPARE(model.index(4).data().toString(),
             ShortenName(RecordTitleLine(db, 0), db.MaxListString));

    model.ShowFolder(0);
    QCOMPARE(Keys(model), QStringList({"root0", "root3", "xxxx0", "root1", "root2"}));
    QCOMPARE(model.FolderRow(), 0);
    const std::vector<int> matches{0, 2};
    model.ShowFolder(0, &matches);
    QCOMPARE(Keys(model), QStringList({"root0", "root3", "xxxx0", "item0", "item2"}));
    model.Clear();
    QCOMPARE(model.rowCount(), 0);
  }

  // Titles and marks are the database's when asked; a list whose records
  // are still its folder's is told in place, one that lost or gained a
  // record, or shows matches, is not.
  void recordsShowAgainInPlaceOnlyWhileTheyAreTheFoldersOwn() {
    Database db = FourFolders();
    ContentsModel model(db, AnyIcon);
    model.ShowFolder(1);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    db.RecordMarks[1] = true;
    QVERIFY(model.FollowRecords({1}));
    QCOMPARE(changed.size(), 1);
    QVERIFY(model.index(5).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!model.index(4).data(Qt::FontRole).value<QFont>().bold());

    db.Records[3].Folder = 2;
    QVERIFY(!model.FollowRecords({3}));
    model.ShowFolder(1);
    QCOMPARE(Keys(model).mid(3), QStringList({"xxxx0", "item0", "item1"}));
    const std::vector<int> matches{1};
    model.ShowFolder(1, &matches);
    QVERIFY(!model.FollowRecords({1}));
  }

  // A list the model was not told of shows nothing of records or folders
  // that are gone, and reads nothing beyond the tables.
  void aListLeftBehindReadsNothingBeyondTheModel() {
    Database db = FourFolders();
    ContentsModel model(db, AnyIcon);
    model.ShowFolder(1);
    SetCount(db, kRecordsKind, 1);
    QVERIFY(!model.index(6).data().isValid());
    SetCount(db, kFoldersKind, 1);
    QVERIFY(!model.index(2).data().isValid());
  }
};

QTEST_MAIN(ContentsModelTest)
#include "tst_contents_model.moc"
