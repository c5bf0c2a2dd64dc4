// The properties dialog with the real window offscreen: what OK stores for
// elements and the database, which control edits which field, and how the tree opens the database's
// properties in edit mode.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <map>
#include <string_view>
#include <type_traits>

#include "../test_install.h"
#include "app/main_window.h"
#include "forms/designer/form_designer.h"
#include "forms/properties/properties_logic.h"
#include "shell/folder_tree_view.h"
#include "shell/navigator.h"
#include "storage/field_table.h"

using namespace orbo;

namespace {

// Edit mode on the new database's form.
struct Fixture : RunningApp {
  Database& db = app.db;

  Fixture() { app.Parts().Window().Commands().Menu("mnuMode2_1")->trigger(); }
  FormDef& Form() { return db.Forms[app.state.CurForm]; }
  // The dialog for the selection.
  void Properties(const std::function<void(QDialog&)>& fill, bool ok = true) {
    RunDialog(app.Parts().Window().Commands().Tool(kEditBar, "elprops"), fill, ok);
  }
  // Adds an element of type, selected.
  int Add(int type) {
    app.Parts().Designer().AddElement(type, 300, 300);
    return app.state.SelIndex;
  }
};

// Changes what a control shows, as a user would.
void Edit(QWidget& control) {
  if (auto* line = qobject_cast<QLineEdit*>(&control)) line->setText(line->text() + "x");
  if (auto* lines = qobject_cast<QPlainTextEdit*>(&control))
    lines->setPlainText(lines->toPlainText() + "\nMore");
  if (auto* combo = qobject_cast<QComboBox*>(&control))
    combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
  if (auto* button = qobject_cast<QAbstractButton*>(&control)) button->click();
}

// Whether field of element (t, slot) differs between two forms.
bool Differs(const FormDef& a, const FormDef& b, int t, int slot, const ElementField& field) {
  bool differs = false;
  VisitElementField(a, t, slot, field, [&](const auto& x) {
    VisitElementField(b, t, slot, field, [&](const auto& y) {
      if constexpr (std::is_same_v<decltype(x), decltype(y)>) differs = !(x == y);
    });
  });
  return differs;
}

}  // namespace

class PropertiesTest : public QObject {
  Q_OBJECT

 private slots:
  // A text limit above 30000, below 0 or not a number is no limit; a list
  // length is at least 2 and at most what 16 bits hold.
  void typedNumbers() {
    const std::pair<const char*, int> limits[] = {
        {"30000", 30000}, {"30001", 0}, {"-1", 0}, {"x", 0}, {"", 0}};
    for (const auto& [typed, stored] : limits) QCOMPARE(TextLimitOf(typed), std::int16_t(stored));
    const std::pair<const char*, int> lengths[] = {
        {"1", 2}, {"2", 2}, {"32767", 32767}, {"99999", 32767}};
    for (const auto& [typed, stored] : lengths) QCOMPARE(MaxListOf(typed), std::int16_t(stored));
  }

  // "Flat style" shows the appearance inverted; an emptied item list keeps one entry.
  void flagAndComboEntries() {
    Fixture f;
    const int flag = f.Add(kFlag);
    f.Form().FlagAppearance[flag] = 1;
    f.Properties([](QDialog& d) { Child<QCheckBox>(d, "FCheck1").setChecked(true); });
    QCOMPARE(f.Form().FlagAppearance[flag], std::int16_t(0));

    const int combo = f.Add(kCombo);
    f.Properties([](QDialog& d) { Child<QPlainTextEdit>(d, "CText1").setPlainText(""); });
    QCOMPARE(f.Form().ComboList[combo], QString("-"));
    f.Properties([](QDialog& d) { Child<QPlainTextEdit>(d, "CText1").setPlainText("Red\nGreen"); });
    QCOMPARE(f.Form().ComboList[combo], QString("Red\r\nGreen"));
  }

