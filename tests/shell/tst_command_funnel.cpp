// The funnel's undo stack on the model alone: past its memory bound the
// oldest steps go, the modified mark stays on once the place the file was
// saved at is gone, a failed or out-of-scope change is caught, and the
// steps that held a password wipe it when the model is replaced.
#include <QtTest>
#include <stdexcept>

#include "../process_memory.h"
#include "sample_databases.h"
#include "shell/command_funnel.h"
#include "storage/secret_text.h"
#include "storage/stored_content.h"

using namespace orbo;
using namespace orbo::test;

namespace {

constexpr std::size_t kBound = 200 * 1024;
constexpr qsizetype kLength = 10000;

// Step s sets record 0's multiline text to a text of its own that shares
// nothing with the one before: a step of about four times its length in
// bytes.
QString TextOf(int step, qsizetype length = kLength) {
  return QString(length, QChar(u'a' + step % 26));
}

struct Fixture {
  Database db = FullFormDatabase();
  DisplayState state;
  CommandFunnel funnel{db, state, kBound};

  void Type(int step, qsizetype length = kLength, const QString& mergeKey = {}) {
    funnel.Change(
        "typing", ChangeScope::Records({0}),
        [&] { db.Records[0].MemoValue[0] = TextOf(step, length); }, mergeKey);
  }
  const QString& Memo() const { return db.Records[0].MemoValue[0]; }
  void UndoAll() {
    while (funnel.Undo()) {
    }
  }
};

}  // namespace

class CommandFunnelTest : public QObject {
  Q_OBJECT

 private slots:
  // The newest steps stay, as many as the bound holds, and still take the
  // model back step by step.
  void theOldestStepsGoPastTheBound() {
    Fixture f;
    for (int s = 1; s <= 20; ++s) f.Type(s);
    const StepStack& stack = f.funnel.Stack();
    QVERIFY(stack.Bytes() <= kBound);
    QVERIFY2(stack.Count() > 1 && stack.Count() < 20, qPrintable(QString::number(stack.Count())));
    QCOMPARE(stack.Index(), stack.Count());
    f.UndoAll();
    QCOMPARE(f.Memo(), TextOf(20 - stack.Count()));
    while (f.funnel.Redo()) {
    }
    QCOMPARE(f.Memo(), TextOf(20));

    // A step larger than the bound stays alone: its change can still be
    // taken back.
    f.Type(21, static_cast<qsizetype>(kBound));
    QCOMPARE(stack.Count(), 1);
    QVERIFY(f.funnel.Undo());
    QCOMPARE(f.Memo(), TextOf(20));
  }

  // Changes with one merge key make one step; an empty or another key
  // makes a step of its own. Taken back, a step shows the record shown
  // before it; done again, the one its command ended with, and a first step
  // of a command that made two ends where the second began. The hook after
  // a command runs once per command.
  void stepsMergeAndShowWhereTheyEnded() {
    Fixture f;
    int after = 0;
    f.funnel.afterCommand = [&] { ++after; };
    const StepStack& stack = f.funnel.Stack();
    f.Type(1, 10, "word");
    f.Type(2, 10, "word");
    QCOMPARE(stack.Count(), 1);
    f.Type(3, 10, "other");
    f.Type(4, 10);
    f.Type(5, 10);
    QCOMPARE(stack.Count(), 4);
    f.UndoAll();
    QCOMPARE(f.Memo(), FullFormDatabase().Records[0].MemoValue[0]);
    QVERIFY(f.funnel.Redo());
    QCOMPARE(f.Memo(), TextOf(2, 10));

    Fixture g;
    g.state.CurRecord = 0;
    QVERIFY(g.funnel.Run([&] {
      g.Type(1);
      g.state.CurRecord = 1;
      g.funnel.Change("second", ChangeScope::Records({2}),
                      [&] { g.db.Records[2].TextValue[0] = "changed"; });
      g.state.CurRecord = 2;
    }));
    g.state.CurRecord = 4;
    QVERIFY(g.funnel.Undo());
    QCOMPARE(g.state.CurRecord, 1);
    QVERIFY(g.funnel.Undo());
    QCOMPARE(g.state.CurRecord, 0);
    QVERIFY(g.funnel.Redo());
    QCOMPARE(g.state.CurRecord, 1);
    QVERIFY(g.funnel.Redo());
    QCOMPARE(g.state.CurRecord, 2);
    g.funnel.afterCommand = [&] { ++after; };
    g.funnel.Run([] {});
    g.funnel.Run([] {});
    QCOMPARE(after, 2);
  }

