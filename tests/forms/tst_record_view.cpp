// Records drawn in their forms and edited in place, with the real window
// offscreen: the canvas, the values filled, typing, choosing, checking, the
// quick list, pictures, buttons, media and the title field.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidgetItem>
#include <QtTest>

#include "../shell/test_install.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "shell/folder_tree.h"
#include "shell/navigator.h"
#include "storage/database_commands.h"
#include "storage/element_values.h"
#include "storage/model_defaults.h"

using namespace orbo;

namespace {

// The new database's form 0 with the elements a test gives it; record 0
// is shown from a saved file, so relative picture names have a folder.
struct Fixture : RunningApp {
  Database& db = app.db;
  FormCanvas& canvas = app.Parts().Canvas();

  Fixture() {
    app.Parts().Window().resize(1000, 700);
    dialogs.savePath = install.Path("view.2db");
    SaveDatabaseAs(db, app.Storage());
  }
  FormDef& Form() { return db.Forms[0]; }
  void Elements(int type, int count) {
    for (int k = 0; k < count; ++k)
      ApplyNewElementDefaults(Form(), type, k, app.settings.DefaultFont);
    Form().ElementCount[type] = static_cast<std::int16_t>(count);
  }
  void Show(int record = 0) {
    app.Parts().Navigation().ShowFolder(0);
    app.Parts().Navigation().ShowRecord(record);
  }
  template <typename Widget>
  Widget* Control(int type, int slot = 0) {
    return qobject_cast<Widget*>(canvas.Control(type, slot));
  }
  void Mode(int editMode) { Trigger(editMode ? "mnuMode2_1" : "mnuMode2_0"); }
};

}  // namespace

class RecordViewTest : public QObject {
  Q_OBJECT

 private slots:
  void surplusMembersAreHidden() {
    Fixture f;
    f.Elements(kText, 16);
    f.Show();
    QVERIFY(f.Control<QLineEdit>(kText, 15)->isVisible());
    f.Elements(kText, 2);
    f.canvas.DrawForm(0);
    QVERIFY(f.Control<QLineEdit>(kText, 1)->isVisible());
    QVERIFY(!f.Control<QLineEdit>(kText, 2)->isVisible());
  }

  // Showing a record fills every control and never marks the database.
  void valuesAreFilled() {
    Fixture f;
    f.Elements(kCombo, 1);
    f.Elements(kFlag, 1);
    f.Elements(kButton, 2);
    f.Form().ButtonAction[0] = kPlayMedia;
    f.Form().ButtonAction[1] = kNextRecordAction;
    RecordData& record = f.db.Records[0];
    record.ComboValue[0] = 5;
    record.FlagValue[0] = true;
    record.ButtonValue[0] = "\\music\\song.wav";
    f.Show();
    QCOMPARE(f.Control<QComboBox>(kCombo)->currentIndex(), 0);
    QCOMPARE(record.ComboValue[0], 5);  // beyond the list: the first item, the record kept
    QVERIFY(f.Control<QCheckBox>(kFlag)->isChecked());
    QCOMPARE(f.Control<QPushButton>(kButton, 0)->text(), QString("song.wav"));
    QCOMPARE(f.Control<QPushButton>(kButton, 1)->text(), f.app.texts.Get(187, 8));
    QVERIFY(!f.db.Modified);
  }

  // Edit mode shows names and the combo's imitation.
  void editModeShowsTheDesign() {
    Fixture f;
    f.Elements(kCombo, 1);
    f.Show();
    f.Mode(1);
    QCOMPARE(f.Control<QLineEdit>(kText)->text(), f.Form().Elements[kText][0].Name);
    QVERIFY(f.canvas.FormArea().findChild<QLabel*>("ComboPic_0")->isVisible());
    QVERIFY(!f.canvas.Combo(0)->isVisible());
  }

