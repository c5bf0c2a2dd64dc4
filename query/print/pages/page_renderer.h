// Draws one record on a page, in its form's design positions moved by the
// form's print offsets: the texts of labels, fields, buttons, multiline
// fields, flags and combos, the flags' squares and the pictures. Colours,
// borders and backgrounds are left out; text is black.
#pragma once

#include <QRectF>

#include "storage/database_model.h"

class QPainter;

namespace orbo {

// A flag's square, and how far right of it its caption starts.
inline constexpr int kFlagSquareTwips = 200;
inline constexpr int kFlagCaptionIndent = 250;
// Twips per pixel of a screen of 96 pixels to the inch.
inline constexpr double kStandardTwipsPerPixel = 15.0;

class PageRenderer {
 public:
  // screenTwipsPerPixel: the size of a picture's pixel at natural size, and
  // the scale of a surface that reports no resolution.
  explicit PageRenderer(const Database& db, double screenTwipsPerPixel = kStandardTwipsPerPixel);

  // Draws record on the painter's device, cleared to white first when clear.
  void DrawRecord(QPainter& painter, int record, bool clear) const;

 private:
  struct Surface;
  void DrawText(const Surface& surface, const ElementDef& element, int left,
                const QString& text) const;
  void DrawFlag(const Surface& surface, const ElementDef& element, bool set) const;
  void DrawImage(const Surface& surface, const ElementDef& element, const QString& value,
                 bool stretched) const;

  const Database& db_;
  double screenTwipsPerPixel_;
};

}  // namespace orbo