  // Done again, a step shows where its change left the window, also when
  // made outside a command, when typing merged into it, and whatever
  // commands that made no step or steps made later outside a command did
  // to the place shown.
  void redoShowsWhereEachStepEnded() {
    Fixture f;
    const auto change = [&f](const QString& mergeKey, int shownAfter) {
      f.funnel.Change(
          "typing", ChangeScope::Records({0}),
          [&f, shownAfter] {
            f.db.Records[0].MemoValue[0] += u'x';
            f.state.CurRecord = shownAfter;
          },
          mergeKey);
    };
    const auto undoRedo = [&f] {
      f.funnel.Undo();
      f.funnel.Redo();
      return f.state.CurRecord;
    };
    f.state.CurRecord = 0;
    change({}, 1);
    f.funnel.Run([&f] { f.state.CurRecord = 3; });
    QCOMPARE(undoRedo(), 1);
    change("word", 2);
    change("word", 4);
    QCOMPARE(undoRedo(), 4);
    f.funnel.Run([&] { change({}, 5); });
    f.state.CurRecord = 6;
    change({}, 7);
    f.funnel.Undo();
    QCOMPARE(undoRedo(), 5);
  }

  // The modified mark and its signal follow every way the steps end: a
  // save, a model changed by another program, steps dropped with the
  // changes kept, and a new model.
  void theMarkFollowsHowTheStepsEnd() {
    Fixture f;
    QSignalSpy marks(&f.funnel, &CommandFunnel::modifiedChanged);
    f.Type(1);
    QVERIFY(f.db.Modified);
    f.funnel.MarkSaved();
    QVERIFY(!f.db.Modified);
    QCOMPARE(marks.last().at(0).toBool(), false);
    f.funnel.MarkChangedOutside();
    QVERIFY(f.db.Modified);
    QCOMPARE(marks.last().at(0).toBool(), true);
    QVERIFY(!f.funnel.Undo());
    f.funnel.MarkSaved();
    QVERIFY(!f.db.Modified);
    f.Type(2);
    f.funnel.DropSteps();
    QVERIFY(!f.funnel.Undo());
    QVERIFY(f.funnel.Modified());
    f.funnel.MarkChangedOutside();
    f.funnel.Reset();
    QVERIFY(!f.db.Modified);
    QVERIFY(!f.funnel.Modified());
    QCOMPARE(marks.last().at(0).toBool(), false);
  }

  void modifiedFollowsThePlaceTheFileWasSavedAt() {
    // Saved at a step that is kept: undoing to it is unmodified.
    Fixture kept;
    kept.Type(1);
    kept.Type(2);
    kept.funnel.MarkSaved();
    kept.Type(3);
    QVERIFY(kept.db.Modified);
    kept.funnel.Undo();
    QVERIFY(!kept.db.Modified);

    // Saved at a step that went: no undo or redo comes back to the file.
    Fixture dropped;
    dropped.Type(1);
    dropped.funnel.MarkSaved();
    for (int s = 2; s <= 20; ++s) dropped.Type(s);
    while (dropped.funnel.Undo()) QVERIFY(dropped.db.Modified);
    while (dropped.funnel.Redo()) QVERIFY(dropped.db.Modified);

    // Saved at a step undone, then replaced by another.
    Fixture replaced;
    replaced.Type(1);
    replaced.Type(2);
    replaced.funnel.MarkSaved();
    replaced.funnel.Undo();
    replaced.Type(3);
    QVERIFY(replaced.db.Modified);
    replaced.funnel.Undo();
    QVERIFY(replaced.db.Modified);

    // Typing on in a word after a save is a step of its own, so undo
    // comes back to what the file holds.
    Fixture typing;
    typing.Type(1, 10, "word");
    typing.Type(2, 10, "word");
    QCOMPARE(typing.funnel.Stack().Count(), 1);
    typing.funnel.MarkSaved();
    typing.Type(3, 10, "word");
    QCOMPARE(typing.funnel.Stack().Count(), 2);
    typing.funnel.Undo();
    QVERIFY(!typing.db.Modified);
    QCOMPARE(typing.Memo(), TextOf(2, 10));
  }

