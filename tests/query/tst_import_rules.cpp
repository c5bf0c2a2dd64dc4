// The import's rules without a window: values, folder paths, the column map
// and record slots as the import reads and places them. (The round trip of
// whole databases runs through the window in tst_access_exchange and through
// orbo-cli in tst_orbo_cli.)
#include <QtTest>

#include "../storage/sample_databases.h"
#include "query/access/tables/record_import.h"
#include "storage/combo_choices.h"
#include "storage/navigation_logic.h"

using namespace orbo;
using namespace orbo::test;

namespace {

// Imports rows into folder of db as the dialog does with "Map by name".
ImportTally Import(Database& db, int form, int folder, const QStringList& columns,
                   const std::vector<QStringList>& rows, bool foldersFromFile) {
  ImportPlan plan;
  plan.form = form;
  plan.folder = folder;
  plan.map = MapByName(columns, db.Forms[static_cast<std::size_t>(form)]);
  plan.folderColumn = foldersFromFile ? FolderColumn(columns) : -1;
  return RunImport(db, plan, LayOutImport(db, plan, rows), rows);
}

// A form of one element of each kind that holds a value.
Database OneOfEach() {
  Database db = ExampleDatabase();
  FormDef& form = db.Forms[0];
  for (int type : {kCombo, kFlag, kImage}) form.ElementCount[type] = 1;
  form.Elements[kCombo][0].Name = QStringLiteral("Group");
  form.Elements[kFlag][0].Name = QStringLiteral("Card");
  form.Elements[kImage][0].Name = QStringLiteral("Photo");
  form.Elements[kText][0].Name = QStringLiteral("Text");
  form.ComboList[0] = QStringLiteral("Family\r\nFriends\r\nfriends\r\nWork");
  return db;
}

}  // namespace

class ImportRulesTest : public QObject {
  Q_OBJECT

