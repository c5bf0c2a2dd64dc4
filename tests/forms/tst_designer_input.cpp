// Random raw input on the designer with the real window offscreen: presses,
// moves and releases of every button on the canvas and the handles, Escape,
// F5, F6, Delete, Tab, arrows and scrolling, in random interleavings.
// Geometry changes only when the left button is let go, an arrow or Delete
// is pressed; whenever no button is held in edit mode the canvas shows the
// model; every size stays one a file holds. ORBO_DESIGNER_EVENTS sets how many events (3000).
#include <QApplication>
#include <QLabel>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

#include "../test_install.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/designer_logic.h"
#include "forms/designer/form_designer.h"

using namespace orbo;

namespace {

// Every form's size and every element's box, in order: {left, top, width,
// height}, a form's left and top 0.
std::vector<std::array<int, 4>> Geometry(const Database& db) {
  std::vector<std::array<int, 4>> boxes;
  for (int f = 0; f < db.FormCount; ++f) {
    const FormDef& form = db.Forms[f];
    boxes.push_back({0, 0, form.Width, form.Height});
    for (int t = 0; t < kElementTypeCount; ++t) {
      for (int k = 0; k < form.ElementCount[t]; ++k) {
        const ElementDef& e = form.Elements[t][k];
        boxes.push_back({e.Left, e.Top, e.Width, e.Height});
      }
    }
  }
  return boxes;
}

}  // namespace

class DesignerInputTest : public QObject {
  Q_OBJECT

 private slots:
  void randomInput() {
    RunningApp f;
    QStringList broken;
    f.app.onBrokenInvariants = [&](const QStringList& problems) { broken << problems; };
    MainWindow& window = f.app.Parts().Window();
    window.resize(1000, 700);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.Commands().Menu("mnuMode2_1")->trigger();
    for (int t = 0; t < kElementTypeCount; ++t) {
      AddElementInModel(f.app.db, 0, t, 500 + t * 700, 2000 + t * 200, f.app.settings.DefaultFont);
    }
    f.app.Parts().Designer().Redraw();
    FormCanvas& c = f.app.Parts().Canvas();
    QWidget& canvas = c.FormArea();
    const int seed = qEnvironmentVariableIntValue("ORBO_DESIGNER_SEED");
    const int count = qEnvironmentVariableIsSet("ORBO_DESIGNER_EVENTS")
                          ? qEnvironmentVariableIntValue("ORBO_DESIGNER_EVENTS")
                          : 3000;
    QRandomGenerator random(static_cast<quint32>(seed));
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::LeftButton,
                                       Qt::RightButton, Qt::MiddleButton};
    const QKeyCombination keys[] = {Qt::Key_Escape,
                                    Qt::Key_Escape,
                                    Qt::Key_F5,
                                    Qt::Key_F6,
                                    Qt::Key_F6,
                                    Qt::Key_Delete,
                                    Qt::Key_Tab,
                                    Qt::Key_Left,
                                    Qt::Key_Down,
                                    Qt::SHIFT | Qt::Key_Right,
                                    Qt::SHIFT | Qt::Key_Up};
    Qt::MouseButtons held;
    QWidget* pressed = &canvas;
    for (int i = 0; i < count; ++i) {
      const auto before = Geometry(f.app.db);
      const auto anywhere = [&](const QWidget* on) {
        return on == &canvas ? QPoint(random.bounded(-50, canvas.width() + 50),
                                      random.bounded(-50, canvas.height() + 50))
                             : QPoint(random.bounded(-800, 800), random.bounded(-800, 800));
      };
      bool mayChange = false;
      const int kind = random.bounded(100);
      if (kind < 25) {
        const Qt::MouseButton button = buttons[random.bounded(5)];
        QLabel& handle = c.SelectionHandle(random.bounded(8));
        pressed = random.bounded(3) == 0 && handle.isVisible() ? &handle : &canvas;
        QTest::mousePress(pressed, button, {},
                          pressed == &canvas ? anywhere(pressed) : QPoint(2, 2));
        held |= button;
      } else if (kind < 70) {
        QTest::mouseMove(pressed, anywhere(pressed));
      } else if (kind < 88) {
        const Qt::MouseButton button = buttons[random.bounded(5)];
        QTest::mouseRelease(pressed, button, {}, anywhere(pressed));
        mayChange = button == Qt::LeftButton;
        held &= ~button;
      } else if (kind < 97) {
        const QKeyCombination key = keys[random.bounded(int(std::size(keys)))];
        QTest::keyClick(window.windowHandle(), key.key(), key.keyboardModifiers());
        mayChange = key.key() == Qt::Key_Delete || key.key() == Qt::Key_Left ||
                    key.key() == Qt::Key_Down || key.key() == Qt::Key_Right ||
                    key.key() == Qt::Key_Up;
      } else {
        QScrollBar& bar = random.bounded(2) ? c.HorizontalScroll() : c.VerticalScroll();
        bar.setValue(random.bounded(bar.maximum() + 1));
      }
      if (QApplication::activePopupWidget()) {
        while (QWidget* popup = QApplication::activePopupWidget()) {
          QTest::keyClick(popup, Qt::Key_Escape);
        }
        // Offscreen, a closed pop-up leaves no window with the focus.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
      }
      const QString at = QStringLiteral("event %1 of seed %2").arg(i).arg(seed);
      const auto after = Geometry(f.app.db);
      QVERIFY2(mayChange || after == before, qPrintable(at));
      for (const auto& box : after) QVERIFY2(box[2] >= 1 && box[3] >= 1, qPrintable(at));
      QVERIFY2(broken.isEmpty(), qPrintable(at + ": " + broken.join(", ")));
      if (held || f.app.state.EditMode != WorkMode::Edit) continue;
      const FormDef& form = f.app.db.Forms[f.app.state.CurForm];
      QVERIFY2(canvas.size() == QSize(c.PixelsX(form.Width), c.PixelsY(form.Height)),
               qPrintable(at));
      for (int t = 0; t < kElementTypeCount; ++t) {
        for (int k = 0; k < form.ElementCount[t]; ++k) {
          const ElementDef& e = form.Elements[t][k];
          QVERIFY2(c.Control(t, k)->pos() == QPoint(c.PixelsX(e.Left), c.PixelsY(e.Top)),
                   qPrintable(at));
        }
      }
    }
  }
};

QTEST_MAIN(DesignerInputTest)
#include "tst_designer_input.moc"
