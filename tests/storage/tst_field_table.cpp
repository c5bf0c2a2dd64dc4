#include <QtTest>
#include <type_traits>

#include "cli/json_image.h"
#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/field_table.h"
#include "storage/model_defaults.h"
#include "storage/stored_texts.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::test;

namespace {

// A value unlike v and unlike the value given for any other seed, so two
// fields read into each other's place cannot pass.
template <typename T>
T Changed(const T& v, int seed) {
  if constexpr (std::is_same_v<T, bool>) {
    return !v;
  } else if constexpr (std::is_same_v<T, QString>) {
    return QStringLiteral("value %1").arg(seed);
  } else if constexpr (std::is_same_v<T, FontSpec>) {
    return {QStringLiteral("Font %1").arg(seed), static_cast<std::int16_t>(v.Size + seed + 1),
            !v.Bold, !v.Italic};
  } else {
    return static_cast<T>(v + 1000 + seed);
  }
}

// Every property of every element slot k of form 0 changed, each to its own
// value.
Database EveryElementFieldChanged(Database db, int k) {
  int seed = 0;
  for (int t = 0; t < kElementTypeCount; ++t) {
    ForEachElementField(db.Forms[0], t, k,
                        [&](const ElementField&, auto& value) { value = Changed(value, ++seed); });
  }
  return db;
}

// Every value of record r changed, each to its own value.
Database EveryRecordValueChanged(Database db, int r) {
  int seed = 0;
  ForEachRecordField(db.Records[static_cast<std::size_t>(r)],
                     [&](const RecordField&, auto& values) {
                       for (int slot = 0; slot < kSlotCount; ++slot)
                         values[slot] = Changed(values[slot], ++seed);
                     });
  return db;
}

}  // namespace

class FieldTableTest : public QObject, SampleFiles {
  Q_OBJECT

 private:
  CodePage codePage_;

  Database ThroughFile(const Database& db) {
    return ReadDatabaseFile(Saved(db, "fields.2db"), codePage_, QString()).db;
  }
  Database ThroughImage(const Database& db) {
    return DatabaseFromImage(Image::parse(DatabaseToImage(db).dump()), codePage_);
  }

