// Find and sort through the real window offscreen: the dialogs, the
// questions at the ends of the table, the quick sorts and the tree after.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>

#include "../test_install.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/mode_switch.h"
#include "query/find/find_dialog.h"
#include "query/find/finder.h"
#include "query/sort/sort_dialog.h"
#include "query/sort/sorter.h"
#include "shell/folder_tree_model.h"
#include "shell/navigator.h"
#include "storage/model_defaults.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

using namespace orbo;

namespace {

// The new database's form, its records titled by titles, in folder 0.
struct Fixture : RunningApp {
  Database& db = app.db;

  explicit Fixture(const QStringList& titles = {}) {
    for (int i = 1; i < titles.size(); ++i) app.Parts().Navigation().AddRecord(0, 0, true);
    for (int i = 0; i < titles.size(); ++i) db.Records[i].TextValue[0] = titles[i];
    app.Parts().Modes().ToDatabaseMode();
    dialogs.messages.clear();
  }
  MainCommands& Commands() { return app.Parts().Window().Commands(); }
  FindDialog& Find() { return app.Parts().Find().Dialog(); }
  // Types text into the find dialog, with the given direction.
  void Look(const QString& text, bool up = false) {
    Child<QLineEdit>(Find(), "WhatText").setText(text);
    Child<QRadioButton>(Find(), up ? "UpDir" : "DownDir").setChecked(true);
  }
  QStringList ChildTexts(int folder) {
    QStringList texts;
    const FolderTreeModel& tree = app.Parts().Tree();
    const QModelIndex node = tree.FolderIndex(folder);
    for (int i = 0; node.isValid() && i < tree.rowCount(node); ++i)
      texts << tree.index(i, 0, node).data().toString();
    return texts;
  }
};

}  // namespace

class FindSortWindow : public QObject {
  Q_OBJECT

