// The designer's changes to the model: elements and forms added and
// deleted with the records in step, grid snapping, the resize rules.
#include <QRandomGenerator>
#include <QtTest>
#include <map>

#include "forms/designer/designer_logic.h"
#include "storage/model_defaults.h"
#include "storage/model_invariants.h"
#include "storage/stored_content.h"

using namespace orbo;

namespace {

const FontSpec kFont{"Sans", 10, false, false};

// One folder, forms with the given element counts (names "t<type>s<slot>"),
// and records of the given forms whose values name their element.
Database MakeDb(const std::vector<std::array<std::int16_t, kElementTypeCount>>& forms,
                const std::vector<int>& records) {
  Database db;
  SetCount(db, kFoldersKind, 1);
  ApplyNewFolderDefaults(db.Folders[0], 0);
  SetCount(db, kFormsKind, static_cast<std::int16_t>(forms.size()));
  for (std::size_t f = 0; f < forms.size(); ++f) {
    ApplyNewFormDefaults(db.Forms[f], static_cast<int>(f), kFont);
    for (int t = 0; t < kElementTypeCount; ++t) {
      for (int k = 0; k < forms[f][t]; ++k) {
        ApplyNewElementDefaults(db.Forms[f], t, k, kFont);
        db.Forms[f].Elements[t][k].Name = QString("t%1s%2").arg(t).arg(k);
      }
      db.Forms[f].ElementCount[t] = forms[f][t];
    }
  }
  SetCount(db, kRecordsKind, static_cast<std::int16_t>(records.size()));
  for (std::size_t r = 0; r < records.size(); ++r) {
    RecordData& record = db.Records[r];
    record = RecordData{};
    record.Form = static_cast<std::int16_t>(records[r]);
    for (int k = 0; k < kSlotCount; ++k) {
      record.TextValue[k] = QString("r%1 t2s%2").arg(r).arg(k);
      record.ComboValue[k] = static_cast<std::int16_t>(k);
    }
  }
  RecountBuffers(db);
  return db;
}

// Each record's text and combo values by the name of their element.
std::map<QString, QString> ValuesByName(const Database& db, int form) {
  std::map<QString, QString> values;
  const FormDef& def = db.Forms[form];
  for (int r = 0; r < db.RecordCount; ++r) {
    if (db.Records[r].Form != form) continue;
    for (int k = 0; k < def.ElementCount[kText]; ++k)
      values[QString("%1/%2").arg(r).arg(def.Elements[kText][k].Name)] = db.Records[r].TextValue[k];
    for (int k = 0; k < def.ElementCount[kCombo]; ++k) {
      values[QString("%1/%2").arg(r).arg(def.Elements[kCombo][k].Name)] =
          QString::number(db.Records[r].ComboValue[k]);
    }
  }
  return values;
}

}  // namespace

class DesignerLogicTest : public QObject {
  Q_OBJECT

 private slots:
  void addingStopsAtSixteen() {
    Database db = MakeDb({{0, 15, 1, 0, 0, 0, 0}}, {0});
    db.Records[0].TextValue[1] = "stale";
    QCOMPARE(AddElementInModel(db, 0, kLabel, 300, 400, kFont), 15);
    QCOMPARE(db.Forms[0].Elements[kLabel][15].Left, std::int16_t(300));
    QCOMPARE(AddElementInModel(db, 0, kLabel, 0, 0, kFont), -1);
    QCOMPARE(db.Forms[0].ElementCount[kLabel], 16);
    // A new element starts empty in the records, whatever its slot held.
    QCOMPARE(AddElementInModel(db, 0, kText, 0, 0, kFont), 1);
    QCOMPARE(db.Records[0].TextValue[1], QString());
  }