 private slots:
  void initTestCase() {
    QVERIFY(IsValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  void tablesNameEachFieldOnce() {
    for (int t = 0; t < kElementTypeCount; ++t) {
      QSet<QString> names;
      for (const ElementField& field : kElementFields) {
        if (field.AppliesTo(t)) names.insert(QString::fromLatin1(field.name));
      }
      int applying = 0;
      for (const ElementField& field : kElementFields) applying += field.AppliesTo(t);
      QCOMPARE(names.size(), applying);
    }
    QSet<QString> values;
    for (const RecordField& field : kRecordFields) values.insert(QString::fromLatin1(field.name));
    QCOMPARE(values.size(), int(kRecordFields.size()));
  }

  // Whatever a slot held before, a new element in it is named by its type
  // and number, takes the default font and lies inside a new form.
  void newElementsStartInsideANewForm() {
    Database db = EveryElementFieldChanged(FullFormDatabase(), 3);
    FormDef& form = db.Forms[0];
    ApplyNewFormDefaults(form, 0, Arial());
    for (int t = 0; t < kElementTypeCount; ++t) {
      ApplyNewElementDefaults(form, t, 3, Arial(9));
      const ElementDef& e = form.Elements[static_cast<std::size_t>(t)][3];
      QCOMPARE(e.Name, NewNames().elements[static_cast<std::size_t>(t)].arg(3));
      QCOMPARE(e.Font, Arial(9));
      QVERIFY(e.Left >= 0 && e.Top >= 0 && e.Width > 0 && e.Height > 0);
      QVERIFY2(e.Left + e.Width <= form.Width && e.Top + e.Height <= form.Height,
               qPrintable(e.Name));
    }
  }

  // Element slots in use and the first free one are stored, each field in
  // its own place.
  void everyElementFieldIsStoredInItsPlace() {
    const Database base = FullFormDatabase();
    for (int slot : {0, kMaxElementsPerType}) {
      const Database db = EveryElementFieldChanged(base, slot);
      QCOMPARE(StoredDifference(db, base), QStringLiteral("form 0"));
      QCOMPARE(StoredDifference(ThroughFile(db), db), QString());
      QCOMPARE(StoredDifference(ThroughImage(db), db), QString());
    }
  }

  void slotsAboveTheFirstFreeAreNotStored() {
    const Database base = ExampleDatabase();
    for (int t = 0; t < kElementTypeCount; ++t) {
      const int above = base.Forms[0].ElementCount[t] + 1;
      for (const ElementField& field : kElementFields) {
        if (!field.AppliesTo(t)) continue;
        Database db = base;
        VisitElementField(db.Forms[0], t, above, field, [](auto& v) { v = Changed(v, 1); });
        QVERIFY2(!ModelDifference(db, base).isEmpty(), field.name);
        QVERIFY2(StoredDifference(db, base).isEmpty(), field.name);
      }
    }
  }

  void eachElementFieldCountsAsStored() {
    const Database base = FullFormDatabase();
    for (int t = 0; t < kElementTypeCount; ++t) {
      for (const ElementField& field : kElementFields) {
        if (!field.AppliesTo(t)) continue;
        Database db = base;
        VisitElementField(db.Forms[0], t, 3, field, [](auto& v) { v = Changed(v, 1); });
        QVERIFY2(StoredDifference(db, base) == QStringLiteral("form 0"), field.name);
      }
    }
  }

  // Values of the form's elements are stored; values past its count are not.
  void everyRecordValueIsStoredInItsPlace() {
    const Database base = FullFormDatabase();
    const Database db = EveryRecordValueChanged(base, 0);
    QCOMPARE(StoredDifference(db, base), QStringLiteral("record 0"));
    QCOMPARE(StoredDifference(ThroughFile(db), db), QString());
    QCOMPARE(StoredDifference(ThroughImage(db), db), QString());

    Database unused = ExampleDatabase();
    const Database example = unused;
    ForEachRecordField(unused.Records[0], [&](const RecordField& field, auto& values) {
      const int count = unused.Forms[0].ElementCount[field.type];
      values[count] = Changed(values[count], 1);
    });
    QCOMPARE(StoredDifference(unused, example), QString());
  }

  // The image lists an element's common fields in a fixed order, then its
  // type's own; a record's values follow the element types.
  void theImageKeepsItsOrder() {
    const Image image = DatabaseToImage(FullFormDatabase());
    const QStringList common = {"Name",      "Left",        "Top",      "Width",
                                "Height",    "Font",        "Border",   "BackColor",
                                "ForeColor", "Transparent", "Alignment"};
    const QStringList own[kElementTypeCount] = {{"ImageSize", "DblClickAction"},
                                                {"ToolTip"},
                                                {"QuickEnter", "PasswordField"},
                                                {"ButtonAction"},
                                                {"ComboList"},
                                                {"FlagAtRight", "FlagAppearance"},
                                                {"TextLimit"}};
    for (int t = 0; t < kElementTypeCount; ++t) {
      QStringList keys;
      for (const auto& item : image["Forms"][0]["Elements"][t][0].items())
        keys << QString::fromStdString(item.key());
      QCOMPARE(keys, common + own[t]);
    }
    QStringList recordKeys;
    for (const auto& item : image["Records"][0].items())
      recordKeys << QString::fromStdString(item.key());
    QCOMPARE(recordKeys, QStringList({"Form", "Folder", "ImageValue", "TextValue", "ButtonValue",
                                      "ComboValue", "FlagValue", "MemoValue"}));
  }

  // Every stored text of an element and a record is visited, so a code
  // page check or mend reaches each.
  void storedTextsReachEveryTextField() {
    const Database db = EveryRecordValueChanged(EveryElementFieldChanged(FullFormDatabase(), 0), 0);
    QStringList seen;
    ForEachStoredText(db, [&](const QString& text, const TextPlace&) { seen << text; });
    for (int t : {kLabel, kCombo}) {
      ForEachElementField(db.Forms[0], t, 0, [&](const ElementField& field, const auto& v) {
        ForEachTextOf(v, [&](const QString& text) { QVERIFY2(seen.contains(text), field.name); });
      });
    }
    ForEachRecordField(db.Records[0], [&](const RecordField& field, const auto& values) {
      ForEachTextOf(values[0],
                    [&](const QString& text) { QVERIFY2(seen.contains(text), field.name); });
    });
  }
};

QTEST_GUILESS_MAIN(FieldTableTest)
#include "tst_field_table.moc"
