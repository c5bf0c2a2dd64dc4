// Pictures read from files: element values, user icons.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace orbo {

// Pictures claiming more pixels are refused before they are read, so a
// hostile file cannot make the program allocate gigabytes.
inline constexpr qint64 kMaxPicturePixels = 64LL * 1024 * 1024;
// A picture with a longer side is read scaled down to it.
inline constexpr int kLargestPictureSide = 4096;

// Nothing when the file is missing, unreadable or too large.
std::optional<QImage> ReadPicture(const QString& path);

}  // namespace orbo
