#include "storage/picture_reader.h"

#include <QImageReader>

namespace orbo {

std::optional<QImage> ReadPicture(const QString& path) {
  QImageReader reader(path);
  const QSize size = reader.size();
  if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPicturePixels)
    return std::nullopt;
  if (size.width() > kLargestPictureSide || size.height() > kLargestPictureSide) {
    reader.setScaledSize(
        size.scaled(kLargestPictureSide, kLargestPictureSide, Qt::KeepAspectRatio));
  }
  QImage image = reader.read();
  if (image.isNull()) return std::nullopt;
  return image;
}

}  // namespace orbo
