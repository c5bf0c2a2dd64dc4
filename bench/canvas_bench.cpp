// How long showing records takes: switching between records of two forms of
// 16 elements of every type (112 controls each), stepping through the 32000
// records of one form, typing into a text box, and dragging an element of such a form in the
// designer, real widgets offscreen.
//   QT_QPA_PLATFORM=offscreen canvas_bench
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/main_window.h"
#include "bench_app.h"
#include "forms/canvas/form_canvas.h"
#include "shell/navigator.h"
#include "storage/model_defaults.h"

namespace {

constexpr int kRecords = 32000;
constexpr int kSwitches = 100;
constexpr int kTimedSteps = 2000;
constexpr int kDragMoves = 300;

// Form f with 16 elements of every type, laid out in rows.
void FullForm(orbo::Database& db, int f, const orbo::FontSpec& font) {
  orbo::FormDef& form = db.Forms[f];
  orbo::ApplyNewFormDefaults(form, f, font);
  form.Width = 16000;
  form.Height = 12000;
  for (int t = 0; t < orbo::kElementTypeCount; ++t) {
    for (int k = 0; k < orbo::kMaxElementsPerType; ++k) {
      orbo::ApplyNewElementDefaults(form, t, k, font);
      orbo::ElementDef& e = form.Elements[t][k];
      e.Left = static_cast<std::int16_t>(100 + (k % 8) * 1900);
      e.Top = static_cast<std::int16_t>(100 + t * 1600 + (k / 8) * 700);
      e.Width = 1800;
      e.Height = 600;
    }
    form.ElementCount[t] = orbo::kMaxElementsPerType;
  }
}

struct Timing {
  double mean = 0;
  double worst = 0;
};

template <typename Step>
Timing TimeEach(int count, Step step) {
  Timing timing;
  QElapsedTimer timer;
  for (int i = 0; i < count; ++i) {
    timer.start();
    step(i);
    QApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    timing.mean += ms / count;
    timing.worst = std::max(timing.worst, ms);
  }
  return timing;
}

void Print(const char* what, const Timing& timing) {
  std::printf("  %-46s mean %6.2f ms, worst %6.2f ms\n", what, timing.mean, timing.worst);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  BenchApp bench;
  if (!bench.Start(1200, 800)) return 1;
  orbo::App& app = bench.app;

  orbo::Database& db = app.db;
  orbo::SetCount(db, orbo::kFormsKind, 2);
  for (int f = 0; f < 2; ++f) FullForm(db, f, app.settings.DefaultFont);
  orbo::SetCount(db, orbo::kRecordsKind, kRecords);
  for (int r = 0; r < kRecords; ++r) {
    orbo::RecordData& record = db.Records[r];
    record = orbo::RecordData{};
    // Records 0 and 1 are of the two forms; the rest all of form 0.
    record.Form = static_cast<std::int16_t>(r == 1 ? 1 : 0);
    for (int k = 0; k < orbo::kMaxElementsPerType; ++k) {
      record.TextValue[k] = QStringLiteral("Value %1 of record %2").arg(k).arg(r);
      record.MemoValue[k] = QStringLiteral("Line one\r\nLine two of record %1").arg(r);
      record.ComboValue[k] = static_cast<std::int16_t>(r % 2);
      record.FlagValue[k] = r % 3 == 0;
      record.ButtonValue[k] = QStringLiteral("https://example.com/%1").arg(r);
    }
  }
  orbo::RecountBuffers(db);
  app.Parts().Navigation().RefreshTree();

  std::printf("canvas_bench: 2 forms of 112 elements, %d records\n", kRecords);
  Print("first record shown (its 112 controls made)",
        TimeEach(1, [&](int) { app.Parts().Navigation().ShowRecord(0); }));
  Print("switch between records of the two forms",
        TimeEach(kSwitches, [&](int i) { app.Parts().Navigation().ShowRecord(i % 2); }));
  app.Parts().Navigation().ShowRecord(2);
  QAction* next = app.Parts().Window().Commands().Tool(orbo::kMainBar, "dbnext");
  Print("step to the next record (first 2000)",
        TimeEach(kTimedSteps, [&](int) { next->trigger(); }));
  app.Parts().Navigation().ShowRecord(kRecords - kTimedSteps - 1);
  Print("step to the next record (last 2000)",
        TimeEach(kTimedSteps, [&](int) { next->trigger(); }));

  // Typing into a text box of a shown record: each key is a change of the
  // model, and the keys of one word merge into one undo step.
  app.Parts().Navigation().ShowRecord(2);
  auto* box = qobject_cast<QLineEdit*>(app.Parts().Canvas().Control(orbo::kText, 0));
  box->setFocus();
  box->end(false);
  const QString typed = QStringLiteral(" quick brown fox jumps over the lazy dog").repeated(5);
  const int stepsBefore = app.Context().funnel.Stack().Count();
  Print("type one key into a text box", TimeEach(static_cast<int>(typed.size()), [&](int i) {
          QTest::keyClick(box, typed.at(i).toLatin1());
        }));
  std::printf("  %d words typed gave %d undo steps\n", static_cast<int>(typed.count(u' ')),
              app.Context().funnel.Stack().Count() - stepsBefore);

  // Designing the form of 112 elements: one drag, a repaint per mouse move.
  app.Parts().Window().Commands().Menu("mnuMode2_1")->trigger();
  QWidget& canvas = app.Parts().Canvas().FormArea();
  const QPoint grab = app.Parts().Canvas().Control(orbo::kText, 0)->geometry().center();
  QTest::mousePress(&canvas, Qt::LeftButton, {}, grab);
  Print("drag an element: one mouse move and repaint", TimeEach(kDragMoves, [&](int i) {
          QTest::mouseMove(&canvas, grab + QPoint(i % 200, i % 100));
          canvas.repaint();
        }));
  QTest::mouseRelease(&canvas, Qt::LeftButton, {}, grab + QPoint(50, 50));
  return 0;
}