  // A new step drops the steps undone before it; the one before stays.
  void aNewStepDropsTheStepsUndone() {
    Fixture f;
    f.Type(1);
    f.Type(2);
    QVERIFY(f.funnel.Undo());
    f.Type(3);
    QVERIFY(!f.funnel.Redo());
    QCOMPARE(f.Memo(), TextOf(3));
    QVERIFY(f.funnel.Undo());
    QCOMPARE(f.Memo(), TextOf(1));
  }

  // A change that throws half way leaves the model as it was and no step;
  // the funnel runs the next command.
  void aChangeThatThrowsChangesNothing() {
    Fixture f;
    f.Type(1);
    const Database before = f.db;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, f.funnel.Run([&] {
      f.funnel.Change("half", ChangeScope::Records({0, 1}), [&] {
        f.db.Records[0].MemoValue[0] = QStringLiteral("half");
        throw std::runtime_error("no room");
      });
    }));
    QCOMPARE(ModelDifference(f.db, before), QString());
    QCOMPARE(f.funnel.Stack().Count(), 1);
    QVERIFY(!f.funnel.Busy());
    bool ran = false;
    QVERIFY(f.funnel.Run([&] { ran = true; }));
    QVERIFY(ran);
  }

  // A change beyond its step's scope, which undo would not take back, is
  // reported with the step's name, whether or not it changed anything
  // within; a change within is not.
  void aChangeOutsideItsScopeIsReported() {
    Fixture f;
    QStringList breaches;
    f.funnel.onScopeBreach = [&](const QString& breach) { breaches << breach; };
    f.Type(1);
    QVERIFY(f.funnel.Change("both", ChangeScope::Records({0}), [&] {
      f.db.Records[0].MemoValue[0] = QStringLiteral("inside");
      f.db.Folders[0].Name = QStringLiteral("outside");
    }));
    QVERIFY(!f.funnel.Change("outside only", ChangeScope::Records({0}),
                             [&] { f.db.Folders[0].Name = QStringLiteral("again"); }));
    QCOMPARE(breaches, (QStringList{"both: folder 0", "outside only: folder 0"}));
  }

  // The step that set a password holds the one before it until the model
  // is replaced; then it is nowhere in memory.
  void resetWipesThePasswordsTheStepsHeld() {
    Fixture f;
    f.db.PasswordOn = true;
    f.db.Password = RandomPassword();
    const QByteArray first = Utf16Bytes(f.db.Password);
    QVERIFY(f.funnel.Change("change password", ChangeScope::Protection(), [&] {
      WipePassword(f.db);
      f.db.Password = RandomPassword();
    }));
    const QByteArray second = Utf16Bytes(f.db.Password);
    f.Type(1);
    WipePassword(f.db);
    QVERIFY(MemoryHoldsCopyOf(first));
    QVERIFY(MemoryHoldsCopyOf(second));
    f.funnel.Reset();
    QVERIFY(!MemoryHoldsCopyOf(first));
    QVERIFY(!MemoryHoldsCopyOf(second));
  }
};

QTEST_GUILESS_MAIN(CommandFunnelTest)
#include "tst_command_funnel.moc"
