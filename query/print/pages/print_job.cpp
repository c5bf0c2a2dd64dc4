#include "query/print/pages/print_job.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "query/print/pages/page_renderer.h"

namespace orbo {

JobEnd PrintPages(QPagedPaintDevice& device, const PageRenderer& renderer,
                  const std::vector<int>& order, const PageDone& pageDone) {
  QPainter painter;
  if (!painter.begin(&device)) return JobEnd::kFailed;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k > 0 && !device.newPage()) return JobEnd::kFailed;
    renderer.DrawRecord(painter, order[k], false);
    if (pageDone && !pageDone(static_cast<int>(k) + 1)) {
      painter.end();
      return JobEnd::kStopped;
    }
  }
  return painter.end() ? JobEnd::kDone : JobEnd::kFailed;
}

JobEnd WritePdf(const QString& path, const QPageLayout& layout, const PageRenderer& renderer,
                const std::vector<int>& order, QString& error, const PageDone& pageDone) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return JobEnd::kFailed;
  }
  JobEnd end = JobEnd::kFailed;
  {
    QPdfWriter writer(&file);
    writer.setPageLayout(layout);
    writer.setCreator(QStringLiteral("Corvane Database"));
    end = PrintPages(writer, renderer, order, pageDone);
  }
  if (end == JobEnd::kDone && file.commit()) return end;
  if (end != JobEnd::kStopped) error = file.errorString();
  file.cancelWriting();
  return end == JobEnd::kStopped ? end : JobEnd::kFailed;
}

QPageLayout FullPageLayout(const QPageLayout& layout) {
  return QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF());
}

QPageLayout DefaultPdfLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

}  // namespace orbo