 private slots:
  // Up from record 0 reaches the start without having started there: the
  // question, then the search from the end; Find next goes on from the
  // record shown.
  void upFromTheFirstRecordWrapsAround() {
    Fixture f({"xxcat and more", "dog", "a cat"});
    f.app.Parts().Navigation().ShowRecord(0);
    f.Look("cat", true);
    f.Commands().Menu("mnuFindNext")->trigger();
    QCOMPARE(f.dialogs.messages, QStringList{f.app.texts.Get(780, 0)});
    QCOMPARE(f.app.state.CurRecord, 2);
    f.Commands().Menu("mnuFindNext")->trigger();
    QCOMPARE(f.app.state.CurRecord, 0);
    f.dialogs.answers = {kAnswerNo};
    f.Look("nowhere");
    f.Commands().Menu("mnuFindNext")->trigger();
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(780, 0));
    QCOMPARE(f.app.state.CurRecord, 0);
  }

  // The text found is selected in its field, a stored line break before it
  // counted as the box counts it, and a field below the visible part of a
  // tall form is scrolled into view.
  void theTextFoundIsSelectedAndShown() {
    Fixture f({"dog", "a bird"});
    FormDef& form = f.db.Forms[0];
    ApplyNewElementDefaults(form, kMultiline, 0, f.app.settings.DefaultFont);
    form.ElementCount[kMultiline] = 1;
    form.Height = 30000;
    form.Elements[kMultiline][0].Top = 25000;
    f.db.Records[1].MemoValue[0] = "first line\r\nthe cat sat";
    f.app.Parts().Modes().ToDatabaseMode();
    MainWindow& window = f.app.Parts().Window();
    window.resize(800, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    f.app.Parts().Navigation().ShowRecord(0);
    auto& types = Child<QComboBox>(f.Find(), "FieldsTypeCombo");
    types.setCurrentIndex(types.count() - 1);  // multiline texts
    emit types.activated(types.count() - 1);
    f.Look("sat");
    Child<QPushButton>(f.Find(), "FindButt").click();
    QCOMPARE(f.app.state.CurRecord, 1);
    FormCanvas& canvas = f.app.Parts().Canvas();
    auto* memo = qobject_cast<QTextEdit*>(canvas.Control(kMultiline, 0));
    QCOMPARE(memo->textCursor().selectedText(), QString("sat"));
    QCOMPARE(memo->textCursor().selectionStart(), 19);
    const QPoint top = memo->mapTo(&canvas.Backdrop(), QPoint(0, 0));
    QVERIFY(canvas.Backdrop().rect().contains(top));

    f.app.Parts().Navigation().ShowRecord(0);
    types.setCurrentIndex(1);  // text fields
    emit types.activated(1);
    f.Look("BIR");
    Child<QPushButton>(f.Find(), "FindButt").click();
    auto* title = qobject_cast<QLineEdit*>(canvas.Control(kText, 0));
    QCOMPARE(title->selectedText(), QString("bir"));
  }

  // Marking the record found is one step; the record marked
  // already makes none.
  void markingIsOneStep() {
    Fixture f({"dog", "a cat"});
    f.app.Parts().Navigation().ShowRecord(0);
    f.Look("cat");
    Child<QPushButton>(f.Find(), "FindButt").click();
    const StepStack& stack = f.app.Funnel().Stack();
    const int steps = stack.Count();
    Child<QPushButton>(f.Find(), "MarkButt").click();
    QVERIFY(f.db.RecordMarks[1]);
    QCOMPARE(stack.Count(), steps + 1);
    Child<QPushButton>(f.Find(), "MarkButt").click();
    QCOMPARE(stack.Count(), steps + 1);
  }

  // A form without fields of the chosen type is named; one without text
  // fields either falls back to any type instead of warning forever. The
  // lists follow renamed forms when database mode returns.
  void formsWithoutTheChosenType() {
    Fixture f;
    f.db.Forms[0].ElementCount[kText] = 0;
    f.db.Forms[0].TitleElement = {kMultiline, 0};
    f.db.Forms[0].Name = "Notes";
    f.app.Parts().Modes().ToDatabaseMode();
    auto* forms = &Child<QComboBox>(f.Find(), "FormsCombo");
    auto* types = &Child<QComboBox>(f.Find(), "FieldsTypeCombo");
    QCOMPARE(forms->itemText(1), QString("Notes"));
    forms->setCurrentIndex(1);
    emit forms->activated(1);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].contains("Notes"));
    QCOMPARE(types->currentIndex(), 0);
    types->setCurrentIndex(6);
    emit types->activated(6);
    auto* fields = &Child<QComboBox>(f.Find(), "FieldsCombo");
    QCOMPARE(fields->count(), 1 + f.db.Forms[0].ElementCount[kMultiline]);
    QCOMPARE(f.dialogs.messages.size(), 1);
  }

  // Quick sort entry 3 puts the current folder's sub-folders Z to A,
  // contents along.
  void quickSortOfSubfolders() {
    Fixture f({"r"});
    for (const char* name : {"b", "C", "a"}) {
      f.app.Parts().Navigation().AddFolder();
      f.app.Parts().Navigation().RenameCurrentFolder(name);
      f.db.Folders[f.db.FolderCount - 1].Parent = 0;
    }
    f.db.Records[0].Folder = 2;
    f.app.Parts().Modes().ToDatabaseMode();
    f.app.Parts().Navigation().ShowFolder(0);
    f.Commands().Menu("mnSort2_3")->trigger();
    QCOMPARE(f.ChildTexts(0).mid(0, 3), QStringList({"C", "b", "a"}));
    QCOMPARE(f.db.Folders[f.db.Records[0].Folder].Name, QString("C"));
    QVERIFY(f.db.Modified);
  }

  // The dialog sorts the chosen folder's records Z to A and names the folders
  // again in table order afterwards (the tree follows, as the random runs
  // check). It keeps its size: the wait frame once left an empty band.
  void sortDialog() {
    Fixture f({"b", "A", "a", "C"});
    QSize shown;
    QSize sorted;
    f.dialogs.onModal = [&](QDialog& dialog) {
      dialog.show();
      QApplication::processEvents();
      shown = dialog.size();
      auto* what = &Child<QComboBox>(dialog, "WhatCombo");
      auto* where = &Child<QComboBox>(dialog, "WhereCombo");
      if (what->currentIndex() != 0 || where->currentIndex() != f.app.state.CurFolder) return 0;
      Child<QComboBox>(dialog, "DirCombo").setCurrentIndex(1);
      Child<QPushButton>(dialog, "SortButt").click();
      QApplication::processEvents();
      sorted = dialog.size();
      return 0;
    };
    f.Commands().Menu("mnuSort")->trigger();
    QStringList titles;
    for (int r : RecordsOf(f.db, 0)) titles << RecordTitle(f.db, r);
    QCOMPARE(titles, QStringList({"C", "b", "a", "A"}));
    QCOMPARE(sorted, shown);
  }
};

QTEST_MAIN(FindSortWindow)
#include "tst_find_sort_window.moc"
