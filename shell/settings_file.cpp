#include "shell/settings_file.h"

#include <QStringList>
#include <limits>

namespace orbo {
namespace {

constexpr auto kHeading = "[Recent files]";

QString Quoted(const QString& text) {
  // A quote inside is doubled, so a path holding one reads back whole.
  return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString Flag(bool value) { return value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"); }

// Splits the text into values: commas and line ends both separate them;
// quotes keep commas inside a string.
class ValueReader {
 public:
  explicit ValueReader(const QString& text) : text_(text) {}

  bool Next(QString* value, bool* quoted) {
    SkipBlanks();
    if (pos_ >= text_.size()) return false;
    value->clear();
    *quoted = text_[pos_] == u'"';
    if (*quoted) {
      ++pos_;
      while (pos_ < text_.size()) {
        QChar c = text_[pos_++];
        if (c != u'"') {
          value->append(c);
        } else if (pos_ < text_.size() && text_[pos_] == u'"') {
          value->append(c);
          ++pos_;
        } else {
          break;
        }
      }
      while (pos_ < text_.size() && !IsSeparator(text_[pos_])) ++pos_;
    } else {
      while (pos_ < text_.size() && !IsSeparator(text_[pos_])) value->append(text_[pos_++]);
      *value = value->trimmed();
    }
    if (pos_ < text_.size() && text_[pos_] == u',') ++pos_;
    return true;
  }

 private:
  static bool IsSeparator(QChar c) { return c == u',' || c == u'\n' || c == u'\r'; }
  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_].isSpace())) ++pos_;
  }

  const QString& text_;
  qsizetype pos_ = 0;
};

class SettingsReader {
 public:
  explicit SettingsReader(const QString& text) : values_(text) {}
  bool AllGood() const { return allGood_; }

  void String(QString* out) {
    QString value;
    bool quoted = false;
    if (Take(&value, &quoted) && quoted)
      *out = value;
    else
      allGood_ = false;
  }

  void Bool(bool* out) {
    QString value;
    bool quoted = false;
    if (!Take(&value, &quoted) || quoted) return Bad();
    QString upper = value.toUpper();
    if (upper == u"#TRUE#")
      *out = true;
    else if (upper == u"#FALSE#")
      *out = false;
    else {
      bool ok = false;
      long long number = value.toLongLong(&ok);
      if (ok)
        *out = number != 0;
      else
        Bad();
    }
  }

  template <typename Int>
  void Number(Int* out) {
    QString value;
    bool quoted = false;
    bool ok = false;
    long long number = Take(&value, &quoted) && !quoted ? value.toLongLong(&ok) : 0;
    if (ok && number >= std::numeric_limits<Int>::min() &&
        number <= std::numeric_limits<Int>::max()) {
      *out = static_cast<Int>(number);
    } else {
      Bad();
    }
  }

 private:
  bool Take(QString* value, bool* quoted) {
    if (values_.Next(value, quoted)) return true;
    allGood_ = false;
    return false;
  }
  void Bad() { allGood_ = false; }

  ValueReader values_;
  bool allGood_ = true;
};

}  // namespace

QString SettingsToText(const AppSettings& s) {
  QStringList lines;
  lines << Quoted(kHeading);
  for (const QString& path : s.RecentFiles) lines << Quoted(path);
  lines << Flag(s.WideList) << Flag(s.ShowStatusBar) << Flag(s.ShowGrid);
  lines << QStringLiteral("%1,%2").arg(s.GridStepX).arg(s.GridStepY);
  lines << Flag(s.FixedTextHeight);
  lines << QString::number(s.WindowHeight) << QString::number(s.WindowWidth)
        << QString::number(s.WindowLeft) << QString::number(s.WindowTop);
  lines << QString::number(s.WindowState);
  for (const auto& row : s.ToolButtonVisible) {
    for (int n = 1; n <= kToolbarSlots; ++n) lines << Flag(row[n]);
  }
  const FontSpec& font = s.DefaultFont;
  // One pass: a font name holding "%1" must not swallow the size.
  lines << QStringLiteral("%1,%2,%3,%4")
               .arg(Quoted(font.Name), Flag(font.Bold), Flag(font.Italic),
                    QString::number(font.Size));
  lines << Flag(s.ShowStartDialog) << QString::number(s.StartCount);
  return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

bool SettingsFromText(const QString& text, AppSettings* s) {
  SettingsReader in(text);
  QString heading;
  in.String(&heading);
  for (QString& path : s->RecentFiles) in.String(&path);
  in.Bool(&s->WideList);
  in.Bool(&s->ShowStatusBar);
  in.Bool(&s->ShowGrid);
  in.Number(&s->GridStepX);
  in.Number(&s->GridStepY);
  in.Bool(&s->FixedTextHeight);
  in.Number(&s->WindowHeight);
  in.Number(&s->WindowWidth);
  in.Number(&s->WindowLeft);
  in.Number(&s->WindowTop);
  in.Number(&s->WindowState);
  for (auto& row : s->ToolButtonVisible) {
    for (int n = 1; n <= kToolbarSlots; ++n) in.Bool(&row[n]);
  }
  in.String(&s->DefaultFont.Name);
  in.Bool(&s->DefaultFont.Bold);
  in.Bool(&s->DefaultFont.Italic);
  in.Number(&s->DefaultFont.Size);
  in.Bool(&s->ShowStartDialog);
  in.Number(&s->StartCount);
  return in.AllGood();
}

}  // namespace orbo
