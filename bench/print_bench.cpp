// Pages of the example database: drawn on a preview surface (the screen's
// resolution) and written into a PDF, best of a few runs; then one page whose
// multiline field holds 100000 characters without a blank in a box as wide as
// a form can be.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "query/print/pages/page_renderer.h"
#include "query/print/pages/print_job.h"
#include "query/print/pages/print_sets.h"
#include "storage/database_file.h"
#include "storage/stream_library.h"

using namespace orbo;

namespace {

constexpr int kRepeats = 5;
constexpr int kLongTextSize = 100000;

template <typename Run>
double BestMs(Run run, int repeats = kRepeats) {
  double best = 1e18;
  for (int i = 0; i < repeats; ++i) {
    QElapsedTimer timer;
    timer.start();
    if (!run()) return -1;
    best = std::min(best, timer.nsecsElapsed() / 1e6);
  }
  return best;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  CodePage codePage(QString::fromLatin1(kDefaultCodePage));
  const ReadOutcome read =
      ReadDatabaseFile(QStringLiteral(ORBO_BIN_DIR "/data/examples/ex1.2db"), codePage, {});
  if (read.status != ReadOutcome::kLoaded) return 1;
  const std::vector<int> order = PrintList(read.db, kAllRecordsSet, -1, 0);
  const PageRenderer renderer(read.db);
  const double preview = BestMs([&] {
    QImage page(794, 1123, QImage::Format_RGB32);
    QPainter painter(&page);
    for (int record : order) renderer.DrawRecord(painter, record, true);
    return true;
  });
  QTemporaryDir dir;
  QString error;
  const double pdf = BestMs([&] {
    return WritePdf(dir.filePath("pages.pdf"), DefaultPdfLayout(), renderer, order, error) ==
           JobEnd::kDone;
  });
  std::printf(
      "%zu pages of the example: preview surface %.1f ms (%.2f ms a page), PDF %.1f ms (%.2f ms a "
      "page)\n",
      order.size(), preview, preview / order.size(), pdf, pdf / order.size());

  // The first record of the first form, its multiline field filled.
  Database longText = read.db;
  const int record = order.front();
  ElementDef& memo = longText.Forms[longText.Records[record].Form].Elements[kMultiline][0];
  memo.Left = 0;
  memo.Width = 32767;
  QString text;
  for (int i = 0; i < kLongTextSize; ++i) text += QChar(u'a' + i % 26);
  longText.Records[record].MemoValue[0] = text;
  const PageRenderer longRenderer(longText);
  const double longPreview = BestMs(
      [&] {
        QImage page(794, 1123, QImage::Format_RGB32);
        QPainter painter(&page);
        longRenderer.DrawRecord(painter, record, true);
        return true;
      },
      1);
  const double longPdf = BestMs(
      [&] {
        return WritePdf(dir.filePath("long.pdf"), DefaultPdfLayout(), longRenderer, {record},
                        error) == JobEnd::kDone;
      },
      1);
  std::printf("1 page with %d characters without a blank: preview surface %.1f ms, PDF %.1f ms\n",
              kLongTextSize, longPreview, longPdf);
  return 0;
}