  // The title never names nothing: not after its element is deleted from a
  // form without text, nor after a value element joins a form of labels.
  void titleKeepsNamingAnElement() {
    Database db = MakeDb({{1, 2, 0, 1, 0, 0, 0}, {0, 2, 0, 0, 0, 0, 0}}, {0, 1});
    db.Forms[0].TitleElement = {kImage, 0};  // the image
    DeleteElementInModel(db, 0, kImage, 0);
    QCOMPARE(db.Forms[0].TitleElement, (ElementRef{kButton, 0}));  // the button
    DeleteElementInModel(db, 0, kButton, 0);
    QCOMPARE(db.Forms[0].TitleElement, kDefaultTitleElement);  // labels only
    db.Forms[1].TitleElement = {kLabel, 1};
    DeleteElementInModel(db, 1, kLabel, 0);
    QCOMPARE(db.Forms[1].TitleElement, (ElementRef{kLabel, 0}));  // moved with its label
    QCOMPARE(AddElementInModel(db, 0, kFlag, 0, 0, kFont), 0);
    QCOMPARE(db.Forms[0].TitleElement, (ElementRef{kFlag, 0}));
    QCOMPARE(AddElementInModel(db, 1, kImage, 0, 0, kFont), 0);
    QCOMPARE(db.Forms[1].TitleElement, (ElementRef{kLabel, 0}));  // a label titles it still
    QCOMPARE(FindModelProblems(db), std::vector<ModelProblem>{});
  }

  // Whatever is deleted, every record keeps each value under its element.
  void recordsStayInStepWithTheForm() {
    QRandomGenerator random(4242);
    for (int round = 0; round < 200; ++round) {
      std::array<std::int16_t, kElementTypeCount> counts{};
      for (auto& count : counts) count = static_cast<std::int16_t>(random.bounded(5));
      counts[kText] = static_cast<std::int16_t>(1 + random.bounded(5));
      Database db = MakeDb({counts, counts}, {0, 1, 0, 0});
      std::map<QString, QString> before = ValuesByName(db, 0);
      const int type = random.bounded(2) == 0 ? kText : kCombo;
      if (db.Forms[0].ElementCount[type] == 0) continue;
      const int slot = random.bounded(db.Forms[0].ElementCount[type]);
      const QString deleted = db.Forms[0].Elements[type][slot].Name;
      DeleteElementInModel(db, 0, type, slot);
      std::erase_if(before, [&](const auto& entry) { return entry.first.endsWith("/" + deleted); });
      QCOMPARE(ValuesByName(db, 0), before);
    }
  }

  void forms() {
    Database db =
        MakeDb({{0, 0, 1, 0, 0, 0, 0}, {0, 0, 2, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0}}, {0, 2, 2});
    db.Forms[1].Name = "Book";
    QVERIFY(CloneFormInModel(db, 1));
    QCOMPARE(db.FormCount, 4);
    QCOMPARE(db.Forms[3].Name, QString("Book (copy)"));
    QVERIFY(!DeleteFormInModel(db, 2));  // in use
    QVERIFY(DeleteFormInModel(db, 1));
    QCOMPARE(db.FormCount, 3);
    QCOMPARE(db.Records[1].Form, 1);  // form 2 became 1
    // No form and no element outside the tables is taken.
    const Database kept = db;
    for (const int source : {-1, 3}) QVERIFY(!CloneFormInModel(db, source));
    for (const int slot : {-1, 1}) DeleteElementInModel(db, 0, kText, slot);
    QCOMPARE(ModelDifference(db, kept), QString());
    SetCount(db, kFormsKind, kMaxForms);
    QVERIFY(!AddFormInModel(db, kFont));
    QVERIFY(!CloneFormInModel(db, 0));
    SetCount(db, kFormsKind, 1);
    SetCount(db, kRecordsKind, 0);
    QVERIFY(!DeleteFormInModel(db, 0));  // the only form, in use or not
  }

