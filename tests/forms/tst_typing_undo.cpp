// Typing into a record's boxes as undo steps, with real key events on the
// real window offscreen: a step per word, Ctrl+Z takes the words back to
// the stored text exactly, Ctrl+Y does them again.
#include <QLineEdit>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest>

#include "../test_install.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/editor/typed_words.h"
#include "shell/file_commands.h"
#include "shell/navigator.h"
#include "storage/model_defaults.h"

using namespace orbo;

namespace {

// Record 0 of the new database, with a text box and a multiline box
// holding stored values, saved and shown.
struct Fixture : RunningApp {
  Database& db = app.db;

  Fixture() {
    app.Parts().Window().resize(1000, 700);
    app.Parts().Window().show();
    FormDef& form = db.Forms[0];
    for (int type : {kText, kMultiline}) {
      ApplyNewElementDefaults(form, type, 0, app.settings.DefaultFont);
      form.ElementCount[type] = 1;
    }
    db.Records[0].TextValue[0] = "Stored";
    db.Records[0].MemoValue[0] = "Stored\r\nlines";
    dialogs.savePath = install.Path("typing.2db");
    SaveDatabaseAs(db, app.Storage());
    app.Parts().Navigation().ShowFolder(0);
    app.Parts().Navigation().ShowRecord(0);
  }
  const StepStack& Stack() { return app.Funnel().Stack(); }
  // Focus in the box, the cursor at its end, as a click and End would leave it.
  template <typename Box>
  Box* Focused(int type) {
    auto* box = qobject_cast<Box*>(app.Parts().Canvas().Control(type, 0));
    app.Parts().Window().activateWindow();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_End);
    return box;
  }
};

}  // namespace

class TypingUndoTest : public QObject {
  Q_OBJECT

 private slots:
  void aWordBeginsAtABlankAfterANonBlank() {
    QVERIFY(StartsNewWord("hello", "hello "));
    QVERIFY(!StartsNewWord("hello ", "hello  "));  // blanks after blanks
    QVERIFY(!StartsNewWord("hello", "hell"));      // deleting
    QVERIFY(!StartsNewWord("", " "));              // nothing before it
    QVERIFY(StartsNewWord("ab", "a b"));           // typed in the middle
  }

  void typingTwoWordsIsTwoStepsAndCtrlZGivesTheStoredTextBack() {
    Fixture f;
    QLineEdit* line = f.Focused<QLineEdit>(kText);
    QTest::keyClicks(line, " hello world");
    QCOMPARE(f.db.Records[0].TextValue[0], QString("Stored hello world"));
    const int steps = 2;
    QCOMPARE(f.Stack().Count(), steps);
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.db.Records[0].TextValue[0], QString("Stored hello"));
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.db.Records[0].TextValue[0], QString("Stored"));
    QVERIFY(!f.db.Modified);
    // One more Ctrl+Z has nothing to take back and changes nothing.
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(line->text(), QString("Stored"));
    QCOMPARE(f.Stack().Count(), steps);
    for (int i = 0; i < steps; ++i) QTest::keyClick(line, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.db.Records[0].TextValue[0], QString("Stored hello world"));
  }

  // After an undo or a redo of typing the cursor stands where the text
  // changed, in a line box and in a multiline box.
  void theCursorStandsWhereTheTextChanged() {
    Fixture f;
    QLineEdit* line = f.Focused<QLineEdit>(kText);
    line->setCursorPosition(3);
    QTest::keyClicks(line, "XY");
    QCOMPARE(line->text(), QString("StoXYred"));
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(line->text(), QString("Stored"));
    QCOMPARE(line->cursorPosition(), 3);
    QTest::keyClick(line, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(line->cursorPosition(), 5);
    QTextEdit* memo = f.Focused<QTextEdit>(kMultiline);
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(7);  // the start of the second line
    memo->setTextCursor(cursor);
    QTest::keyClicks(memo, "new");
    QCOMPARE(f.db.Records[0].MemoValue[0], QString("Stored\r\nnewlines"));
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(memo->toPlainText(), QString("Stored\nlines"));
    QCOMPARE(memo->textCursor().position(), 7);
    QTest::keyClick(memo, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(memo->textCursor().position(), 10);
  }

  void typingAfterAnotherStepBeginsAStepOfItsOwn() {
    Fixture f;
    QLineEdit* line = f.Focused<QLineEdit>(kText);
    QTest::keyClicks(line, "ab");
    QCOMPARE(f.Stack().Count(), 1);
    // Another box of the same record is another step, and so is coming back.
    QTextEdit* memo = f.Focused<QTextEdit>(kMultiline);
    QTest::keyClicks(memo, "cd");
    QCOMPARE(f.Stack().Count(), 2);
    line = f.Focused<QLineEdit>(kText);
    QTest::keyClicks(line, "ef");
    QCOMPARE(f.Stack().Count(), 3);
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.db.Records[0].TextValue[0], QString("Storedab"));
    QCOMPARE(f.db.Records[0].MemoValue[0], QString("Stored\r\nlinescd"));
  }
};

QTEST_MAIN(TypingUndoTest)
#include "tst_typing_undo.moc"
