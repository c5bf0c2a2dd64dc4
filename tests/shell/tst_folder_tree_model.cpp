// The folder tree as a model over the database: its rows in order, the
// finest signals for a change (rows in, rows out, titles in place, never a
// reset), folders opened in a view staying open, and a long run of random
// changes of the database followed under Qt's model checker.
#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include "sample_databases.h"
#include "shell/folder_tree_model.h"
#include "storage/navigation_logic.h"
#include "tree_check.h"

using namespace orbo;

namespace {

QStringList Keys(const FolderTreeModel& model, const QModelIndex& parent) {
  QStringList keys;
  for (int row = 0; row < model.rowCount(parent); ++row)
    keys << FolderTreeModel::KeyOf(model.index(row, 0, parent));
  return keys;
}

QIcon NoIcon(const QString&) { return {}; }

// A row of the model at random, walking down from the top; invalid for an
// empty tree.
QModelIndex RandomNode(const QAbstractItemModel& model, QRandomGenerator& random) {
  QModelIndex node;
  while (model.rowCount(node) > 0 && (!node.isValid() || random.bounded(2) == 0))
    node = model.index(random.bounded(model.rowCount(node)), 0, node);
  return node;
}

// What a model told its views.
struct Signals {
  explicit Signals(const FolderTreeModel& model)
      : inserted(&model, &QAbstractItemModel::rowsInserted),
        removed(&model, &QAbstractItemModel::rowsRemoved),
        changed(&model, &QAbstractItemModel::dataChanged),
        reset(&model, &QAbstractItemModel::modelReset),
        layout(&model, &QAbstractItemModel::layoutChanged) {}
  QSignalSpy inserted, removed, changed, reset, layout;
};

}  // namespace

class FolderTreeModelTest : public QObject {
  Q_OBJECT

 private slots:
  // Under each folder its sub-folders, then its records, each ascending;
  // nothing before the first Refresh and after Clear.
  void foldersFirstThenRecords() {
    Database db = test::FourFolders();
    FolderTreeModel model(db, NoIcon);
    QCOMPARE(model.rowCount(), 0);
    model.Refresh();
    QCOMPARE(Keys(model, {}), QStringList({"root0", "root3"}));
    QCOMPARE(Keys(model, model.FolderIndex(0)), QStringList({"root1", "root2"}));
    QCOMPARE(Keys(model, model.FolderIndex(1)), QStringList({"item0", "item1", "item3"}));
    QCOMPARE(model.RecordIndex(3).row(), 2);
    QCOMPARE(model.RecordIndex(3).parent(), model.FolderIndex(1));
    QCOMPARE(model.IndexOfKey("item2").data().toString(), QString("R2"));
    QVERIFY(!model.IndexOfKey("item9").isValid() && !model.IndexOfKey("xxxx0").isValid());
    QCOMPARE(test::TreeDifference(db, model), QString());
    model.Clear();
    QCOMPARE(model.rowCount(), 0);
    db.Records[0].Folder = 3;
    model.Follow({0}, {}, true);  // a database not listed is not followed
    QCOMPARE(model.rowCount(), 0);
  }

  // A record added, moved or retitled, a folder moved or removed: rows go
  // and come where they changed, titles are told in place, nothing is
  // listed anew, and the folders open in a view stay open.
  void changesAreTheFinestSignals() {
    Database db = test::FourFolders();
    FolderTreeModel model(db, NoIcon);
    model.Refresh();
    QTreeView view;
    view.setModel(&model);
    view.expand(model.FolderIndex(0));
    view.expand(model.FolderIndex(1));
    Signals seen(model);

    SetCount(db, kRecordsKind, 5);
    NewRecord(db, 4);
    db.Records[4].Folder = 1;
    RecountBuffers(db);
    model.Follow({4}, {}, true);
    QCOMPARE(seen.inserted.size(), 1);
    QCOMPARE(seen.inserted[0][1].toInt(), 3);  // after item3, the last of folder 1

    db.Records[0].Folder = 2;
    model.Follow({0}, {}, true);
    QCOMPARE(seen.removed.size(), 1);
    QCOMPARE(seen.inserted.size(), 2);
    QCOMPARE(Keys(model, model.FolderIndex(2)), QStringList({"item0", "item2"}));

    seen.changed.clear();
    db.Records[1].TextValue[0] = "Renamed";
    db.RecordMarks[3] = true;
    model.Follow({1, 3}, {}, true);
    QCOMPARE(seen.changed.size(), 1);  // one parent, one signal over its rows
    QCOMPARE(seen.changed[0][0].toModelIndex(), model.RecordIndex(1));
    QCOMPARE(seen.changed[0][1].toModelIndex(), model.RecordIndex(3));

    db.Folders[2].Parent = 3;
    model.Follow({}, {2}, true);
    QCOMPARE(Keys(model, model.FolderIndex(3)), QStringList({"root2"}));
    QCOMPARE(Keys(model, model.FolderIndex(2)), QStringList({"item0", "item2"}));

    // Folder 3 goes; the folders and records above it move down an index.
    db.Folders[2].Parent = 0;
    model.Follow({}, {2}, true);
    RemoveFolderInModel(db, 3);
    model.Follow({}, {}, true);
    QCOMPARE(Keys(model, {}), QStringList({"root0"}));

    QCOMPARE(seen.reset.size(), 0);
    QCOMPARE(seen.layout.size(), 0);
    QVERIFY(view.isExpanded(model.FolderIndex(0)) && view.isExpanded(model.FolderIndex(1)));
    QCOMPARE(test::TreeDifference(db, model), QString());

    // A change of every entry shows every row again, the structure followed.
    db.Records[2].Folder = 0;
    model.Follow({}, {}, false);
    QCOMPARE(seen.layout.size(), 1);
    QCOMPARE(test::TreeDifference(db, model), QString());
  }

