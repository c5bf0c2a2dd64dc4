#include "storage/combo_choices.h"

#include <QHash>

#include "storage/element_values.h"

namespace orbo {

std::vector<int> LinesMoved(const QStringList& before, const QStringList& after) {
  QHash<QString, std::vector<int>> linesOf;
  for (int i = static_cast<int>(after.size()) - 1; i >= 0; --i) linesOf[after[i]].push_back(i);
  std::vector<int> moved;
  moved.reserve(static_cast<std::size_t>(before.size()));
  for (const QString& line : before) {
    // Each list holds the remaining lines of that text last-first.
    std::vector<int>& free = linesOf[line];
    if (free.empty()) {
      moved.push_back(kNoChoice);
    } else {
      moved.push_back(free.back());
      free.pop_back();
    }
  }
  return moved;
}

int CarryChoices(Database& db, int form, int slot, const QString& before, const QString& after) {
  const QStringList oldLines = ComboItems(before);
  const QStringList newLines = ComboItems(after);
  const std::vector<int> moved = LinesMoved(oldLines, newLines);
  int changed = 0;
  for (int r : RecordsOfForm(db, form)) {
    std::int16_t& choice =
        db.Records[static_cast<std::size_t>(r)].ComboValue[static_cast<std::size_t>(slot)];
    const bool hadLine = choice >= 0 && choice < oldLines.size();
    const bool wouldHaveLine = choice >= 0 && choice < newLines.size();
    const int carried =
        hadLine ? moved[static_cast<std::size_t>(choice)] : (wouldHaveLine ? kNoChoice : choice);
    if (carried == choice) continue;
    choice = static_cast<std::int16_t>(carried);
    ++changed;
  }
  return changed;
}

}  // namespace orbo