  // Each control stores its own field and no other, for every type, and a
  // control the type does not use cannot be edited; OK without an edit
  // stores nothing.
  void eachControlStoresItsOwnField() {
    // The control the user edits each field with.
    const std::map<std::string_view, const char*> controls = {
        {"Name", "NameTxt"},       {"Border", "BorderCombo"},      {"BackColor", "ColPic1"},
        {"ForeColor", "ColPic2"},  {"Transparent", "TranspCheck"}, {"Alignment", "AlignCombo"},
        {"ImageSize", "ICombo2"},  {"DblClickAction", "ICombo3"},  {"ToolTip", "LText1"},
        {"QuickEnter", "TCheck1"}, {"PasswordField", "TCheck3"},   {"ButtonAction", "BCombo1"},
        {"ComboList", "CText1"},   {"FlagAtRight", "FCheck2"},     {"FlagAppearance", "FCheck1"},
        {"TextLimit", "MCheck1"}};
    Fixture f;
    f.dialogs.color = QColor(1, 2, 3);
    for (int t = 0; t < kElementTypeCount; ++t) {
      const int slot = f.Add(t);
      const FormDef untouched = f.Form();
      f.Properties([](QDialog&) {});
      QVERIFY2(f.Form() == untouched, qPrintable(f.Form().Elements[t][slot].Name));
      for (const ElementField& field : kElementFields) {
        if (!field.AppliesTo(t) || !controls.contains(field.name)) continue;
        const FormDef before = f.Form();
        bool edited = false;
        f.Properties([&](QDialog& d) {
          QWidget& control = *d.findChild<QWidget*>(controls.at(field.name));
          edited = control.isEnabled();  // a control the type does not use stays as it is
          if (edited) Edit(control);
        });
        for (const ElementField& other : kElementFields) {
          if (other.AppliesTo(t))
            QVERIFY2(Differs(before, f.Form(), t, slot, other) == (edited && &other == &field),
                     qPrintable(QStringLiteral("%1 edited, %2 seen").arg(field.name, other.name)));
        }
      }
    }
  }

  // Values a control cannot show or store (a flag of 31000, a choice past
  // the list, a limit above the largest, a list length below 2) stay as
  // stored when OK comes without an edit.
  void valuesNobodyEditedStayAsStored() {
    Fixture f;
    for (int t = 0; t < kElementTypeCount; ++t) {
      const int slot = f.Add(t);
      for (const ElementField& field : kElementFields) {
        if (!field.AppliesTo(t)) continue;
        VisitElementField(f.Form(), t, slot, field, [](auto& value) {
          using Value = std::remove_cvref_t<decltype(value)>;
          if constexpr (std::is_arithmetic_v<Value>) value = static_cast<Value>(31000);
        });
      }
      const FormDef stored = f.Form();
      f.Properties([](QDialog&) {});
      QVERIFY2(f.Form() == stored, qPrintable(f.Form().Elements[t][slot].Name));
    }
    f.app.state.SelType = kSelectForm;
    f.Form().Shadow = 5;
    f.Form().Border = 9;
    const FormDef form = f.Form();
    f.Properties([](QDialog&) {});
    QVERIFY(f.Form() == form);
    f.db.MaxListString = 1;
    f.app.state.SelType = kSelectDatabase;
    f.Properties([](QDialog&) {});
    QCOMPARE(f.db.MaxListString, std::int16_t(1));
  }

  // In edit mode the right button on the tree opens the database's
  // properties; names longer than the list length are cut and end in "..".
  void theTreeOpensTheDatabaseProperties() {
    Fixture f;
    f.db.Folders[0].Name = "A folder with a long name";
    f.app.Parts().Navigation().RefreshTree();
    FolderTreeView& tree = f.app.Parts().Window().MainList();
    f.dialogs.onModal = [&](QDialog& d) {
      Child<QLineEdit>(d, "MaxListTxt").setText("1");
      Child<QPushButton>(d, "OkButt").click();
      return d.result();
    };
    tree.onRightPress(tree.model()->index(0, 0), QPoint());
    QCOMPARE(f.db.MaxListString, std::int16_t(2));
    QCOMPARE(tree.model()->index(0, 0).data().toString(), QString("A .."));
  }
};

QTEST_MAIN(PropertiesTest)
#include "tst_properties.moc"
