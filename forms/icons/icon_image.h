// Making a 16 x 16 icon out of any picture, and naming it in the user icons.
#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <functional>

namespace orbo {

inline constexpr int kIconSize = 16;
// Small pictures (sqrt(w*h) < 300, both sides >= 16) get the average colour
// of the block of source pixels behind each icon pixel; others are scaled.
QImage MakeIcon16(const QImage& source);

// "photo.jpg" becomes "photo.bmp"; while that name is taken in folder, a
// random whole number below 30000 with ".bmp".
QString ImportedIconName(const QString& chosenFile, const QDir& folder,
                         const std::function<int()>& randomBelow30000);

}  // namespace orbo
