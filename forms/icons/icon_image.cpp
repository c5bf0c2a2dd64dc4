#include "forms/icons/icon_image.h"

#include <QFileInfo>
#include <cmath>

namespace orbo {
namespace {

// Edge of block i of n over a side of the given length.
int BlockEdge(int i, int length) {
  return static_cast<int>(std::floor(i * length / double(kIconSize) + 0.5));
}

QRgb BlockAverage(const QImage& image, int x0, int x1, int y0, int y1) {
  qint64 red = 0, green = 0, blue = 0, alpha = 0;
  for (int y = y0; y < y1; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = x0; x < x1; ++x) {
      red += qRed(line[x]);
      green += qGreen(line[x]);
      blue += qBlue(line[x]);
      alpha += qAlpha(line[x]);
    }
  }
  const qint64 count = qint64(x1 - x0) * (y1 - y0);
  return qRgba(int(red / count), int(green / count), int(blue / count), int(alpha / count));
}

}  // namespace

QImage MakeIcon16(const QImage& source) {
  const int w = source.width();
  const int h = source.height();
  if (std::sqrt(double(w) * h) >= 300 || w < kIconSize || h < kIconSize) {
    return source.scaled(kIconSize, kIconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
  }
  const QImage pixels = source.convertToFormat(QImage::Format_ARGB32);
  QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32);
  for (int j = 0; j < kIconSize; ++j) {
    for (int i = 0; i < kIconSize; ++i) {
      icon.setPixel(i, j,
                    BlockAverage(pixels, BlockEdge(i, w), BlockEdge(i + 1, w), BlockEdge(j, h),
                                 BlockEdge(j + 1, h)));
    }
  }
  return icon;
}

QString ImportedIconName(const QString& chosenFile, const QDir& folder,
                         const std::function<int()>& randomBelow30000) {
  const QString name = QFileInfo(chosenFile).fileName();
  QString result = name.left(std::max<qsizetype>(name.size() - 4, 0)) + QStringLiteral(".bmp");
  while (folder.exists(result))
    result = QString::number(randomBelow30000()) + QStringLiteral(".bmp");
  return result;
}

}  // namespace orbo
