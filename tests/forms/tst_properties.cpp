// The properties dialog with the real window offscreen: what OK stores for
// elements and the database, and how the tree opens the database's
// properties in edit mode.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "../test_install.h"
#include "app/main_window.h"
#include "forms/designer/form_designer.h"
#include "forms/properties/properties_logic.h"
#include "shell/folder_tree_widget.h"
#include "shell/navigator.h"

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

  // In edit mode the right button on the tree opens the database's
  // properties; names longer than the list length are cut and end in "..".
  void theTreeOpensTheDatabaseProperties() {
    Fixture f;
    f.db.Folders[0].Name = "A folder with a long name";
    f.app.Parts().Navigation().RebuildTree();
    FolderTreeWidget& tree = f.app.Parts().Window().MainList();
    f.dialogs.onModal = [&](QDialog& d) {
      Child<QLineEdit>(d, "MaxListTxt").setText("1");
      Child<QPushButton>(d, "OkButt").click();
      return d.result();
    };
    tree.onRightPress(tree.topLevelItem(0), QPoint());
    QCOMPARE(f.db.MaxListString, std::int16_t(2));
    QCOMPARE(tree.topLevelItem(0)->text(0), QString("A .."));
  }
};

QTEST_MAIN(PropertiesTest)
#include "tst_properties.moc"
