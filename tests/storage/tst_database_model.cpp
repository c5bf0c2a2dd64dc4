#include <QtTest>

#include "sample_databases.h"
#include "storage/combo_choices.h"
#include "storage/element_values.h"
#include "storage/missing_files.h"
#include "storage/model_invariants.h"
#include "storage/model_repair.h"
#include "storage/storable_text.h"

using namespace orbo;
using namespace orbo::test;

namespace {

Database Sized(std::int16_t folders, std::int16_t forms, std::int16_t records = 0) {
  Database db;
  SetCount(db, kFoldersKind, folders);
  SetCount(db, kFormsKind, forms);
  SetCount(db, kRecordsKind, records);
  return db;
}

}  // namespace

class DatabaseModelTest : public QObject {
  Q_OBJECT

 private slots:
  void clearDatabaseKeepsOnlyTheForms() {
    Database db = Locked(FullFormDatabase(), QStringLiteral("pw"));
    ClearDatabase(db, Arial(12));
    QCOMPARE(db.RecordCount + db.FolderCount, 0);
    QCOMPARE(db.FormCount, std::int16_t(2));
    QVERIFY(!db.PasswordOn && db.Password.isEmpty());
  }

  // A title names an element of the form, labels included; the default code
  // also stands for a form whose elements hold no value.
  void titleElements() {
    FormDef form;
    form.ElementCount[kLabel] = 1;
    form.ElementCount[kText] = 1;
    for (const int code : {1000, 2000})
      QVERIFY2(IsValidTitleElement(form, ElementRef::FromCode(code)),
               qPrintable(QString::number(code)));
    for (const int code : {1001, 2001, 0, -1, 7000})
      QVERIFY2(!IsValidTitleElement(form, ElementRef::FromCode(code)),
               qPrintable(QString::number(code)));
    QCOMPARE(int(ReplacementTitle(form).Code()), 2000);
    FormDef image;
    image.ElementCount[kImage] = 1;
    QVERIFY(IsValidTitleElement(image, ElementRef::FromCode(0)));
    QVERIFY(!IsValidTitleElement(image, ElementRef::FromCode(2000)));
    QCOMPARE(int(ReplacementTitle(image).Code()), 0);
  }

  // Repairs add up kind by kind, and a single repair of a kind is told.
  void repairCountsAndTheirWords() {
    ModelRepairs one{1, 1, 1, 1};
    QCOMPARE(one.Describe().size(), 4);
    QCOMPARE(one.Total(), 4);
    ModelRepairs sum = one;
    sum += ModelRepairs{1, 2, 3, 4};
    QCOMPARE(std::tuple(sum.recordsRecovered, sum.foldersToTop, sum.titlesReset, sum.tablesAdded),
             std::tuple(2, 3, 4, 5));
  }

  // What the window points at: a folder, a form or none, a live record of
  // the open folder or none; each wrong pointer is told once.
  void displayProblems() {
    Database db = Sized(2, 2, 3);
    db.Records[1].Folder = 1;
    db.Records[2].Folder = BufferFolder;
    RecountBuffers(db);
    const std::pair<DisplayState, QString> cases[] = {
        {{-1, -1, 1}, ""},           {{1, 0, 0}, ""},         {{0, -1, 2}, "folder 2"},
        {{2, -1, 0}, "form 2"},      {{0, 2, 0}, "record 2"}, {{0, 3, 0}, "record 3"},
        {{0, 1, 0}, "record 1 in 0"}};
    for (const auto& [state, problems] : cases) {
      QStringList told;
      for (const ModelProblem& p : FindDisplayProblems(db, state)) {
        const bool recordFolder = p.kind == ModelProblem::kShownRecordFolder;
        const char* what = p.kind == ModelProblem::kShownFolder                   ? "folder"
                           : p.kind == ModelProblem::kShownForm                   ? "form"
                           : p.kind == ModelProblem::kShownRecord || recordFolder ? "record"
                                                                                  : "kind";
        told << QString("%1 %2").arg(what).arg(recordFolder ? p.index : p.value);
        if (recordFolder) told.last() += QString(" in %1").arg(p.value);
        QCOMPARE(p.index, recordFolder ? state.CurRecord : -1);
      }
      QCOMPARE(told.join(", "), problems);
    }
  }

