// The import from an Access table without widgets: which fields of a form
// can take a column, the column map, and storing one row into a record.
#pragma once

#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "query/access/tables/access_engine.h"
#include "query/access/tables/import_values.h"
#include "storage/database_model.h"

namespace orbo {

struct ImportTarget {
  int type = kText;
  int slot = 0;
};

// The fields a column can go into: text fields, buttons, multiline texts,
// then images, combos and flags, each kind in slot order.
std::vector<ImportTarget> ImportTargets(const FormDef& form);
QStringList ImportTargetNames(const FormDef& form);

// For each of the first kReadColumns columns: 0 when not imported, else
// the 1-based number of its target.
class ColumnMap {
 public:
  int TargetOf(int column) const;
  // A target takes at most one column: whichever had it loses it.
  void Assign(int column, int target);
  bool Empty() const;

 private:
  std::array<std::int16_t, kReadColumns> targets_{};
};

// Each column whose name is a field's name, letter case and an export's
// " ID:ts" suffix aside, goes into that field (the one of the suffix's type
// and slot first, when several share the name); a field takes the first.
ColumnMap MapByName(const QStringList& columns, const FormDef& form);
// Column by column into the fields in their order, past a first column the
// export fills with the folder ("Root").
ColumnMap MapInOrder(const QStringList& columns, const FormDef& form);

// How many records an import may still add.
int ImportCapacity(const Database& db);

// The most characters the field can hold: its text limit, if it has one,
// else what a file stores.
int FieldCapacity(const FormDef& form, const ImportTarget& target);

// What an import could not take as it stood.
struct ImportTally {
  int cut = 0;             // values longer than their field, cut
  int unknownChoices = 0;  // texts that name no line of their combo's list
  int unknownFlags = 0;    // texts that are no flag's word
  int unplaced = 0;        // records whose folder could not be made
};

// Stores the mapped values of rows into records of one form: a value longer
// than its field can hold is cut, a combo's text chooses the line it names,
// a flag's word sets the flag.
class RowStore {
 public:
  RowStore(const FormDef& form, const ColumnMap& map);
  void Store(RecordData& record, const QStringList& row, ImportTally& tally) const;

 private:
  struct Column {
    int column;
    ImportTarget target;
    int capacity;
  };
  std::vector<Column> columns_;
  std::vector<ComboLookup> combos_;
};

// The column that names each record's folder, as the exports write it
// ("Root"); -1 when there is none.
int FolderColumn(const QStringList& columns);

}  // namespace orbo
