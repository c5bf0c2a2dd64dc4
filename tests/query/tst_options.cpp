// The options dialog with the real window offscreen: the grid steps, the
// toolbar buttons, and writing the settings file.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include "../test_install.h"
#include "app/main_window.h"
#include "app/recovery_keeper.h"
#include "shell/settings_store.h"

using namespace orbo;

namespace {

void Options(RunningApp& r, const std::function<void(QDialog&)>& fill, bool ok = true) {
  r.RunDialog(r.app.Parts().Window().Commands().Menu("mnuPref"), fill, ok);
}

QTreeWidgetItem* Node(QDialog& d, int bar, int button) {
  QTreeWidgetItem* top = d.findChild<QTreeWidget*>("PanelView")->topLevelItem(bar);
  return button == 0 ? top : top->child(button - 1);
}

}  // namespace

class OptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void gridSteps_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("10") << "10" << 120;
    QTest::newRow("abc") << "abc" << 120;
    QTest::newRow("200") << "200" << 200;
    QTest::newRow("beyond 16 bits") << "40000" << 120;
  }
  // Stored, and written to the settings file.
  void gridSteps() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    RunningApp r;
    Options(r, [&](QDialog& d) {
      d.findChild<QLineEdit*>("GridXT")->setText(typed);
      d.findChild<QLineEdit*>("GridYT")->setText("300");
    });
    QCOMPARE(r.app.settings.GridStepX, std::int16_t(stored));
    AppSettings written;
    LoadIni(r.app.Files(), r.install.SettingsPath(), &written);
    QCOMPARE(written.GridStepX, std::int16_t(stored));
    QCOMPARE(written.GridStepY, std::int16_t(300));
  }

  // Copies switched off while changes are unsaved: the copy written before
  // goes at once, since nothing would bring it up to date.
  void recoveryOffRemovesTheCopy() {
    RunningApp r;
    r.app.db.Modified = true;
    r.app.Recovery().WriteNow();
    r.app.Recovery().Wait();
    const QString copy = r.install.Path(
        QStringLiteral("config/orbo-recovery/copy-%1.2db").arg(QCoreApplication::applicationPid()));
    QVERIFY(QFileInfo::exists(copy));
    Options(r, [](QDialog& d) { d.findChild<QSpinBox*>("RecoverySpin")->setValue(0); });
    QVERIFY(!QFileInfo::exists(copy));
  }

  // An unticked button is hidden after OK only, and the menu item it is one
  // command with stays.
  void toolbarButtons() {
    RunningApp r;
    const QList<ToolbarButton>& buttons = r.app.Parts().Window().Commands().Buttons(kMainBar);
    int find = 1;  // the node of the Find button: its place among the bar's buttons, plus one
    while (buttons[find - 1].key != "find") ++find;
    Options(
        r, [&](QDialog& d) { Node(d, kMainBar, find)->setCheckState(0, Qt::Unchecked); }, false);
    QVERIFY(buttons[find - 1].place->isVisible());
    Options(r, [&](QDialog& d) { Node(d, kMainBar, find)->setCheckState(0, Qt::Unchecked); });
    QVERIFY(!buttons[find - 1].place->isVisible());
    QVERIFY(r.app.Parts().Window().Commands().Menu("mnuFind")->isVisible());
    QVERIFY(!r.app.settings.ToolButtonVisible[kMainBar][find]);
    QVERIFY(r.app.settings.ToolButtonVisible[kMainBar][find + 1]);
  }

  // A settings file that cannot be written is named; the program goes on.
  void aFailedWriteSaysSo() {
    TestInstall install;
    install.Write("blocker", "a file, not a folder");
    FakeDialogs dialogs;
    const QString path = install.Path("blocker/orbo118.ini");
    App app(install.Path(), path, dialogs);
    app.Main("x");
    dialogs.messages.clear();
    dialogs.fatal.clear();
    dialogs.onModal = [](QDialog& d) {
      d.findChild<QCheckBox*>("ShowStatus")->setChecked(false);
      d.findChild<QPushButton*>("OkButt")->click();
      return d.result();
    };
    app.Parts().Window().Commands().Menu("mnuPref")->trigger();
    QVERIFY(!app.settings.ShowStatusBar);
    QVERIFY(dialogs.fatal.isEmpty());
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages[0].contains(QDir::toNativeSeparators(path)));
  }
};

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
