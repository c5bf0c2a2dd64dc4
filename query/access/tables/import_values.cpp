#include "query/access/tables/import_values.h"

#include <QStringList>

#include "storage/combo_choices.h"

namespace orbo {

std::optional<bool> FlagFromText(const QString& text) {
  // Spreadsheets in Russian write ИСТИНА/ЛОЖЬ; the program's own words are
  // Yes/No and Да/Нет.
  static const QHash<QString, bool> kWords{
      {QStringLiteral("true"), true},  {QStringLiteral("false"), false},
      {QStringLiteral("yes"), true},   {QStringLiteral("no"), false},
      {QStringLiteral("1"), true},     {QStringLiteral("-1"), true},
      {QStringLiteral("0"), false},    {QStringLiteral("да"), true},
      {QStringLiteral("нет"), false},  {QStringLiteral("истина"), true},
      {QStringLiteral("ложь"), false}, {QString(), false},
  };
  const auto found = kWords.constFind(text.trimmed().toCaseFolded());
  if (found == kWords.constEnd()) return std::nullopt;
  return found.value();
}

ComboLookup::ComboLookup(const QString& list) {
  const QStringList lines = list.split(QStringLiteral("\r\n"));
  // Backwards, since a later insert replaces: the first of equal lines wins,
  // the one a record showing that text chose.
  for (int line = static_cast<int>(lines.size()) - 1; line >= 0; --line) {
    exact_.insert(lines[line], line);
    folded_.insert(lines[line].toCaseFolded(), line);
  }
}

std::optional<int> ComboLookup::Choice(const QString& text) const {
  if (text.isEmpty()) return kNoChoice;
  if (const auto it = exact_.constFind(text); it != exact_.constEnd()) return it.value();
  if (const auto it = folded_.constFind(text.toCaseFolded()); it != folded_.constEnd())
    return it.value();
  return std::nullopt;
}

}  // namespace orbo
