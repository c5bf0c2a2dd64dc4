#include "storage/text_wrap.h"

#include <QStringView>
#include <algorithm>

namespace orbo {
namespace {

class LineWriter {
 public:
  LineWriter(int x, int y, int width, int alignment, const WrapMetrics& metrics)
      : x_(x), y_(y), width_(width), alignment_(alignment), metrics_(metrics) {}

  void Output(const QString& line) {
    const int lineWidth = metrics_.widthOf(line);
    int at = x_;
    switch (alignment_) {
      case kAlignLeft:
        break;
      case kAlignRight:
        at = x_ + width_ - lineWidth;
        break;
      case kAlignCentre:
        at = x_ + width_ / 2 - lineWidth / 2;
        break;
      default:
        return;
    }
    lines_.push_back({line, at, y_});
    y_ += metrics_.lineAdvance;
  }
  void Break() { y_ += metrics_.breakGap; }
  std::vector<PlacedLine> Take() { return std::move(lines_); }

 private:
  int x_;
  int y_;
  int width_;
  int alignment_;
  const WrapMetrics& metrics_;
  std::vector<PlacedLine> lines_;
};

// The shortest length in [from, to] at which the line text.mid(start, length)
// is wider than width, or to + 1 when none is. Widths grow with the length,
// so the search starts at the length of the line before (lines of one text
// tend to be alike), gallops away from it and halves the last step: a line
// costs a few measurements of about its own length, not one per character.
qsizetype FirstTooWide(const QString& text, qsizetype start, qsizetype from, qsizetype to,
                       qsizetype guess, int width, const WrapMetrics& metrics) {
  auto tooWide = [&](qsizetype length) { return metrics.widthOf(text.mid(start, length)) > width; };
  qsizetype fits = from - 1;  // the longest length known to fit
  qsizetype wide = to + 1;    // the shortest length known to be too wide
  guess = std::clamp(guess, from, to);
  if (tooWide(guess)) {
    wide = guess;
    for (qsizetype step = 1; wide - step > fits; step *= 2) {
      if (!tooWide(wide - step)) {
        fits = wide - step;
        break;
      }
      wide -= step;
    }
  } else {
    fits = guess;
    for (qsizetype step = 1; fits + step < wide; step *= 2) {
      if (tooWide(fits + step)) {
        wide = fits + step;
        break;
      }
      fits += step;
    }
  }
  while (wide - fits > 1) {
    const qsizetype middle = fits + (wide - fits) / 2;
    (tooWide(middle) ? wide : fits) = middle;
  }
  return wide;
}

}  // namespace

// A line ends at the first CR or at the first length that is too wide,
// whichever comes first; a line keeps at least one character, so a box
// narrower than a letter still ends. A width break falls after the last
// blank before the character that did not fit, the blank staying on the
// line; without one, just before that character.
std::vector<PlacedLine> WrapText(const QString& text, int x, int y, int width, int alignment,
                                 const WrapMetrics& metrics) {
  if (text.isEmpty()) return {};
  LineWriter writer(x, y, width, alignment, metrics);
  qsizetype start = 0;
  qsizetype lastLength = 0;
  qsizetype cr = -1;
  for (;;) {
    if (cr < start) cr = text.indexOf(u'\r', start);
    const qsizetype room = (cr >= 0 ? cr : text.size()) - start;
    const qsizetype tooWide =
        room >= 2 ? FirstTooWide(text, start, 2, room, lastLength, width, metrics) : room + 1;
    if (tooWide <= room) {
      const qsizetype blank = QStringView(text).mid(start, tooWide - 1).lastIndexOf(u' ');
      const qsizetype kept = blank >= 0 ? blank + 1 : tooWide - 1;
      writer.Output(text.mid(start, kept));
      writer.Break();
      start += kept;
      lastLength = tooWide;
    } else if (cr < 0) {
      writer.Output(text.mid(start));
      return writer.Take();
    } else {
      writer.Break();
      writer.Output(text.mid(start, room));
      start = cr + 1;
      // Only the LF of a CR LF pair goes with it; any other character is text.
      if (start < text.size() && text[start] == u'\n') ++start;
    }
  }
}

}  // namespace orbo