  void resizing() {
    const QRect start(1000, 1000, 2000, 600);
    const auto resized = [&](int dx, int dy, int handle, bool combo = false) {
      return ResizedBox(start, dx, dy, EdgesOfHandle(handle), combo, false, 120, 120);
    };
    QCOMPARE(resized(-1850, 0, 1), start);  // 150 would be too narrow
    QCOMPARE(resized(500, 0, 1), QRect(1000, 1000, 2500, 600));
    QCOMPARE(resized(1900, 0, 3), QRect(2850, 1000, 150, 600));
    QCOMPARE(resized(1900, 0, 3, true), QRect(2550, 1000, 450, 600));
    QCOMPARE(resized(0, 900, 0, true), start);  // combos keep their height
    QCOMPARE(resized(0, 500, 4), QRect(1000, 1450, 2000, 150));
    QCOMPARE(ResizedBox(start, 299, 0, EdgesOfHandle(1), false, true, 200, 200),
             QRect(1000, 1000, 2200, 600));
    QCOMPARE(HandleRect(0, start), QRect(3000, 1600, 100, 100));
    // A handle that moves no left or right edge sits in the middle across,
    // one that moves no top or bottom edge in the middle down.
    for (int handle = 0; handle < 8; ++handle) {
      const HandleEdges edges = EdgesOfHandle(handle);
      const QPoint centre = HandleRect(handle, start).center();
      if (!edges.horizontal) QVERIFY(qAbs(centre.x() - start.center().x()) <= 1);
      if (!edges.vertical) QVERIFY(qAbs(centre.y() - start.center().y()) <= 1);
    }
  }

  // Whatever the pointer does, every box the designer keeps fits 16-bit
  // signed twips, with sides of at least one twip; a canvas a broken file
  // made negative still gives a position.
  void boxesStayWithinWhatAFileHolds() {
    QRandomGenerator random(2626);
    const auto any = [&] { return random.bounded(-70000, 70000); };
    const auto fits = [](int v) { return v >= kSmallestTwips && v <= kLargestTwips; };
    const auto side = [](int v) { return v >= 1 && v <= kLargestTwips; };
    for (int round = 0; round < 20000; ++round) {
      const QRect start(random.bounded(-32768, 32768), random.bounded(-32768, 32768),
                        random.bounded(1, 32768), random.bounded(1, 32768));
      const bool grid = random.bounded(2) == 0;
      const int step = random.bounded(1, 3000);
      const QRect box = ResizedBox(start, any(), any(), EdgesOfHandle(random.bounded(8)),
                                   random.bounded(5) == 0, grid, step, step);
      QVERIFY(fits(box.left()) && fits(box.top()) && side(box.width()) && side(box.height()));
      const QSize canvas(random.bounded(-32768, 32768), random.bounded(-32768, 32768));
      const QPoint at = MovedPosition(any(), any(), start.size(), canvas, grid, step, step);
      QVERIFY(fits(at.x()) && fits(at.y()));
      QVERIFY(at.x() >= -start.width() && at.y() >= -start.height());
    }
    QCOMPARE(ResizedBox(QRect(0, 0, 32000, 600), 5000, 0, EdgesOfHandle(1), false, true, 200, 200)
                 .width(),
             32767);
    QCOMPARE(
        ResizedBox(QRect(-32000, 0, 1000, 600), -5000, 0, EdgesOfHandle(3), false, false, 1, 1),
        QRect(-32768, 0, 6000, 600));
    // A move snaps to the nearest grid line, below zero too.
    const QSize element(1000, 300);
    const QSize canvas(6000, 4500);
    QCOMPARE(MovedPosition(299, 301, element, canvas, true, 200, 200), QPoint(200, 400));
    QCOMPARE(MovedPosition(-101, -299, element, canvas, true, 200, 200), QPoint(-200, -200));
    QCOMPARE(MovedPosition(-5000, 9000, element, canvas, false, 200, 200), QPoint(-1000, 4500));
    QCOMPARE(StoredTwips(40000), std::int16_t(32767));
    QCOMPARE(StoredTwips(-40000), std::int16_t(-32768));
    QCOMPARE(StoredSide(-31936), std::int16_t(1));
  }
};

QTEST_GUILESS_MAIN(DesignerLogicTest)
#include "tst_designer_logic.moc"
