// Records drawn in their forms and edited in place, with the real window
// offscreen: the values filled, typing, media and the title field.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include "../test_install.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "shell/file_commands.h"
#include "shell/folder_tree_model.h"
#include "shell/navigator.h"
#include "storage/element_values.h"
#include "storage/model_defaults.h"

using namespace orbo;

namespace {

// The new database's form 0 with the elements a test gives it; record 0
// is shown from a saved file, so relative file names have a folder.
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
};

}  // namespace

class RecordViewTest : public QObject {
  Q_OBJECT

 private slots:
  // A stored choice that names no line shows as no choice and stays as
  // stored; picking a line is one step, and its undo gives the stored value
  // back.
  void aChoiceBeyondTheListShowsNothingAndStays() {
    Fixture f;
    f.Elements(kCombo, 1);
    f.db.Records[0].ComboValue[0] = 5;
    f.Show();
    auto* combo = f.Control<QComboBox>(kCombo);
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(f.db.Records[0].ComboValue[0], 5);
    QVERIFY(!f.db.Modified);
    combo->setCurrentIndex(1);
    QCOMPARE(f.db.Records[0].ComboValue[0], 1);
    QVERIFY(f.db.Modified);
    f.Trigger("mnuUndo");
    QCOMPARE(f.db.Records[0].ComboValue[0], 5);
    QCOMPARE(combo->currentIndex(), -1);
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

  // A value already longer than its limit stays whole: a key that would
  // make it longer is refused, deleting works and undo brings back what was
  // there.
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
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(f.db.Records[0].MemoValue[0], stored.chopped(1));
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.db.Records[0].MemoValue[0], stored);
  }

  // Tab follows the form as it is read, top to bottom and left to right,
  // whatever the kinds of the fields; in a multiline field Tab types a tab
  // and Ctrl+Tab leaves; a picture takes the focus, and Space chooses
  // another one.
  void tabFollowsTheFormAsItIsRead() {
    Fixture f;
    f.Elements(kText, 2);
    f.Elements(kCombo, 1);
    f.Elements(kFlag, 1);
    f.Elements(kImage, 1);
    const auto place = [&](int type, int slot, int top, int left) {
      f.Form().Elements[type][slot].Top = top;
      f.Form().Elements[type][slot].Left = left;
    };
    place(kText, 0, 100, 100);
    place(kFlag, 0, 100, 3000);
    place(kMultiline, 0, 600, 100);
    place(kImage, 0, 1300, 100);
    place(kCombo, 0, 2000, 100);
    place(kText, 1, 2500, 100);
    f.Show();
    QWidget& window = f.app.Parts().Window();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* memo = f.canvas.Control(kMultiline, 0);
    QWidget* picture = f.canvas.Control(kImage, 0);
    const QList<QWidget*> order{
        f.canvas.Control(kText, 0),  f.canvas.Control(kFlag, 0), memo, picture,
        f.canvas.Control(kCombo, 0), f.canvas.Control(kText, 1)};
    order[0]->setFocus();
    for (qsizetype i = 1; i < order.size(); ++i) {
      QWidget* from = QApplication::focusWidget();
      if (from == memo) {
        QTest::keyClick(memo, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), memo);
        QVERIFY(f.db.Records[0].MemoValue[0].contains(u'\t'));
      }
      if (from == picture) {
        f.dialogs.openPath = f.install.Path("sea.png");
        const int dialogs = f.dialogs.fileDialogs;
        QTest::keyClick(picture, Qt::Key_Space);
        QCOMPARE(f.dialogs.fileDialogs, dialogs + 1);
        QVERIFY(f.db.Records[0].ImageValue[0].endsWith("sea.png"));
        QCOMPARE(QApplication::focusWidget(), picture);
      }
      QTest::keyClick(from, Qt::Key_Tab, from == memo ? Qt::ControlModifier : Qt::NoModifier);
      QCOMPARE(QApplication::focusWidget(), order[i]);
    }
    // Shift+Tab leaves every field backwards, the multiline one too: it
    // never types over a selection.
    for (qsizetype i = order.size() - 1; i > 0; --i) {
      if (order[i] == memo) static_cast<QTextEdit*>(memo)->selectAll();
      const QString memoText = f.db.Records[0].MemoValue[0];
      QTest::keyClick(order[i], Qt::Key_Tab, Qt::ShiftModifier);
      QCOMPARE(f.db.Records[0].MemoValue[0], memoText);
      QCOMPARE(QApplication::focusWidget(), order[i - 1]);
    }
  }

  // A multiline title names its record by its first line with text; the
  // value keeps its lines.
  void multilineTitleShowsItsFirstLine() {
    Fixture f;
    f.Form().TitleElement = {kMultiline, 0};
    f.app.Parts().Navigation().RefreshTree();
    f.Show();
    QTextEdit* memo = f.Control<QTextEdit>(kMultiline);
    memo->selectAll();
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "Shopping");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "milk");
    QCOMPARE(f.db.Records[0].MemoValue[0], QString("\r\nShopping\r\nmilk"));
    QCOMPARE(f.app.Parts().Tree().RecordIndex(0).data().toString(), QString("Shopping"));
  }

  // A value longer than a line edit takes by default stays whole when edited.
  void longValuesStayWhole() {
    Fixture f;
    QString& text = f.db.Records[0].TextValue[0];
    text = QString(100000, u'c');
    f.Show();
    QLineEdit* line = f.Control<QLineEdit>(kText);
    QTest::keyClick(line, Qt::Key_End);
    QTest::keyClick(line, Qt::Key_Z);
    QCOMPARE(text, QString(100000, u'c'));
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClick(line, Qt::Key_Z);
    QCOMPARE(text, QString(99999, u'c') + 'z');
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
    QLabel& panel = f.app.Parts().Window().StatusPanel("mci");
    MainCommands& commands = f.app.Parts().Window().Commands();
    for (const char* open : {"mnuLoad", "mnuNew"}) {
      f.Show();
      f.dialogs.media.commands.clear();
      f.Control<QPushButton>(kButton)->click();
      QCOMPARE(f.dialogs.media.commands, QStringList{"play " + f.install.Path("song.wav")});
      f.app.UpdateTick();
      QVERIFY(!panel.isHidden());
      f.dialogs.openPath = f.install.Path("view.2db");
      commands.Menu(open)->trigger();
      QCOMPARE(f.dialogs.media.commands.last(), QString("close"));
      QVERIFY(panel.isHidden());
      f.app.UpdateTick();
      QVERIFY(panel.isHidden());
    }
  }
};

QTEST_MAIN(RecordViewTest)
#include "tst_record_view.moc"
