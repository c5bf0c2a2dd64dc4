#include "query/access/tables/access_import.h"

#include <QRegularExpression>
#include <algorithm>

#include "query/access/tables/access_export.h"
#include "storage/combo_choices.h"
#include "storage/navigation_logic.h"
#include "storage/record_fields.h"
#include "storage/stream_library.h"

namespace orbo {

std::vector<ImportTarget> ImportTargets(const FormDef& form) {
  std::vector<ImportTarget> targets;
  for (int type : {kText, kButton, kMultiline, kImage, kCombo, kFlag}) {
    for (int slot = 0; slot < form.ElementCount[static_cast<size_t>(type)]; ++slot)
      targets.push_back({type, slot});
  }
  return targets;
}

QStringList ImportTargetNames(const FormDef& form) {
  QStringList names;
  for (const ImportTarget& t : ImportTargets(form)) {
    names << form.Elements[static_cast<size_t>(t.type)][static_cast<size_t>(t.slot)].Name;
  }
  return names;
}

int ColumnMap::TargetOf(int column) const {
  return column >= 0 && column < kReadColumns ? targets_[static_cast<size_t>(column)] : 0;
}

void ColumnMap::Assign(int column, int target) {
  if (column < 0 || column >= kReadColumns) return;
  if (target >= 1)
    std::replace(targets_.begin(), targets_.end(), static_cast<std::int16_t>(target),
                 std::int16_t{0});
  targets_[static_cast<size_t>(column)] = static_cast<std::int16_t>(std::max(target, 0));
}

bool ColumnMap::Empty() const {
  return std::all_of(targets_.begin(), targets_.end(), [](std::int16_t t) { return t == 0; });
}

ColumnMap MapByName(const QStringList& columns, const FormDef& form) {
  static const QRegularExpression kSuffix(QStringLiteral(" ID:(\\d)(\\d+)$"));
  const std::vector<ImportTarget> targets = ImportTargets(form);
  const QStringList names = ImportTargetNames(form);
  ColumnMap map;
  std::vector<bool> taken(targets.size(), false);
  for (int column = 0; column < std::min<int>(columns.size(), kReadColumns); ++column) {
    QString name = columns[column];
    const QRegularExpressionMatch suffix = kSuffix.match(name);
    if (suffix.hasMatch()) name.chop(suffix.capturedLength());
    int chosen = -1;
    for (std::size_t t = 0; t < targets.size(); ++t) {
      if (taken[t] || names[static_cast<qsizetype>(t)].compare(name, Qt::CaseInsensitive) != 0)
        continue;
      const bool sameElement = suffix.hasMatch() && suffix.captured(1).toInt() == targets[t].type &&
                               suffix.captured(2).toInt() == targets[t].slot;
      if (chosen < 0 || sameElement) chosen = static_cast<int>(t);
      if (sameElement) break;
    }
    if (chosen < 0) continue;
    taken[static_cast<std::size_t>(chosen)] = true;
    map.Assign(column, chosen + 1);
  }
  return map;
}

ColumnMap MapInOrder(const QStringList& columns, const FormDef& form) {
  const int first = !columns.isEmpty() && columns[0] == QLatin1String(kExportFolderColumn) ? 1 : 0;
  const int fields = static_cast<int>(ImportTargets(form).size());
  ColumnMap map;
  for (int column = first; column < std::min<int>(columns.size(), kReadColumns); ++column) {
    if (column - first >= fields) break;
    map.Assign(column, column - first + 1);
  }
  return map;
}

int ImportCapacity(const Database& db) { return std::max(kMaxRecords - db.RecordCount, 0); }

int FieldCapacity(const FormDef& form, const ImportTarget& target) {
  const int limit =
      target.type == kMultiline ? form.TextLimit[static_cast<size_t>(target.slot)] : 0;
  return limit > 0 ? limit : stream::kMaxStringBytes;
}

RowStore::RowStore(const FormDef& form, const ColumnMap& map) {
  const std::vector<ImportTarget> targets = ImportTargets(form);
  for (int column = 0; column < kReadColumns; ++column) {
    const int n = map.TargetOf(column);
    // The map outlives a change of form: a number past this form's fields
    // names nothing.
    if (n < 1 || n > static_cast<int>(targets.size())) continue;
    const ImportTarget& target = targets[static_cast<size_t>(n - 1)];
    columns_.push_back({column, target, FieldCapacity(form, target)});
  }
  for (int slot = 0; slot < kSlotCount; ++slot) combos_.emplace_back(form.ComboList[slot]);
}

void RowStore::Store(RecordData& record, const QStringList& row, ImportTally& tally) const {
  for (const Column& c : columns_) {
    if (c.column >= row.size()) continue;
    const auto slot = static_cast<size_t>(c.target.slot);
    QString value = row[c.column];
    if (c.target.type == kFlag) {
      const std::optional<bool> flag = FlagFromText(value);
      if (!flag) ++tally.unknownFlags;
      record.FlagValue[slot] = flag.value_or(false);
      continue;
    }
    if (c.target.type == kCombo) {
      const std::optional<int> choice = combos_[slot].Choice(value);
      if (!choice) ++tally.unknownChoices;
      record.ComboValue[slot] = static_cast<std::int16_t>(choice.value_or(kNoChoice));
      continue;
    }
    if (value.size() > c.capacity) {
      // Never half a surrogate pair.
      value.truncate(value[c.capacity - 1].isHighSurrogate() ? c.capacity - 1 : c.capacity);
      ++tally.cut;
    }
    if (auto* texts = record_fields::TextsOfType(record, c.target.type)) (*texts)[slot] = value;
  }
}

int FolderColumn(const QStringList& columns) {
  for (int c = 0; c < columns.size(); ++c) {
    if (columns[c].trimmed().compare(QLatin1String(kExportFolderColumn), Qt::CaseInsensitive) == 0)
      return c;
  }
  return -1;
}

}  // namespace orbo
