// The contents list as a model over the database: what a folder lists and
// in which order, titles and marks read when the view asks, and changes
// followed row by row.
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
    const Database db = test::FourFolders();
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

  // A change is followed row by row, never listed anew: a mark reads anew
  // in place, a record that went is one removal, a sibling that came one
  // insertion, the filter's new matches likewise, ".." goes when the folder
  // moves to the top; a folder that is gone is not followed.
  void changesAreFollowedRowByRow() {
    Database db = test::FourFolders();
    ContentsModel model(db, AnyIcon);
    model.ShowFolder(1);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    db.RecordMarks[1] = true;
    QVERIFY(model.Follow());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(removed.size() + inserted.size(), 0);
    QVERIFY(model.index(5).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!model.index(4).data(Qt::FontRole).value<QFont>().bold());

    db.Records[3].Folder = 2;
    QVERIFY(model.Follow());
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][1].toInt(), 6);
    QCOMPARE(Keys(model).mid(3), QStringList({"xxxx0", "item0", "item1"}));
    db.Folders[3].Parent = 0;
    QVERIFY(model.Follow());
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 3);
    QCOMPARE(Keys(model),
             QStringList({"root0", "root1", "root2", "root3", "xxxx0", "item0", "item1"}));
    const std::vector<int> matches{0};
    QVERIFY(model.Follow(&matches));
    QCOMPARE(Keys(model).mid(4), QStringList({"xxxx0", "item0"}));
    db.Folders[1].Parent = TopLevelParent;
    QVERIFY(model.Follow());
    QCOMPARE(Keys(model), QStringList({"root0", "root1", "xxxx0", "item0", "item1"}));
    QCOMPARE(model.FolderRow(), 1);
    QCOMPARE(reset.size(), 0);
    SetCount(db, kFoldersKind, 1);
    QVERIFY(!model.Follow());
  }

  // A list the model was not told of shows nothing of records or folders
  // that are gone, and reads nothing beyond the tables.
  void aListLeftBehindReadsNothingBeyondTheModel() {
    Database db = test::FourFolders();
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