  // Folders drawn apart read bold; the rows whose look changes are told.
  void highlightedFoldersReadBold() {
    const Database db = test::FourFolders();
    FolderTreeModel model(db, NoIcon);
    model.Refresh();
    Signals seen(model);
    model.HighlightFolders({0, 1, 0, 1});
    QCOMPARE(seen.changed.size(), 2);
    QVERIFY(model.FolderIndex(1).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!model.FolderIndex(0).data(Qt::FontRole).isValid());
    model.HighlightFolders({});
    QCOMPARE(seen.changed.size(), 4);
    QVERIFY(!model.FolderIndex(3).data(Qt::FontRole).isValid());
  }

  // Random changes of the database, each followed with nothing said of what
  // changed: the model stays what Qt's checker asks of a model and lists
  // what the database holds, under a view with every folder open.
  void followsRandomChanges() {
    Database db = test::FourFolders();
    FolderTreeModel model(db, NoIcon);
    model.Refresh();
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QTreeView view;
    view.setModel(&model);
    QRandomGenerator random(20261211);
    std::vector<QPersistentModelIndex> held;
    for (int step = 0; step < 1500; ++step) {
      const int folder = random.bounded(db.FolderCount);
      switch (random.bounded(7)) {
        case 0:
          if (db.RecordCount < 60) {
            SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount + 1));
            NewRecord(db, db.RecordCount - 1);
            db.Records[db.RecordCount - 1].Folder = static_cast<std::int16_t>(folder);
            RecountBuffers(db);
          }
          break;
        case 1: {
          if (db.RecordCount == 0) break;
          const int record = random.bounded(db.RecordCount);
          if (db.Records[record].Folder != BufferFolder) DeleteRecordsInModel(db, {record});
          break;
        }
        case 2: {
          if (db.RecordCount == 0) break;
          const int record = random.bounded(db.RecordCount);
          if (db.Records[record].Folder != BufferFolder)
            db.Records[record].Folder = static_cast<std::int16_t>(folder);
          break;
        }
        case 3: {
          const int moved = random.bounded(db.FolderCount);
          if (random.bounded(4) == 0)
            db.Folders[moved].Parent = TopLevelParent;
          else if (!IsInSubtree(db, folder, moved))
            db.Folders[moved].Parent = static_cast<std::int16_t>(folder);
          break;
        }
        case 4:
          if (db.FolderCount < 12) {
            SetCount(db, kFoldersKind, static_cast<std::int16_t>(db.FolderCount + 1));
            NewFolder(db, db.FolderCount - 1);
            db.Folders[db.FolderCount - 1].Parent =
                static_cast<std::int16_t>(random.bounded(2) ? folder : TopLevelParent);
          }
          break;
        case 5:
          if (db.FolderCount > 1 && !HasSubfolders(db, folder) && RecordsOf(db, folder).empty())
            RemoveFolderInModel(db, folder);
          break;
        default: {
          const int other = random.bounded(db.FolderCount);
          if (other != folder) ExchangeFolders(db, folder, other);
        }
      }
      if (random.bounded(3) == 0) view.expandAll();
      model.Follow({}, {}, random.bounded(8) != 0);
      const QString difference = test::TreeDifference(db, model);
      if (!difference.isEmpty())
        QFAIL(qPrintable(QStringLiteral("step %1: ").arg(step) + difference));
      // Every row the view keeps still names the entry at its place.
      for (const QPersistentModelIndex& kept : held)
        if (kept.isValid())
          QVERIFY2(model.index(kept.row(), 0, kept.parent()) == QModelIndex(kept),
                   qPrintable(QStringLiteral("step %1: a kept row moved unsaid").arg(step)));
      const QModelIndex pick = RandomNode(model, random);
      if (pick.isValid()) {
        view.setCurrentIndex(pick);
        held.push_back(pick);
        if (held.size() > 20) held.erase(held.begin());
      }
    }
  }
};

QTEST_MAIN(FolderTreeModelTest)
#include "tst_folder_tree_model.moc"
