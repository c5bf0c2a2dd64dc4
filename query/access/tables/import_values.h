// Reading back the values an export writes as text: a combo's line and a
// flag's word.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace orbo {

// A flag as the exports and spreadsheets write it: True/False, Yes/No, 1/0,
// -1/0 and the words of the program's languages, in any letter case. No
// value for any other text; an empty one is false.
std::optional<bool> FlagFromText(const QString& text);

// The lines of a combo's list by their text, the first of equal lines.
class ComboLookup {
 public:
  explicit ComboLookup(const QString& list);
  // The line the text names exactly, else ignoring letter case; an empty text
  // is no choice. No value when the text names no line.
  std::optional<int> Choice(const QString& text) const;

 private:
  QHash<QString, int> exact_;
  QHash<QString, int> folded_;
};

}  // namespace orbo
