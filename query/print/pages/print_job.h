// Pages of records on a paged device (a printer or a PDF), one record per
// page, and PDF files written whole or not at all.
#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>
#include <vector>

class QPagedPaintDevice;

namespace orbo {

class PageRenderer;

// How a print job ended.
enum class JobEnd { kDone, kStopped, kFailed };

// Told after each page with its number, from 1; false stops the job there.
using PageDone = std::function<bool(int page)>;

// Draws the records of order on device, one per page. kFailed when the
// device would not start drawing or take a page. A printer whose job was
// stopped must be aborted before this returns (from pageDone), or it prints
// the pages drawn so far.
JobEnd PrintPages(QPagedPaintDevice& device, const PageRenderer& renderer,
                  const std::vector<int>& order, const PageDone& pageDone = {});

// Writes the pages to a PDF file through a temporary file beside it, so a
// failure or a stop leaves no partial file and the old one, if any, whole.
// On failure error holds the system's description when it gave one.
JobEnd WritePdf(const QString& path, const QPageLayout& layout, const PageRenderer& renderer,
                const std::vector<int>& order, QString& error, const PageDone& pageDone = {});

// The paper of layout without margins: the offsets of the forms are the
// margins, so a printer, a PDF and the preview place everything alike.
QPageLayout FullPageLayout(const QPageLayout& layout);

// A4 upright without margins.
QPageLayout DefaultPdfLayout();

}  // namespace orbo