  // Lines are matched by text, the n-th of a text to the n-th: moved,
  // inserted and duplicated lines carry their place, a removed one gives
  // no choice.
  void linesMoveByText_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<std::vector<int>>("moved");
    QTest::newRow("reordered") << QStringList{"Indoor", "Balcony", "Garden"}
                               << QStringList{"Garden", "Indoor", "Balcony"}
                               << std::vector<int>{1, 2, 0};
    QTest::newRow("inserted and removed")
        << QStringList{"a", "b", "c"} << QStringList{"x", "a", "c"} << std::vector<int>{1, -1, 2};
    QTest::newRow("duplicates in order")
        << QStringList{"a", "b", "a"} << QStringList{"a", "a"} << std::vector<int>{0, -1, 1};
    QTest::newRow("letter case differs")
        << QStringList{"a"} << QStringList{"A"} << std::vector<int>{-1};
  }
  void linesMoveByText() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QTEST(LinesMoved(before, after), "moved");
  }

  // An edited list carries the records' choices of its slot and form only;
  // a choice that named no line stays so, and is set to none where the new
  // list would give it one.
  void choicesFollowTheirLines() {
    // Per record: form, choices in combos 0 and 1, and what they become.
    const int records[][5] = {{0, 0, 1, 1, 1},  {0, 2, 0, 0, 0},   {0, 1, 5, -1, 5},
                              {0, 3, 1, -1, 1}, {0, 9, -1, 9, -1}, {0, -1, 0, -1, 0},
                              {1, 0, 0, 0, 0}};
    Database db = Sized(1, 2, 7);
    for (int f = 0; f < 2; ++f) {
      db.Forms[f].ElementCount[kCombo] = 2;
      db.Forms[f].ComboList[0] = QStringLiteral("Indoor\r\nBalcony\r\nGarden");
    }
    for (int r = 0; r < 7; ++r) {
      db.Records[r].Form = static_cast<std::int16_t>(records[r][0]);
      db.Records[r].ComboValue[0] = static_cast<std::int16_t>(records[r][1]);
      db.Records[r].ComboValue[1] = static_cast<std::int16_t>(records[r][2]);
    }
    const QString after = QStringLiteral("Garden\r\nIndoor\r\nShed\r\nPorch");
    QCOMPARE(CarryChoices(db, 0, 0, db.Forms[0].ComboList[0], after), 4);
    for (int r = 0; r < 7; ++r) {
      QCOMPARE(int(db.Records[r].ComboValue[0]), records[r][3]);
      QCOMPARE(int(db.Records[r].ComboValue[1]), records[r][4]);
    }
  }

  // Each fault is mended where it lies, the first entry of a table too: a
  // parent that is no folder, a title naming no element, records in no
  // folder (all into one recovered folder, made as a new folder is, also
  // when it is the table's first); the free slots are counted again.
  void repairsMendEachFaultWhereItLies() {
    Database db = Sized(2, 1, 4);
    db.Folders[0].Parent = 99;
    db.Forms[0].ElementCount[kText] = 1;
    db.Forms[0].TitleElement = {kText, 3};
    db.Records[1].Folder = BufferFolder;
    db.Records[2].Folder = db.Records[3].Folder = -7;
    const ModelRepairs repairs = RepairModel(db, RepairNames{QStringLiteral("Found"), {}});
    QCOMPARE(std::tuple(repairs.foldersToTop, repairs.titlesReset, repairs.recordsRecovered),
             std::tuple(1, 1, 2));
    QCOMPARE(int(db.Folders[0].Parent), int(TopLevelParent));
    QVERIFY(db.Forms[0].TitleElement == (ElementRef{kText, 0}));
    QCOMPARE(int(db.FolderCount), 3);
    QCOMPARE(int(db.Records[2].Folder), 2);
    QCOMPARE(int(db.Records[3].Folder), 2);
    QCOMPARE(db.Folders[2].Icon, QStringLiteral("root"));
    QCOMPARE(int(db.BufferCount), 1);

    Database noFolders = Sized(0, 1, 2);
    noFolders.Records[0].Folder = noFolders.Records[1].Folder = 3;
    QCOMPARE(RepairModel(noFolders, RepairNames{}).recordsRecovered, 2);
    QCOMPARE(int(noFolders.FolderCount), 1);
    QCOMPARE(int(noFolders.Records[1].Folder), 0);
  }

  // Records in no folder get a folder of their own while the table has room
  // for one more (up to index 32767), else they go into folder 0.
  void recoveredFolderAtTheTableEdge() {
    for (const auto& [folders, into] : {std::pair{32766, 32766}, std::pair{32767, 0}}) {
      Database db = Sized(static_cast<std::int16_t>(folders), 1, 1);
      db.Records[0].Folder = -7;
      const ModelRepairs repairs = RepairModel(db, RepairNames{QStringLiteral("Found"), {}});
      QCOMPARE(repairs.recordsRecovered, 1);
      QCOMPARE(int(db.Records[0].Folder), into);
      QCOMPARE(int(db.FolderCount), std::max(folders, into + 1));
      if (into > 0) QCOMPARE(db.Folders[std::size_t(into)].Name, QStringLiteral("Found"));
    }
  }

  // An empty database gets the folder and form a new database has.
  void emptyTablesGetTheirFirstEntry() {
    Database db;
    const FontSpec font{QStringLiteral("Serif"), 11, true, false};
    const ModelRepairs repairs = RepairForWindow(db, RepairNames{QString(), font});
    QCOMPARE(repairs.tablesAdded, 2);
    QCOMPARE(db.Forms[0].Elements[kText][0].Font.Name, QStringLiteral("Serif"));
    QCOMPARE(db.Forms[0].Name, QStringLiteral("Form 0"));
    QCOMPARE(std::pair(int(db.FolderCount), int(db.FormCount)), std::pair(1, 1));
    QCOMPARE(RepairForWindow(db, RepairNames{}).Total(), 0);
  }

  // An element count below 0 or past the slots is named, with its form and
  // type, and its title is not judged by it.
  // Pictures and the buttons that play or open files name files; mail
  // buttons, free slots and slots past a form's elements do not. A missing
  // name counts once however many records share it; a folder holding files
  // of the same names gives them back, stored below the database as a
  // chosen file is.
  void missingFilesFoundInAFolder() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("found"));
    for (const char* name : {"kept.png", "found/sea.png", "found/song.mp3"}) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    Database db = FullFormDatabase();
    db.DatabasePath = QFileInfo(dir.path()).canonicalFilePath() + "/db.2db";  // as opened
    for (int r = 0; r < db.RecordCount; ++r) {
      db.Records[r].ImageValue = {};
      db.Records[r].ButtonValue = {};
    }
    FormDef& form = db.Forms[0];
    form.ButtonAction[0] = kPlayMedia;
    form.ButtonAction[1] = kSendMail;
    form.ButtonAction[2] = kOpenFile;
    form.ButtonAction[3] = kOpenFile;
    form.ButtonAction[16] = kPlayMedia;
    RecordData& first = db.Records[0];
    first.ImageValue[0] = "\\pics\\sea.png";
    first.ImageValue[1] = "\\kept.png";
    first.ImageValue[16] = "\\beyond.png";
    first.ButtonValue[16] = "\\beyond.mp3";
    first.ButtonValue[3] = "\\pics\\";  // names a folder
    first.ButtonValue[0] = "C:\\music\\song.mp3";
    first.ButtonValue[1] = "nobody@example.com";
    first.ButtonValue[2] = "/elsewhere/sea.png";
    db.Records[2].ImageValue[15] = "\\pics\\sea.png";
    db.Records[1].ImageValue[0] = "\\no-element.png";  // form 1 has no pictures
    db.Records[4].ImageValue[0] = "\\free-slot.png";
    db.Records[4].Folder = BufferFolder;
    db.Records[3].ImageValue[0] = "\\no-form.png";
    // A damaged file's record names a form past the count, whose stale
    // entry has a picture.
    const std::int16_t forms = db.FormCount;
    SetCount(db, kFormsKind, forms + 1);
    db.Forms[forms].ElementCount[kImage] = 1;
    SetCount(db, kFormsKind, forms);
    db.Records[3].Form = forms;

    const std::vector<FileReference> missing = MissingFiles(db);
    QCOMPARE(missing.size(), std::size_t(5));
    QCOMPARE(DistinctFiles(missing), 4);
    const std::vector<FoundFile> found = FindInFolder(missing, dir.filePath("found"));
    QCOMPARE(found.size(), std::size_t(4));
    // The step covers each record once, however the found files are ordered.
    std::vector<FoundFile> interleaved = found;
    interleaved.push_back(found.front());
    QCOMPARE(ScopeOfPointingAtFoundFiles(interleaved).records.indices, (std::vector<int>{0, 2}));
    PointAtFoundFiles(db, found);
    QCOMPARE(first.ImageValue[0], QString("\\found\\sea.png"));
    QCOMPARE(first.ButtonValue[0], QString("\\found\\song.mp3"));
    QCOMPARE(first.ButtonValue[2], QString("\\found\\sea.png"));
    QCOMPARE(db.Records[2].ImageValue[15], QString("\\found\\sea.png"));
    QCOMPARE(first.ImageValue[1], QString("\\kept.png"));
    QCOMPARE(MissingFiles(db).size(), std::size_t(1));  // the folder's name
    QVERIFY(FindInFolder(missing, dir.filePath("nowhere")).empty());
    // Found through a link from elsewhere to the folder beside the
    // database, the files are still named relative to it, so they move with it.
    QTemporaryDir elsewhere;
    QVERIFY(QFile::link(dir.filePath("found"), elsewhere.filePath("link")));
    PointAtFoundFiles(db, FindInFolder(missing, elsewhere.filePath("link")));
    QCOMPARE(first.ImageValue[0], QString("\\found\\sea.png"));
  }

  // A form's or a record's slots read as seventeen values whatever was
  // written; a slot written with what an unwritten one reads as equals it,
  // and the memory of such slots at the end can be let go of.
  void slotsReadAsSeventeenValues() {
    PerSlot<QString> texts;
    QCOMPARE(std::as_const(texts)[16], QString());
    QCOMPARE(texts.Held(), std::size_t(0));
    texts[3] = "three";
    texts[9] = QString();
    PerSlot<QString> same;
    same[3] = "three";
    QVERIFY(texts == same);
    same[16] = "sixteen";
    QVERIFY(!(texts == same));
    QCOMPARE(texts.Held(), std::size_t(10));
    texts.DropUnwritten();
    QCOMPARE(texts.Held(), std::size_t(4));
    QCOMPARE(texts[3], QString("three"));
    QCOMPARE(texts[0], QString());
    PerSlot<bool> flags;
    flags[2] = true;
    QVERIFY(flags[2] && !flags[1] && !flags[5]);
  }

  void elementCountsOutOfRange() {
    for (const int count : {-1, kMaxElementsPerType + 1}) {
      Database db = Sized(1, 2);
      db.Forms[1].ElementCount[kCombo] = static_cast<std::int16_t>(count);
      std::vector<ModelProblem> problems = FindModelProblems(db);
      std::erase_if(problems, [](const ModelProblem& p) { return p.index != 1; });
      QCOMPARE(problems.size(), std::size_t(1));
      QCOMPARE(std::tuple(problems[0].kind, problems[0].value, problems[0].type),
               std::tuple(ModelProblem::kElementCount, count, int(kCombo)));
    }
  }

  // Each parent loop is named once, by its lowest folder, in ascending order
  // whatever order the folders lead into the loops.
  void loopsNamedByTheirLowestFolder() {
    Database db = Sized(7, 1);
    for (FolderDef& folder : db.Folders) folder.Parent = TopLevelParent;
    const int parents[7][2] = {{0, 5}, {5, 6}, {6, 5}, {1, 3}, {3, 2}, {2, 3}, {4, 2}};
    for (const auto& [folder, parent] : parents)
      db.Folders[std::size_t(folder)].Parent = static_cast<std::int16_t>(parent);
    QCOMPARE(FoldersClosingLoops(db), (std::vector<int>{2, 5}));
    QList<int> named;
    for (const ModelProblem& problem : FindModelProblems(db)) {
      if (problem.kind == ModelProblem::kFolderLoop) named << problem.index;
    }
    QCOMPARE(named, (QList<int>{2, 5}));
  }

  // Every text the file stores is looked at, in file order, and only those:
  // a form's name, the first free element slot, the database font, record
  // values of the form's elements, folders. Slots beyond are not stored.
  void unstorableTextsWhereTheFileStoresThem() {
    const QString arrow = QStringLiteral("\u2192");
    Database db = ExampleDatabase();
    SetCount(db, kFormsKind, 2);
    db.Forms[1] = db.Forms[0];
    const int texts = db.Forms[1].ElementCount[kText];
    db.Forms[1].Name = QStringLiteral("Kunden") + arrow;
    db.Forms[1].Elements[kText][std::size_t(texts)].Name = arrow;
    db.Forms[1].Elements[kText][std::size_t(texts) + 1].Name = arrow;  // not stored
    db.Forms[0].Elements[kText][0].Font.Name = arrow;
    db.DatabaseFont.Name = arrow;
    db.Records[0].TextValue[0] = arrow;
    db.Records[0].TextValue[std::size_t(texts)] = arrow;  // not stored
    db.Folders[0].Icon = arrow;
    db.Folders[0].Name = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    db.Forms[1].ElementCount[kCombo] = 1;
    db.Forms[1].ComboList[0] = arrow;
    db.Forms[1].ElementCount[kLabel] = 1;
    db.Forms[1].ToolTip[0] = arrow;
    CodePage codePage(QStringLiteral("windows-1252"));
    const std::vector<TextPlace> expected{
        {TextPlace::kElement, 0, kText, 0},     {TextPlace::kForm, 1},
        {TextPlace::kElement, 1, kLabel, 0},    {TextPlace::kElement, 1, kText, texts},
        {TextPlace::kElement, 1, kCombo, 0},    {TextPlace::kDatabaseFont},
        {TextPlace::kRecordValue, 0, kText, 0}, {TextPlace::kFolder, 0}};
    QVERIFY(FindUnstorableTexts(db, codePage, 100) == expected);
    // The NUL is stored as a space: one more text changes.
    QCOMPARE(MakeTextsStorable(db, codePage), 9);
    QCOMPARE(db.Forms[1].Name, QStringLiteral("Kunden?"));
    QCOMPARE(db.Folders[0].Name, QStringLiteral("a b"));
    QCOMPARE(db.Records[0].TextValue[std::size_t(texts)], arrow);
    QVERIFY(FindUnstorableTexts(db, codePage, 100).empty());
    // A character beyond U+FFFF is one "?", at the end too; a lone half of
    // a pair is one as well.
    const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString high = grin.left(1), low = grin.right(1);
    const std::pair<QString, QString> replaced[] = {
        {"a" + grin + "b", "a?b"}, {"a" + grin, "a?"}, {"a" + high, "a?"}, {low + "b", "?b"}};
    for (const auto& [name, stored] : replaced) {
      db.Folders[0].Name = name;
      MakeTextsStorable(db, codePage);
      QCOMPARE(db.Folders[0].Name, stored);
    }
  }
};

QTEST_GUILESS_MAIN(DatabaseModelTest)
#include "tst_database_model.moc"
