// The properties dialog with the real window offscreen: what OK stores for
// elements, the form and the database, what Cancel keeps, and how the tree
// opens the database's properties in edit mode.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QtTest>

#include "../shell/test_install.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
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
  void textLimit_data() {
    QTest::addColumn<bool>("limited");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("30001 is no limit") << true << "30001" << 0;
    QTest::newRow("30000 stays") << true << "30000" << 30000;
    QTest::newRow("unchecked") << false << "" << 0;
  }
  void textLimit() {
    QFETCH(bool, limited);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    Fixture f;
    const int slot = f.Add(kMultiline);
    f.Form().TextLimit[slot] = 50;
    f.Properties([&](QDialog& d) {
      auto* check = &Child<QCheckBox>(d, "MCheck1");
      QVERIFY(check->isChecked());
      QCOMPARE(Child<QLineEdit>(d, "MText1").text(), QString("50"));
      if (!limited) check->click();
      QCOMPARE(Child<QLineEdit>(d, "MText1").isEnabled(), limited);
      if (limited) Child<QLineEdit>(d, "MText1").setText(typed);
    });
    QCOMPARE(f.Form().TextLimit[slot], std::int16_t(stored));
  }

  // "Flat style" shows the appearance inverted; an emptied item list keeps one entry.
  void flagAndComboEntries() {
    Fixture f;
    const int flag = f.Add(kFlag);
    f.Form().FlagAppearance[flag] = 1;
    f.Properties([](QDialog& d) { Child<QCheckBox>(d, "FCheck1").setChecked(true); });
    QCOMPARE(f.Form().FlagAppearance[flag], std::int16_t(0));

    const int combo = f.Add(kCombo);
    f.Properties([](QDialog& d) {
      QCOMPARE(Child<QPlainTextEdit>(d, "CText1").toPlainText(), QString("Value A\nValue B"));
      QVERIFY(!Child<QComboBox>(d, "BorderCombo").isEnabled());
      Child<QPlainTextEdit>(d, "CText1").setPlainText("");
    });
    QCOMPARE(f.Form().ComboList[combo], QString("-"));
    f.Properties([](QDialog& d) { Child<QPlainTextEdit>(d, "CText1").setPlainText("Red\nGreen"); });
    QCOMPARE(f.Form().ComboList[combo], QString("Red\r\nGreen"));
  }

  void renamingTheFormRenamesItsChooserEntry() {
    Fixture f;
    f.app.Parts().Designer().SelectElement(kSelectForm, 0);
    f.Properties([](QDialog& d) { Child<QLineEdit>(d, "NameTxt").setText("Invoices"); });
    QCOMPARE(f.Form().Name, QString("Invoices"));
    QCOMPARE(f.app.Parts().Designer().FormCombo().itemText(f.app.state.CurForm),
             QString("Invoices"));
  }

  // The font is stored when chosen, the colour only by OK.
  void cancelKeepsTheColourButNotTheFont() {
    Fixture f;
    f.app.Parts().Designer().SelectElement(kText, 0);
    const std::int32_t colour = f.Form().Elements[kText][0].BackColor;
    f.dialogs.color = QColor(255, 0, 0);
    f.dialogs.font = QFont("DejaVu Serif", 14, QFont::Bold);
    f.Properties(
        [](QDialog& d) {
          Child<QPushButton>(d, "ColPic1").click();
          Child<QPushButton>(d, "FontButt").click();
          QVERIFY(Child<QLabel>(d, "FontLab").text().startsWith("DejaVu Serif, 14"));
        },
        false);
    const ElementDef& text = f.Form().Elements[kText][0];
    QCOMPARE(text.BackColor, colour);
    QCOMPARE(text.Font, (FontSpec{"DejaVu Serif", 14, true, false}));
    QCOMPARE(f.app.Parts().Canvas().Control(kText, 0)->font().family(), QString("DejaVu Serif"));
    f.Properties([](QDialog& d) { Child<QPushButton>(d, "ColPic1").click(); });
    QCOMPARE(text.BackColor, std::int32_t(0x0000FF));
  }

  // Changing tabs leaves the dialog's size alone, for every kind of
  // selection, however often it is done.
  void tabsKeepTheSize() {
    Fixture f;
    for (int type = 0; type < kElementTypeCount; ++type) f.Add(type);
    for (int type = -1; type < kElementTypeCount; ++type) {
      f.app.Parts().Designer().SelectElement(type, 0);
      f.Properties(
          [&](QDialog& d) {
            d.show();
            QTabBar& tabs = Child<QTabBar>(d, "MainTab");
            const QSize shown = d.size();
            for (int i = 0; i < 6; ++i) {
              QTest::mouseClick(&tabs, Qt::LeftButton, {},
                                tabs.tabRect(1 - tabs.currentIndex()).center());
              QApplication::processEvents();
              QCOMPARE(d.size(), shown);
            }
            QVERIFY(Child<QWidget>(d, tabs.currentIndex() == 0 ? "DefaultFrame" : "PrivateFrame")
                        .isVisible());
            d.hide();
          },
          false);
    }
  }

  // In edit mode the right button on the tree opens the database's
  // properties; names longer than the list length are cut and end in "..".
  void theTreeOpensTheDatabaseProperties_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shownName");
    QTest::newRow("1") << "1" << 2 << "A ..";
    QTest::newRow("beyond 16 bits") << "99999" << 32767 << "A folder with a long name";
  }
  void theTreeOpensTheDatabaseProperties() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    Fixture f;
    f.db.Folders[0].Name = "A folder with a long name";
    f.app.Parts().Navigation().RebuildTree();
    FolderTreeWidget& tree = f.app.Parts().Window().MainList();
    QString shown;
    f.dialogs.onModal = [&](QDialog& d) {
      shown = d.objectName() + ' ' + Child<QLineEdit>(d, "NameTxt").text() + ' ' +
              Child<QLineEdit>(d, "MaxListTxt").text();
      Child<QLineEdit>(d, "MaxListTxt").setText(typed);
      Child<QPushButton>(d, "OkButt").click();
      return d.result();
    };
    tree.onRightPress(tree.topLevelItem(0), QPoint());
    QCOMPARE(shown, "SetForm " + f.app.texts.Get(155, 1) + " 20");
    QCOMPARE(f.app.state.SelType, kSelectDatabase);
    QCOMPARE(f.db.MaxListString, std::int16_t(stored));
    QTEST(tree.topLevelItem(0)->text(0), "shownName");
  }
};

QTEST_MAIN(PropertiesTest)
#include "tst_properties.moc"
