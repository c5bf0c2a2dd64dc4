#include "query/text_wrap.h"

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

}  // namespace

std::vector<PlacedLine> WrapText(const QString& text, int x, int y, int width, int alignment,
                                 const WrapMetrics& metrics) {
  if (text.isEmpty()) return {};
  LineWriter writer(x, y, width, alignment, metrics);
  qsizetype start = 0;
  qsizetype length = 0;  // of the candidate line text.mid(start, length)
  while (start + length < text.size()) {
    ++length;
    const QString candidate = text.mid(start, length);
    if (candidate.endsWith(u'\r')) {
      writer.Break();
      writer.Output(candidate.chopped(1));
      start += length;
      // Only the LF of a CR LF pair goes with it; any other character is text.
      if (start < text.size() && text[start] == u'\n') ++start;
      length = 0;
    } else if (length > 1 && metrics.widthOf(candidate) > width) {
      // Break after the last blank before the character that did not fit;
      // without one, just before that character. A line keeps at least one
      // character, so a box narrower than a letter still ends.
      const qsizetype blank = candidate.lastIndexOf(u' ', length - 2);
      const qsizetype kept = blank >= 0 ? blank + 1 : length - 1;
      writer.Output(candidate.left(kept));
      writer.Break();
      start += kept;
      length = 0;
    }
  }
  writer.Output(text.mid(start, length));
  return writer.Take();
}

}  // namespace orbo
