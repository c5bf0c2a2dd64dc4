// How long the window stalls while a recovery copy of the largest database
// is written: the copy of the model on the window's thread, and the longest
// gap between ticks of a 1 ms timer while the file is written on another.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include "app/recovery_keeper.h"
#include "bench_database.h"
#include "bench_timing.h"
#include "storage/stream_library.h"

using namespace orbo;

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  QTemporaryDir dir;
  Database db = bench::BenchDatabase();
  db.Modified = true;
  std::printf("recovery_bench: %d records, %d folders\n", db.RecordCount, db.FolderCount);
  double copyMs = 0;
  for (int round = 0; round < 5; ++round) {
    copyMs = std::max(copyMs, Ms([&] {
                        const Database copy = db;
                        (void)copy;
                      }));
  }
  Row("copy of the model (worst of 5)", copyMs);

  RecoveryKeeper keeper(db, RecoveryFolder(dir.filePath(QStringLiteral("recovery")), 1),
                        [] { return 2; });
  for (int round = 0; round < 3; ++round) {
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
      longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
      sinceTick.restart();
    });
    QElapsedTimer whole;
    whole.start();
    sinceTick.start();
    ticks.start();
    keeper.WriteNow();
    // The window goes on while the copy is written.
    while (whole.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    keeper.Wait();
    Row(round == 0 ? "longest pause while a copy is written" : "  again", longest);
  }
  const QFileInfo written(dir.filePath(QStringLiteral("recovery/copy-1.2db")));
  std::printf("  copy written: %.1f MB\n", written.size() / 1048576.0);
  return 0;
}