  // A picture stored relative to the database's folder is shown; one of
  // natural size takes its own size; a missing one shows nothing.
  void pictures() {
    Fixture f;
    f.Elements(kImage, 2);
    f.Form().ImageSize[1] = 2;
    QDir(f.install.Path()).mkpath("pics");
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(f.install.Path("pics/a.png")));
    f.db.Records[0].ImageValue[1] = "\\pics\\a.png";
    f.Show();
    QCOMPARE(f.Control<QLabel>(kImage, 1)->size(), QSize(30, 20));
    QVERIFY(!f.Control<QLabel>(kImage, 1)->pixmap().isNull());
    f.db.Records[0].ImageValue[0] = "\\pics\\missing.png";
    f.Show();
    QVERIFY(f.Control<QLabel>(kImage, 0)->pixmap().isNull());
  }

  // A value that arrives while another command runs (here while its
  // question is open) lands in no record; the box shows the record again.
  void valueTypedDuringACommandLandsNowhere() {
    Fixture f;
    f.Show(0);
    f.app.Storage().SetModified(true);
    const QString before = f.db.Records[0].TextValue[0];
    QLineEdit* title = f.Control<QLineEdit>(kText);
    f.dialogs.answers = {kAnswerCancel};
    f.dialogs.whileAsking = [&] { title->setText("typed meanwhile"); };
    f.Trigger("mnuNew");  // asks to save first
    QApplication::processEvents();
    QCOMPARE(f.db.Records[0].TextValue[0], before);
    QCOMPARE(title->text(), before);
  }

  void flagsHoldNoValueWhileDesigned() {
    Fixture f;
    f.Elements(kFlag, 1);
    f.Show();
    f.Control<QCheckBox>(kFlag)->click();
    QVERIFY(f.db.Records[0].FlagValue[0]);
    f.Mode(1);
    QCheckBox* designed = f.Control<QCheckBox>(kFlag);
    designed->click();
    QVERIFY(!designed->isChecked());
    QVERIFY(f.db.Records[0].FlagValue[0]);  // no value while forms are designed
  }

  // A value already longer than its limit stays whole: a key that would
  // make it longer is refused, deleting works and undo brings back what was
  // there; below the limit again, typing goes up to it.
  void limitRefusesOnlyGrowth() {
    Fixture f;
    f.Form().TextLimit[0] = 20;
    const QString stored = "First line of the memo\r\nsecond line, which is longer than 20";
    f.db.Records[0].MemoValue[0] = stored;
    f.Show();
    QTextEdit* memo = f.Control<QTextEdit>(kMultiline);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_X);
    QCOMPARE(f.db.Records[0].MemoValue[0], stored);
    QTest::keyClick(memo, Qt::Key_Return);
    QApplication::clipboard()->setText("more");
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.db.Records[0].MemoValue[0], stored);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(f.db.Records[0].MemoValue[0], stored.chopped(1));
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.db.Records[0].MemoValue[0], stored);
    // A selection may be replaced by as much as it held.
    QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(memo, Qt::Key_F);
    QCOMPARE(f.db.Records[0].MemoValue[0], "f" + stored.mid(1));
    memo->selectAll();
    QTest::keyClick(memo, Qt::Key_Delete);
    QTest::keyClicks(memo, QString(25, u'y'));
    QCOMPARE(f.db.Records[0].MemoValue[0], QString(20, u'y'));
  }

  // A multiline title names its record by its first line with text, in the
  // tree and the title bar; the value keeps its lines.
  void multilineTitleShowsItsFirstLine() {
    Fixture f;
    f.Form().TitleElement = {kMultiline, 0};
    f.app.Parts().Navigation().RebuildTree();
    f.Show();
    QTextEdit* memo = f.Control<QTextEdit>(kMultiline);
    memo->selectAll();
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "Shopping");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "milk");
    QCOMPARE(f.db.Records[0].MemoValue[0], QString("\r\nShopping\r\nmilk"));
    QCOMPARE(f.app.Parts().Tree().Node(RecordKey(0))->text(0), QString("Shopping"));
    QVERIFY2(f.app.Parts().Window().windowTitle().endsWith(" - [Shopping]"),
             qPrintable(f.app.Parts().Window().windowTitle()));
  }

  // Values longer than a line edit takes by default stay whole when edited;
  // none grows beyond what a file holds.
  void longValuesStayWhole() {
    Fixture f;
    QString& text = f.db.Records[0].TextValue[0];
    QString& memoValue = f.db.Records[0].MemoValue[0];
    text = QString(100000, u'c');
    memoValue = QString(40000, u'b');
    f.Show();
    QLineEdit* line = f.Control<QLineEdit>(kText);
    QTextEdit* memo = f.Control<QTextEdit>(kMultiline);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Z);  // no limit of its own: 32767, already passed
    QCOMPARE(memoValue, QString(40000, u'b'));
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(memoValue, QString(39999, u'b'));
    QTest::keyClick(line, Qt::Key_End);
    QTest::keyClick(line, Qt::Key_Z);
    QCOMPARE(text, QString(100000, u'c'));
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClick(line, Qt::Key_Z);
    QCOMPARE(text, QString(99999, u'c') + 'z');
  }

  void passwordFieldGoesToTheClipboard() {
    Fixture f;
    f.Form().PasswordField[0] = 1;
    f.db.Records[0].TextValue[0] = "s3cret";
    f.Show();
    QLineEdit* password = f.Control<QLineEdit>(kText);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QTest::mouseDClick(password, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QString("s3cret"));
  }

  // A left press on a button without a value, or any right press, asks for
  // the value; a click runs the action on a value that is what it claims.
  void buttons() {
    Fixture f;
    f.Elements(kButton, 1);
    f.Show();
    QPushButton* mail = f.Control<QPushButton>(kButton, 0);
    mail->click();
    QVERIFY(f.dialogs.opened.isEmpty());
    f.dialogs.typedText = "ann@example.com";
    QTest::mousePress(mail, Qt::LeftButton);
    QCOMPARE(f.dialogs.prompts, QStringList{f.app.texts.Get(580, 0)});
    QCOMPARE(f.db.Records[0].ButtonValue[0], QString("ann@example.com"));
    QCOMPARE(mail->text(), QString("ann@example.com"));
    mail->click();
    QCOMPARE(f.dialogs.opened, QList<QUrl>{QUrl("mailto:ann@example.com")});
    f.dialogs.typedText = "no address";
    QTest::mousePress(mail, Qt::RightButton);
    mail->click();
    QCOMPARE(f.dialogs.opened.size(), 1);
    QVERIFY(f.app.Parts().Window().statusBar()->currentMessage().contains("no address"));
  }

  // Playing shows the media buttons and the panel. Opening another database, or a new one, closes
  // what was playing: the buttons and the panel go at once and stay gone.
  void media() {
    Fixture f;
    f.Elements(kButton, 1);
    f.Form().ButtonAction[0] = kPlayMedia;
    f.install.Write("song.wav", "RIFF");
    f.db.Records[0].ButtonValue[0] = "\\song.wav";
    QVERIFY(SaveDatabase(f.db, false, f.app.Storage()));
    f.Show();
    f.dialogs.media.commands.clear();
    f.Control<QPushButton>(kButton)->click();
    QCOMPARE(f.dialogs.media.commands, QStringList{"play " + f.install.Path("song.wav")});
    QLabel& panel = f.app.Parts().Window().StatusPanel("mci");
    MainCommands& commands = f.app.Parts().Window().Commands();
    for (const char* open : {"mnuLoad", "mnuNew"}) {
      f.Show();
      f.Control<QPushButton>(kButton)->click();
      f.app.UpdateTick();
      QVERIFY(!panel.isHidden());
      QVERIFY(commands.Tool(kMainBar, "mciPlay")->isVisible());
      f.dialogs.openPath = f.install.Path("view.2db");
      commands.Menu(open)->trigger();
      QCOMPARE(f.dialogs.media.commands.last(), QString("close"));
      QVERIFY(panel.isHidden());
      QVERIFY(!commands.Tool(kMainBar, "mciPlay")->isVisible());
      f.app.UpdateTick();
      QVERIFY(panel.isHidden());
    }
  }
};

QTEST_MAIN(RecordViewTest)
#include "tst_record_view.moc"
