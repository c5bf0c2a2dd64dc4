// The form designer with the real window offscreen: deleting, dragging and
// taking it back, interrupted drags, resizing with the handles, designing
// with the keys alone.
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QtTest>

#include "../test_install.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/designer_logic.h"
#include "forms/designer/form_designer.h"

using namespace orbo;

namespace {

// Edit mode on the new database's form, grid off.
struct Fixture : RunningApp {
  Database& db = app.db;
  FormCanvas& canvas = app.Parts().Canvas();

  Fixture() {
    app.Parts().Window().resize(1000, 700);
    app.settings.ShowGrid = false;
    app.Parts().Window().Commands().Menu("mnuMode2_1")->trigger();
  }
  MainCommands& Commands() { return app.Parts().Window().Commands(); }
  void Tool(const char* key) { Commands().Tool(kEditBar, key)->trigger(); }
  QPoint Pixels(int x, int y) { return {canvas.PixelsX(x), canvas.PixelsY(y)}; }
  FormDef& Form() { return db.Forms[app.state.CurForm]; }
  // Presses the canvas at (x, y) twips.
  void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(&canvas.FormArea(), button, {}, Pixels(x, y));
    QTest::mouseRelease(&canvas.FormArea(), button, {}, Pixels(x, y));
  }
  // Presses inside the first element of type, which selects it.
  void PressOn(int type) {
    const ElementDef& e = Form().Elements[type][0];
    Press(e.Left + 50, e.Top + 50);
  }
  // Drags selection handle i by (dx, dy) twips.
  void DragHandle(int i, int dx, int dy) {
    Drag(&canvas.SelectionHandle(i), QPoint(2, 2), QPoint(2, 2) + Pixels(dx, dy));
  }
  // Makes the window active, so keys reach the control with the focus.
  bool Activate() {
    app.Parts().Window().activateWindow();
    return QTest::qWaitForWindowActive(&app.Parts().Window());
  }
  // A key pressed in the window: it goes where the focus is.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(app.Parts().Window().windowHandle(), key, modifiers);
  }
  bool Selected(int type, int slot) const {
    return app.state.SelType == type && (type == kSelectForm || app.state.SelIndex == slot);
  }
  QPoint Inside(const ElementDef& e) { return Pixels(e.Left + 100, e.Top + 100); }
  // Where handle i sits against the selected control, in pixels.
  QPoint HandleOffset(int i, const QWidget& control) {
    return canvas.SelectionHandle(i).pos() - control.mapTo(&canvas.Backdrop(), QPoint(0, 0));
  }
};

}  // namespace

class DesignerTest : public QObject {
  Q_OBJECT

 private slots:
  // A text element of a form with records is deleted only when confirmed;
  // the only text and labels are not asked about. The Delete key deletes
  // the element pressed last, as the tool does, and waits while another
  // command runs.
  void deletingElements() {
    Fixture f;
    QVERIFY(f.Activate());
    f.PressOn(kText);
    f.Key(Qt::Key_Delete);
    QCOMPARE(f.dialogs.messages.last(), f.app.texts.Get(640, 0));
    f.Tool("addt");
    f.Press(100, 4300);
    f.dialogs.answers = {kAnswerNo};
    f.Tool("delete");
    QCOMPARE(f.Form().ElementCount[kText], 2);
    f.Tool("delete");
    QCOMPARE(f.Form().ElementCount[kText], 1);
    const int asked = f.dialogs.messages.size();
    f.PressOn(kLabel);
    f.app.Funnel().Run([&] { f.Key(Qt::Key_Delete); });
    QCOMPARE(f.Form().ElementCount[kLabel], 1);
    f.Key(Qt::Key_Delete);
    QCOMPARE(f.Form().ElementCount[kLabel], 0);
    QCOMPARE(f.dialogs.messages.size(), asked);
  }

  // A drag is one step, taken back and done again through the Edit menu:
  // the control and its handles follow.
  void undoingDesignerSteps() {
    Fixture f;
    QAction* undo = f.Commands().Menu("mnuUndo");
    QAction* redo = f.Commands().Menu("mnuRedo");
    const ElementDef& text = f.Form().Elements[kText][0];
    const QPoint start(text.Left, text.Top);
    QWidget* control = f.canvas.Control(kText, 0);
    Drag(&f.canvas.FormArea(), f.Inside(text), f.Inside(text) + f.Pixels(1000, 600));
    const QPoint moved(text.Left, text.Top);
    QVERIFY(moved != start);
    const QPoint handleAt = f.HandleOffset(0, *control);
    undo->trigger();
    QCOMPARE(f.canvas.Control(kText, 0)->pos(), f.Pixels(start.x(), start.y()));
    QVERIFY(f.canvas.SelectionHandle(0).isVisible());
    QCOMPARE(f.HandleOffset(0, *f.canvas.Control(kText, 0)), handleAt);
    redo->trigger();
    QCOMPARE(f.canvas.Control(kText, 0)->pos(), f.Pixels(moved.x(), moved.y()));
  }

