// What the undo stack holds after 1000 commands on a table of the largest
// size: added records, marks, renamed folders and sorts of 32000 records,
// each kept as a step; and after a long text typed word by word, a key at a
// time, as the record editor makes its steps. Reports the steps' own count
// of bytes and the growth of the resident size while they were made.
#include <QApplication>
#include <QFile>
#include <cstdio>

#include "bench_app.h"
#include "bench_timing.h"
#include "forms/designer/mode_switch.h"
#include "forms/editor/typed_words.h"
#include "query/sort/sorter.h"
#include "shell/navigator.h"
#include "storage/navigation_logic.h"

using namespace orbo;

namespace {

constexpr int kCommands = 1000;
constexpr int kTypedWords = 2000;

double ResidentMb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
  }
  return 0;
}

// Each key a change of record 0's multiline text, the keys of one word one
// step, as RecordEditor::StoreTyped makes them.
void TypeLongText(App& app) {
  Database& db = app.db;
  CommandFunnel& funnel = app.Funnel();
  const int stepsBefore = funnel.Stack().Count();
  const std::size_t bytesBefore = funnel.Stack().Bytes();
  const double residentBefore = ResidentMb();
  QString typed;
  int word = 0;
  const double ms = Ms([&] {
    for (int w = 0; w < kTypedWords; ++w) {
      for (QChar key : QStringLiteral(" word%1").arg(w)) {
        const QString next = typed + key;
        if (StartsNewWord(typed, next)) ++word;
        typed = next;
        funnel.Change(
            QStringLiteral("Typing"), ChangeScope::Records({0}),
            [&] { db.Records[0].MemoValue[0] = typed; }, QStringLiteral("memo/%1").arg(word));
      }
    }
  });
  std::printf("undo_bench: %d words (%d characters) typed into one text, a key at a time\n",
              kTypedWords, static_cast<int>(typed.size()));
  std::printf("  steps made                         %9d\n", funnel.Stack().Count() - stepsBefore);
  std::printf("  bytes the steps count              %9.1f MB\n",
              (funnel.Stack().Bytes() - bytesBefore) / 1048576.0);
  std::printf("  resident size grew by              %9.1f MB\n", ResidentMb() - residentBefore);
  std::printf("  time                               %9.1f ms\n", ms);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  BenchApp bench;
  if (!bench.Start(1000, 700)) return 1;
  App& app = bench.app;
  Database& db = app.db;
  SetCount(db, kRecordsKind, kMaxRecords - kCommands);
  for (int i = 0; i < db.RecordCount; ++i) {
    NewRecord(db, i);
    db.Records[static_cast<std::size_t>(i)].TextValue[0] = QStringLiteral("Name %1").arg(i % 977);
  }
  RecountBuffers(db);
  app.Parts().Modes().ToDatabaseMode();
  app.Parts().Navigation().ShowFolder(0);

  const double before = ResidentMb();
  int sorts = 0;
  for (int i = 0; i < kCommands; ++i) {
    Navigator& navigation = app.Parts().Navigation();
    switch (i % 4) {
      case 0:
        navigation.AddRecord(0, -1, true);
        break;
      case 1:
        navigation.ToggleMark(i);
        break;
      case 2:
        navigation.RenameCurrentFolder(QStringLiteral("Folder %1").arg(i));
        break;
      default:
        // A sort now and then: each keeps a permutation of every record.
        if (i % 20 == 3) {
          app.Parts().Sorting().Sort(false, 0, sorts++ % 2 == 0);
        } else {
          navigation.ToggleMark(i + 1);
        }
    }
  }
  const std::size_t bytes = app.Funnel().Stack().Bytes();
  std::printf("undo_bench: %d commands on %d records, %d of them sorts\n", kCommands,
              db.RecordCount, sorts);
  std::printf("  steps on the stack                 %9d\n", app.Funnel().Stack().Count());
  std::printf("  bytes the steps count              %9.1f MB\n", bytes / 1048576.0);
  std::printf("  resident size grew by              %9.1f MB\n", ResidentMb() - before);
  TypeLongText(app);
  return 0;
}