 private slots:
  // Combos by the text of their line, exactly before ignoring case; flags by
  // the words exports and spreadsheets write; what names nothing is counted.
  void valuesAsTheImportReadsThem_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("card");
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<int>("unknownChoices");
    QTest::addColumn<int>("unknownFlags");
    QTest::newRow("exact lines") << "Friends"
                                 << "1" << 1 << true << 0 << 0;
    QTest::newRow("the exact one of two") << "friends"
                                          << "0" << 2 << false << 0 << 0;
    QTest::newRow("case ignored") << "WORK"
                                  << "True" << 3 << true << 0 << 0;
    QTest::newRow("blanks belong to the line") << " Work"
                                               << "-1" << int(kNoChoice) << true << 1 << 0;
    QTest::newRow("empty") << ""
                           << "" << int(kNoChoice) << false << 0 << 0;
    QTest::newRow("no line") << "Neighbours"
                             << "yes" << int(kNoChoice) << true << 1 << 0;
    QTest::newRow("words") << "Family"
                           << " No " << 0 << false << 0 << 0;
    QTest::newRow("russian") << "Family"
                             << "Да" << 0 << true << 0 << 0;
    QTest::newRow("spreadsheet") << "Family"
                                 << "ЛОЖЬ" << 0 << false << 0 << 0;
    QTest::newRow("no word") << "Family"
                             << "maybe" << 0 << false << 0 << 1;
    QTest::newRow("no number") << "Family"
                               << "2" << 0 << false << 0 << 1;
  }

  void valuesAsTheImportReadsThem() {
    QFETCH(QString, group);
    QFETCH(QString, card);
    Database db = OneOfEach();
    db.Records[0].ComboValue[0] = 2;
    db.Records[0].FlagValue[0] = true;
    const ImportTally tally =
        Import(db, 0, 0, {"Group", "Card", "Photo ID:00"}, {{group, card, "photo.png"}}, false);
    const RecordData& record = db.Records[static_cast<std::size_t>(db.RecordCount - 1)];
    QTEST(int(record.ComboValue[0]), "choice");
    QTEST(record.FlagValue[0], "flag");
    QCOMPARE(record.ImageValue[0], QString("photo.png"));
    QTEST(tally.unknownChoices, "unknownChoices");
    QTEST(tally.unknownFlags, "unknownFlags");
    QCOMPARE(db.Records[0].ComboValue[0], std::int16_t(2));  // the record there is left alone
  }

  // A value longer than its field is cut, never inside a surrogate pair; a
  // limit of one is a limit; a target past the form's fields (a map made for
  // another form) stores nothing.
  void valuesLongerThanTheirFieldAreCut() {
    Database db = OneOfEach();
    db.Forms[0].Elements[kMultiline][0].Name = QStringLiteral("Note");
    ColumnMap map;
    map.Assign(0, 2);  // the multiline text
    map.Assign(1, 60);
    const QString smile = QString::fromUtf8(
        "ab\xF0\x9F\x98\x80"
        "c");
    const std::pair<int, QString> cases[] = {{3, "abc"}, {1, "a"}, {0, "abcdef"}};
    for (const auto& [limit, kept] : cases) {
      db.Forms[0].TextLimit[0] = static_cast<std::int16_t>(limit);
      RecordData record;
      ImportTally tally;
      RowStore(db.Forms[0], map).Store(record, {"abcdef", "x"}, tally);
      QCOMPARE(record.MemoValue[0], kept);
      QCOMPARE(tally.cut, limit > 0 ? 1 : 0);
      QCOMPARE(record, [&] {
        RecordData expected;
        expected.MemoValue[0] = kept;
        return expected;
      }());
    }
    db.Forms[0].TextLimit[0] = 3;
    RecordData record;
    ImportTally tally;
    RowStore(db.Forms[0], map).Store(record, {smile}, tally);
    QCOMPARE(record.MemoValue[0], QString("ab"));
  }

  // Columns outside the map are never mapped, and a field takes one column.
  void columnMapBounds() {
    ColumnMap map;
    for (int column : {-1, kReadColumns, kReadColumns + 70}) {
      map.Assign(column, 3);
      QCOMPARE(map.TargetOf(column), 0);
    }
    QVERIFY(map.Empty());
    map.Assign(kReadColumns - 1, 3);
    QCOMPARE(map.TargetOf(kReadColumns - 1), 3);
    map.Assign(0, 3);
    QCOMPARE(map.TargetOf(kReadColumns - 1), 0);
    QCOMPARE(map.TargetOf(0), 3);
    map.Assign(0, 0);
    QVERIFY(map.Empty());
  }

  // By name: letter case and the export's suffix aside, the suffix choosing
  // among fields of one name, each field taken once. In order: past an
  // export's folder column, as many columns as there are fields.
  void columnsMappedByNameAndInOrder() {
    FormDef form = OneOfEach().Forms[0];
    form.ElementCount[kText] = 3;
    for (int slot : {0, 1}) form.Elements[kText][slot].Name = QStringLiteral("Name");
    form.Elements[kText][2].Name = QStringLiteral("City");
    // Targets: Name, Name, City, the multiline text, Photo, Group, Card.
    const ColumnMap byName =
        MapByName({"Root", "Name ID:21", "NAME", "name", "Card ID:50", "city ID:99"}, form);
    QCOMPARE(byName.TargetOf(0), 0);
    QCOMPARE(byName.TargetOf(1), 2);
    QCOMPARE(byName.TargetOf(2), 1);
    QCOMPARE(byName.TargetOf(3), 0);
    QCOMPARE(byName.TargetOf(4), 7);
    QCOMPARE(byName.TargetOf(5), 3);
    QVERIFY(!byName.Empty());
    QVERIFY(MapByName({"Nothing", "Root"}, form).Empty());

    const ColumnMap afterRoot = MapInOrder({"Root", "a", "b"}, form);
    QCOMPARE(afterRoot.TargetOf(0), 0);
    QCOMPARE(afterRoot.TargetOf(1), 1);
    QCOMPARE(afterRoot.TargetOf(2), 2);
    QStringList many;
    for (int c = 0; c < 9; ++c) many << QString::number(c);
    const ColumnMap fromTheFirst = MapInOrder(many, form);
    for (int c = 0; c < 7; ++c) QCOMPARE(fromTheFirst.TargetOf(c), c + 1);
    QCOMPARE(fromTheFirst.TargetOf(7), 0);
    QVERIFY(MapInOrder({}, form).Empty());
    QCOMPARE(FolderColumn({"Name", "City"}), -1);
    QCOMPARE(FolderColumn({"Name", " root "}), 1);
    Database full = OneOfEach();
    SetCount(full, kRecordsKind, kMaxRecords);
    QCOMPARE(ImportCapacity(full), 0);
    SetCount(full, kRecordsKind, 1);
    QCOMPARE(ImportCapacity(full), kMaxRecords - 1);
  }

  // Under a top-level folder paths start at the top of the tree, under any
  // other at the folder chosen, which a path may name first; missing folders
  // are made once, found folders taken, empty paths stay in the folder chosen.
  void foldersTheRowsName() {
    Database db = OneOfEach();
    db.Folders[0].Name = QStringLiteral("Address Book");
    SetCount(db, kFoldersKind, 2);
    NewFolder(db, 1);
    db.Folders[1].Name = QStringLiteral("Work");
    db.Folders[1].Parent = 0;
    const QStringList columns{"Root", "Text"};
    const std::vector<QStringList> rows{{"Address Book\\Work\\Former", "a"},
                                        {"Address Book\\Work\\Former", "b"},
                                        {"Library", "c"},
                                        {"", "d"},
                                        {"Address Book\\\\Work\\", "e"}};
    const int before = db.RecordCount;
    Import(db, 0, 0, columns, rows, true);
    QCOMPARE(db.FolderCount, 4);
    QCOMPARE(FolderPath(db, 2), QString("Address Book\\Work\\Former"));
    QCOMPARE(db.Folders[3].Parent, TopLevelParent);
    QCOMPARE(db.Folders[3].Icon, QString("root"));  // a new folder's
    QCOMPARE(FolderPath(db, 3), QString("Library"));
    const auto folderOf = [&](int row) { return int(db.Records[before + row].Folder); };
    QCOMPARE(folderOf(0), 2);
    QCOMPARE(folderOf(1), 2);
    QCOMPARE(folderOf(2), 3);
    QCOMPARE(folderOf(3), 0);
    QCOMPARE(folderOf(4), 1);

    // Into Work: its own name first, or a path below it.
    Import(db, 0, 1, columns, {{"Work\\Former", "f"}, {"Former", "g"}, {"Library", "h"}}, true);
    QCOMPARE(int(db.Records[before + 5].Folder), 2);
    QCOMPARE(int(db.Records[before + 6].Folder), 2);
    QCOMPARE(FolderPath(db, db.Records[before + 7].Folder), QString("Address Book\\Work\\Library"));
    QCOMPARE(db.Records[before + 7].TextValue[0], QString("h"));
  }

  // A free slot behind the folder's last record takes the new record; the
  // table keeps its count.
  void freeSlotsAreTakenFirst() {
    Database db = OneOfEach();
    SetCount(db, kFoldersKind, 2);
    NewFolder(db, 1);
    SetCount(db, kRecordsKind, 3);
    NewRecord(db, 1);
    db.Records[1].Folder = BufferFolder;
    db.Records[1].TextValue[0] = QStringLiteral("deleted before");
    db.RecordMarks[1] = true;
    NewRecord(db, 2);
    db.Records[2].Folder = 1;
    RecountBuffers(db);
    ImportPlan plan;
    const std::vector<QStringList> rows{{"a"}, {"b"}};
    const ImportLayout layout = LayOutImport(db, plan, rows);
    QCOMPARE(layout.places, (std::vector<int>{1, 3}));
    QCOMPARE(layout.recordCount, 4);
    QCOMPARE(LayOutImport(db, plan, {{"a"}}).recordCount, 3);
    std::vector<int> progress;
    RunImport(db, plan, layout, rows, [&](int done) { progress.push_back(done); });
    QCOMPARE(progress, (std::vector<int>{1, 2}));
    QCOMPARE(db.RecordCount, 4);
    QCOMPARE(db.BufferCount, 0);
    // Nothing of the record deleted there.
    QCOMPARE(db.Records[1].TextValue[0], QString());
    QVERIFY(!db.RecordMarks[1]);
  }

  // A full folder table leaves the rest of a path unmade, and says how many
  // records stay above their folder.
  void foldersBeyondTheLimit() {
    Database db = OneOfEach();
    SetCount(db, kFoldersKind, static_cast<std::int16_t>(kMaxFolders - 1));
    for (int f = 1; f < db.FolderCount; ++f) {
      NewFolder(db, f);
      db.Folders[f].Parent = 0;
    }
    ImportPlan plan;
    plan.folder = 1;
    plan.folderColumn = 0;
    const std::vector<QStringList> rows{{"a\\b"}, {"a\\b"}, {"a"}};
    const ImportLayout layout = LayOutImport(db, plan, rows);
    QCOMPARE(layout.newFolders.size(), std::size_t(1));
    QCOMPARE(layout.NewFolderIndices(), std::vector<int>{kMaxFolders - 1});
    QCOMPARE(layout.unplaced, 2);
    QCOMPARE(layout.folders, (std::vector<int>{kMaxFolders - 1, kMaxFolders - 1, kMaxFolders - 1}));
    QCOMPARE(RunImport(db, plan, layout, rows).unplaced, 2);
    QCOMPARE(db.FolderCount, kMaxFolders);
  }
};

QTEST_GUILESS_MAIN(ImportRulesTest)
#include "tst_import_rules.moc"
