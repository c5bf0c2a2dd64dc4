#include "query/print/pages/page_renderer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "storage/data_path.h"
#include "storage/element_values.h"
#include "storage/font_value.h"
#include "storage/picture_reader.h"
#include "storage/text_wrap.h"

namespace orbo {

// The painter and its device's scale; positions are kept in twips until drawn.
struct PageRenderer::Surface {
  QPainter& painter;
  double twipsPerPixelX;
  double twipsPerPixelY;
  int x0;
  int y0;

  QPointF Point(int x, int y) const { return {x / twipsPerPixelX, y / twipsPerPixelY}; }
  QRectF Box(int x, int y, int width, int height) const {
    return {Point(x, y), QSizeF(width / twipsPerPixelX, height / twipsPerPixelY)};
  }
};

namespace {

double TwipsPerPixel(int dotsPerInch, double fallback) {
  return dotsPerInch > 0 ? 1440.0 / dotsPerInch : fallback;
}

// The order of the element types on the page.
constexpr ElementType kTextTypes[] = {kLabel, kText, kButton, kMultiline};

}  // namespace

PageRenderer::PageRenderer(const Database& db, double screenTwipsPerPixel)
    : db_(db),
      screenTwipsPerPixel_(screenTwipsPerPixel > 0 ? screenTwipsPerPixel : kStandardTwipsPerPixel) {
}

void PageRenderer::DrawRecord(QPainter& painter, int record, bool clear) const {
  QPaintDevice* device = painter.device();
  if (!device) return;
  if (clear) painter.fillRect(QRect(0, 0, device->width(), device->height()), Qt::white);
  if (record < 0 || record >= db_.RecordCount) return;
  const RecordData& data = db_.Records[record];
  if (data.Form < 0 || data.Form >= db_.FormCount) return;
  const FormDef& form = db_.Forms[data.Form];
  const Surface surface{painter, TwipsPerPixel(device->logicalDpiX(), screenTwipsPerPixel_),
                        TwipsPerPixel(device->logicalDpiY(), screenTwipsPerPixel_),
                        form.PrintOffsetX, form.PrintOffsetY};
  painter.save();
  painter.setPen(Qt::black);
  auto used = [&](int type) {
    return std::clamp<int>(form.ElementCount[type], 0, kMaxElementsPerType);
  };
  for (ElementType type : kTextTypes) {
    for (int slot = 0; slot < used(type); ++slot) {
      const ElementDef& element = form.Elements[type][slot];
      const QString text = type == kLabel    ? element.Name
                           : type == kText   ? data.TextValue[slot]
                           : type == kButton ? data.ButtonValue[slot]
                                             : data.MemoValue[slot];
      DrawText(surface, element, element.Left, text);
    }
  }
  for (int slot = 0; slot < used(kFlag); ++slot)
    DrawFlag(surface, form.Elements[kFlag][slot], data.FlagValue[slot]);
  for (int slot = 0; slot < used(kImage); ++slot) {
    DrawImage(surface, form.Elements[kImage][slot], data.ImageValue[slot],
              form.ImageSize[slot] != 0);
  }
  for (int slot = 0; slot < used(kCombo); ++slot) {
    DrawText(surface, form.Elements[kCombo][slot], form.Elements[kCombo][slot].Left,
             ComboItems(form.ComboList[slot]).value(data.ComboValue[slot]));
  }
  painter.restore();
}

void PageRenderer::DrawText(const Surface& surface, const ElementDef& element, int left,
                            const QString& text) const {
  if (text.isEmpty()) return;
  QPainter& painter = surface.painter;
  painter.setFont(FontOf(element.Font));
  const QFontMetricsF metrics(painter.font(), painter.device());
  const double lineTwips = metrics.height() * surface.twipsPerPixelY;
  WrapMetrics wrap{
      [&](const QString& line) {
        return static_cast<int>(
            std::lround(metrics.horizontalAdvance(line) * surface.twipsPerPixelX));
      },
      static_cast<int>(std::lround(lineTwips)),
      // The line's height in screen pixels, taken as twips: the same gap on
      // every surface, so the preview shows the paper's line spacing.
      static_cast<int>(std::lround(lineTwips / screenTwipsPerPixel_)),
  };
  for (const PlacedLine& line : WrapText(text, left + surface.x0, element.Top + surface.y0,
                                         element.Width, element.Alignment, wrap)) {
    const QPointF at = surface.Point(line.x, line.y);
    painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), line.text);
  }
}

void PageRenderer::DrawFlag(const Surface& surface, const ElementDef& element, bool set) const {
  DrawText(surface, element, element.Left + kFlagCaptionIndent, element.Name);
  QPainter& painter = surface.painter;
  // One screen pixel wide on every surface.
  painter.setPen(QPen(Qt::black, screenTwipsPerPixel_ / surface.twipsPerPixelX));
  const QRectF square = surface.Box(element.Left + surface.x0, element.Top + surface.y0,
                                    kFlagSquareTwips, kFlagSquareTwips);
  painter.drawRect(square);
  if (set) {
    painter.drawLine(square.topLeft(), square.bottomRight());
    painter.drawLine(square.topRight(), square.bottomLeft());
  }
  painter.setPen(Qt::black);
}

void PageRenderer::DrawImage(const Surface& surface, const ElementDef& element,
                             const QString& value, bool stretched) const {
  if (value.isEmpty()) return;
  const std::optional<QImage> picture = ReadPicture(ResolveDataPath(value, db_.DatabasePath));
  if (!picture) return;
  const int width =
      stretched ? element.Width : static_cast<int>(picture->width() * screenTwipsPerPixel_);
  const int height =
      stretched ? element.Height : static_cast<int>(picture->height() * screenTwipsPerPixel_);
  surface.painter.drawImage(
      surface.Box(element.Left + surface.x0, element.Top + surface.y0, width, height), *picture);
}

}  // namespace orbo
