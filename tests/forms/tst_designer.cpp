// The form designer with the real window offscreen: adding with the tools,
// dragging, resizing with the handles, deleting, the forms and the grid.
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QtTest>

#include "../shell/test_install.h"
#include "forms/designer_logic.h"
#include "forms/form_canvas.h"
#include "forms/form_designer.h"
#include "shell/main_window.h"
#include "storage/model_invariants.h"

using namespace orbo;

namespace {

// Edit mode on the new database's form, grid off unless a test turns it on.
struct Fixture : RunningApp {
  Database& db = app.db;
  FormCanvas& canvas = app.Canvas();

  Fixture() {
    app.Window().resize(1000, 700);
    app.settings.ShowGrid = false;
    app.Window().Commands().Menu("mnuMode2_1")->trigger();
  }
  MainCommands& Commands() { return app.Window().Commands(); }
  void Tool(const char* key) { Commands().Tool(kEditBar, key)->trigger(); }
  QPoint Pixels(int x, int y) { return {canvas.PixelsX(x), canvas.PixelsY(y)}; }
  FormDef& Form() { return db.Forms[app.state.CurForm]; }
  // Presses the canvas at (x, y) twips.
  void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&canvas.MainPic(), button, {}, Pixels(x, y));
    QTest::mouseRelease(&canvas.MainPic(), button, {}, Pixels(x, y));
  }
};

}  // namespace

class DesignerTest : public QObject {
  Q_OBJECT

 private slots:
  void addingWithATool() {
    Fixture f;
    f.Tool("addb");
    f.Press(5700, 600);
    QCOMPARE(f.Form().ElementCount[kButton], 1);
    QCOMPARE(f.Form().Elements[kButton][0].Left, std::int16_t(f.canvas.TwipsX(f.canvas.PixelsX(5700))));
    QCOMPARE(f.app.state.SelType, kButton);
    QVERIFY(f.Commands().Tool(kEditBar, "arrow")->isChecked());
    QVERIFY(f.canvas.SelPic(0).isVisible());
    QVERIFY(f.db.Modified);
    for (int i = 1; i < 16; ++i) AddElementInModel(f.db, 0, kButton, 5700, 600, f.app.settings.DefaultFont);
    f.Tool("addb");
    f.Press(100, 100);
    QCOMPARE(f.Form().ElementCount[kButton], 16);
    QVERIFY(f.dialogs.messages.last().contains("16"));
  }

  // A drag moves the element, snapped to the grid.
  void draggingAnElement() {
    Fixture f;
    f.app.settings.ShowGrid = true;
    f.app.settings.GridStepX = f.app.settings.GridStepY = 200;
    const ElementDef& text = f.Form().Elements[kText][0];
    const QPoint grab = f.Pixels(text.Left + 100, text.Top + 100);
    Drag(&f.canvas.MainPic(), grab, grab + f.Pixels(1000, 600));
    QCOMPARE(text.Left % 200, 0);
    QCOMPARE(text.Top % 200, 0);
    QVERIFY(qAbs(text.Left - 1500) <= 200);
    QCOMPARE(f.canvas.Control(kText, 0)->pos(), f.Pixels(text.Left, text.Top));
    QVERIFY(f.db.Modified);
  }

  // The right handle widens; the form's own handles resize the canvas.
  void resizingWithTheHandles() {
    Fixture f;
    f.Press(f.Form().Elements[kText][0].Left + 50, f.Form().Elements[kText][0].Top + 50);
    QCOMPARE(f.app.state.SelType, kText);
    const int width = f.Form().Elements[kText][0].Width;
    QLabel& right = f.canvas.SelPic(1);
    Drag(&right, QPoint(2, 2), QPoint(2, 2) + f.Pixels(600, 0));
    QVERIFY(qAbs(f.Form().Elements[kText][0].Width - (width + 600)) <= 15);
    f.Press(5900, 100);  // the bare canvas: the form itself
    QCOMPARE(f.app.state.SelType, -1);
    const int height = f.Form().Height;
    Drag(&f.canvas.SelPic(2), QPoint(2, 2), QPoint(2, 2) + f.Pixels(0, 900));
    QVERIFY(qAbs(f.Form().Height - (height + 900)) <= 15);
    QCOMPARE(f.canvas.MainPic().height(), f.canvas.PixelsY(f.Form().Height));
  }

  // A text element of a form with records is deleted only when confirmed;
  // the only text and labels are not asked about.
  void deletingElements() {
    Fixture f;
    f.Press(f.Form().Elements[kText][0].Left + 50, f.Form().Elements[kText][0].Top + 50);
    f.Tool("delete");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(640, 0));
    f.Tool("addt");
    f.Press(100, 4300);
    f.dialogs.answers = {kAnswerNo};
    f.Tool("delete");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(670, 0));
    QCOMPARE(f.Form().ElementCount[kText], 2);
    f.Tool("delete");
    QCOMPARE(f.Form().ElementCount[kText], 1);
    QCOMPARE(f.app.state.SelType, -1);
    const int asked = f.dialogs.messages.size();
    f.Press(f.Form().Elements[kLabel][0].Left + 30, f.Form().Elements[kLabel][0].Top + 30);
    f.Tool("delete");
    QCOMPARE(f.Form().ElementCount[kLabel], 0);
    QCOMPARE(f.dialogs.messages.size(), asked);
  }

  // A form from a file may have no text element: deleting the element that
  // titles its records picks another, so the database still saves.
  void deletingTheTitleOfAFormWithoutText() {
    Fixture f;
    AddElementInModel(f.db, 0, kImage, 300, 3000, f.app.settings.DefaultFont);
    f.Form().ElementCount[kText] = 0;
    f.Form().TitleElement = 0;
    f.canvas.DrawForm(0);
    const ElementDef& image = f.Form().Elements[kImage][0];
    f.Press(image.Left + 50, image.Top + 50);
    QCOMPARE(f.app.state.SelType, kImage);
    f.dialogs.answers = {kAnswerYes};  // the form's record loses the value
    f.Tool("delete");
    QCOMPARE(f.Form().ElementCount[kImage], 0);
    QCOMPARE(f.Form().TitleElement, 6000);  // the multiline text
    QCOMPARE(FindModelProblems(f.db), std::vector<ModelProblem>{});
  }

  // Forms are added, cloned, chosen and deleted; one in use stays.
  // The chooser's last entry adds a form; a form in use stays.
  void forms() {
    Fixture f;
    QComboBox& chooser = f.app.Designer().FormCombo();
    QCOMPARE(chooser.count(), 2);  // the form and the entry that adds one
    emit chooser.activated(1);
    QCOMPARE(f.db.FormCount, 2);
    QCOMPARE(f.app.state.CurForm, 1);
    f.Commands().Submenu("mnuSelForm")->actions()[0]->trigger();
    f.Tool("delform");
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(630, 0));
    QCOMPARE(f.db.FormCount, 2);
  }

  void gridDoors() {
    Fixture f;
    const QBrush plain = f.canvas.MainPic().palette().brush(QPalette::Window);
    f.Commands().Menu("mnuGrid")->trigger();
    QVERIFY(f.app.settings.ShowGrid);
    QVERIFY(f.Commands().Tool(kEditBar, "grid")->isChecked());
    QVERIFY(!f.canvas.MainPic().palette().brush(QPalette::Window).texture().isNull());
    f.Tool("grid");
    QVERIFY(!f.app.settings.ShowGrid);
    QCOMPARE(f.canvas.MainPic().palette().brush(QPalette::Window), plain);
  }
};

QTEST_MAIN(DesignerTest)
#include "tst_designer.moc"
