// A folder's records as a table, without widgets: the columns of a form,
// what a cell shows, the forms among listed records, a view order by any
// column, and the rearrangement that makes a view order the stored one.
#pragma once

#include <QString>
#include <vector>

#include "storage/database_model.h"
#include "storage/slot_permutation.h"

namespace orbo {

// The title element first, when the form has it, then every other element
// that holds a value, in the order the exports list them.
std::vector<ElementRef> TableColumns(const FormDef& form);

// A cell as one line: a multiline text's first line that holds more than
// blanks, a picture's file name, a combo's chosen line; nothing for a flag,
// whose state is a check box.
QString CellText(const Database& db, int record, const ElementRef& element);

struct FormShare {
  int form = 0;
  int count = 0;
  friend bool operator==(const FormShare&, const FormShare&) = default;
};

// The forms of records, each with how many of them it has, in form order.
std::vector<FormShare> FormsAmong(const Database& db, const std::vector<int>& records);

// Those of records whose form is form, in the order given.
std::vector<int> RecordsWithForm(const Database& db, const std::vector<int>& records, int form);

// records ordered by element's cells, case aside (flags: off before on);
// records of equal cells keep their order. Descending is the reverse of
// ascending but for equal cells, which keep theirs.
std::vector<int> TableOrder(const Database& db, const std::vector<int>& records,
                            const ElementRef& element, bool ascending);

// The rearrangement that puts shown (records in the order a view shows
// them) into the slots they hold in that order.
SlotPermutation StoredOrderOf(const std::vector<int>& shown);

}  // namespace orbo