  // Ctrl+Z during a drag ends the drag, then takes back the step before:
  // the control shows the model, the release stores nothing, and the step
  // taken back can be done again.
  void undoDuringADragEndsIt() {
    Fixture f;
    QVERIFY(f.Activate());
    QWidget& canvas = f.canvas.FormArea();
    const auto at = [&f] {
      const ElementDef& text = f.Form().Elements[kText][0];
      return QPoint(text.Left, text.Top);
    };
    const QPoint start = at();
    const QPoint grab = f.Inside(f.Form().Elements[kText][0]);
    Drag(&canvas, grab, grab + f.Pixels(1000, 600));
    const QPoint moved = at();
    QVERIFY(moved != start);
    const QPoint regrab = f.Inside(f.Form().Elements[kText][0]);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, regrab);
    QTest::mouseMove(&canvas, regrab + QPoint(30, 20));
    QTest::keyClick(f.app.Parts().Window().windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(at(), start);
    QTest::mouseMove(&canvas, regrab + QPoint(40, 25));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, regrab + QPoint(40, 25));
    QCOMPARE(at(), start);
    QCOMPARE(f.canvas.Control(kText, 0)->pos(), f.Pixels(start.x(), start.y()));
    QVERIFY(f.app.Funnel().Stack().CanRedo());
    f.Commands().Menu("mnuRedo")->trigger();
    QCOMPARE(at(), moved);
  }

  // A drag cut short by the right button, F5 or Escape ends there: a later drag on the bare canvas
  // moves and resizes nothing.
  void interruptedDragsLeaveNothingBehind_data() {
    QTest::addColumn<int>("interruption");
    QTest::newRow("right button") << 0;
    QTest::newRow("F5 and F6") << 1;
    QTest::newRow("Escape") << 2;
  }
  void interruptedDragsLeaveNothingBehind() {
    QFETCH(int, interruption);
    Fixture f;
    QVERIFY(f.Activate());
    QWidget& canvas = f.canvas.FormArea();
    const FormDef before = f.Form();
    const ElementDef& text = f.Form().Elements[kText][0];
    const QPoint grab = f.Inside(text);
    const QPoint moved = grab + QPoint(12, 7);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, grab);
    QTest::mouseMove(&canvas, moved);
    switch (interruption) {
      case 0:
        // The release goes to the menu that the right press opened.
        QTest::mousePress(&canvas, Qt::RightButton, {}, moved);
        break;
      case 1:
        f.Key(Qt::Key_F5);
        QVERIFY(f.app.state.EditMode == WorkMode::Database);
        break;
      default:
        f.Key(Qt::Key_Escape);
    }
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, moved);
    // Closes the pop-up menu the right press opened, as Escape does.
    if (QWidget* menu = QApplication::activePopupWidget()) QTest::keyClick(menu, Qt::Key_Escape);
    if (interruption == 1) f.Key(Qt::Key_F6);
    QVERIFY(f.app.state.EditMode == WorkMode::Edit);
    // The bare canvas, pressed and dragged.
    Drag(&canvas, f.Pixels(7000, 3000), f.Pixels(7000, 3000) + QPoint(-40, -30));
    QVERIFY(f.Form() == before);
    QCOMPARE(f.app.state.SelType, int(kSelectForm));
    QVERIFY(!f.db.Modified);
  }

  // The right handle widens; drags far beyond what a file holds stop at
  // 32767 twips.
  void resizingWithTheHandles() {
    Fixture f;
    f.PressOn(kText);
    const int width = f.Form().Elements[kText][0].Width;
    f.DragHandle(1, 600, 0);
    QVERIFY(qAbs(f.Form().Elements[kText][0].Width - (width + 600)) <= 15);
    f.Press(5900, 100);  // the bare form
    for (int i = 0; i < 3; ++i) {
      f.DragHandle(0, 15000, 15000);
      QVERIFY(f.Form().Width > 0 && f.Form().Height > 0);
    }
    QCOMPARE(f.Form().Width, std::int16_t(32767));
    QCOMPARE(f.Form().Height, std::int16_t(32767));
  }

  // With no mouse: Tab walks the form as it is read and then leaves the
  // canvas; arrows move and Shift+arrows resize by a grid step, each one
  // undo step and never below the smallest side; Return places an armed
  // tool's element, else opens the properties; Escape disarms the tool.
  void designingByKeys() {
    Fixture f;
    QVERIFY(f.Activate());
    QCOMPARE(QApplication::focusWidget(), &f.canvas.FormArea());
    const FontSpec& font = f.app.settings.DefaultFont;
    f.Form().ElementCount.fill(0);
    f.Form().ElementCount[kText] = 1;
    f.Form().Elements[kText][0].Left = 500;
    f.Form().Elements[kText][0].Top = 100;
    AddElementInModel(f.db, 0, kLabel, 500, 900, font);
    AddElementInModel(f.db, 0, kFlag, 2000, 100, font);
    f.app.Parts().Designer().Redraw();
    for (const auto& [type, slot] : {std::pair(kText, 0), {kFlag, 0}, {kLabel, 0}}) {
      f.Key(Qt::Key_Tab);
      QVERIFY(f.Selected(type, slot));
    }
    f.Key(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(f.Selected(kFlag, 0));
    f.Key(Qt::Key_Tab);
    f.Key(Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != &f.canvas.FormArea());
    QVERIFY(f.Selected(kLabel, 0));

    f.canvas.FormArea().setFocus();
    const ElementDef& label = f.Form().Elements[kLabel][0];
    const QRect before(label.Left, label.Top, label.Width, label.Height);
    f.Key(Qt::Key_Right);
    f.Key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(QRect(label.Left, label.Top, label.Width, label.Height),
             before.translated(120, 0).adjusted(0, 0, 0, 120));
    QCOMPARE(f.canvas.Control(kLabel, 0)->pos(), f.Pixels(label.Left, label.Top));
    f.Commands().Menu("mnuUndo")->trigger();
    QCOMPARE(label.Height, before.height());
    QCOMPARE(label.Left, before.left() + 120);
    for (int i = 0; i < 40; ++i) f.Key(Qt::Key_Left, Qt::ShiftModifier);
    QVERIFY(label.Width > 150);

    f.Key(Qt::Key_Tab, Qt::ShiftModifier);
    f.Key(Qt::Key_Tab, Qt::ShiftModifier);
    f.Key(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(f.Selected(kSelectForm, 0));
    const int formWidth = f.Form().Width;
    f.Key(Qt::Key_Left);
    QCOMPARE(f.Form().Width, formWidth);
    f.Key(Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(f.Form().Width, formWidth + 120);

    int propertiesAsked = 0;
    f.app.Parts().Designer().onPropertiesAsked = [&] { ++propertiesAsked; };
    f.Key(Qt::Key_Return);
    QCOMPARE(propertiesAsked, 1);
    f.Tool("addb");
    f.Key(Qt::Key_Escape);
    QVERIFY(!f.Commands().Tool(kEditBar, "addb")->isChecked());
    f.Tool("addb");
    f.Key(Qt::Key_Return);
    QCOMPARE(propertiesAsked, 1);
    QCOMPARE(f.Form().ElementCount[kButton], std::int16_t(1));
    QCOMPARE(f.Form().Elements[kButton][0].Left, std::int16_t(120));
    QVERIFY(f.Selected(kButton, 0));
    QVERIFY(!f.Commands().Tool(kEditBar, "addb")->isChecked());
  }

  // The handles stay around the selection when the canvas scrolls.
  void handlesFollowTheScrolledCanvas() {
    Fixture f;
    f.PressOn(kText);
    QWidget& control = *f.canvas.Control(kText, 0);
    QList<QPoint> before;
    for (int i = 0; i < 8; ++i) before << f.HandleOffset(i, control);
    for (QScrollBar* bar : {&f.canvas.HorizontalScroll(), &f.canvas.VerticalScroll()}) {
      QVERIFY(bar->isVisible());
      QTest::mouseClick(bar, Qt::LeftButton, {}, bar->rect().bottomRight() - QPoint(3, 3));
      QVERIFY(bar->value() > 0);
    }
    for (int i = 0; i < 8; ++i) QCOMPARE(f.HandleOffset(i, control), before[i]);
  }
};

QTEST_MAIN(DesignerTest)
#include "tst_designer.moc"
