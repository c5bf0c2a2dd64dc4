// What the properties dialog shows for the designer's selection and how its
// entries go back into the model, without widgets. A selection is an
// element (type 0..6 and slot), the form (-1) or the database (-2).
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "storage/database_model.h"
#include "storage/field_table.h"
#include "storage/form_selection.h"
#include "storage/model_delta.h"

namespace orbo {

// What the control of one field holds, as its kind of entry uses it.
struct EntryValue {
  bool on = false;  // check boxes, the text limit's switch
  int number = 0;   // a drop-down's index, a colour
  QString text;     // line boxes, the item list one item per line, the text limit
};

// The entries of the dialog's controls.
struct PropertyEntries {
  QString icon;
  bool shadow = false;
  QString maxList;

  // By row of kElementFields. The form's name, border and colour stand in
  // the rows of the element's.
  EntryValue& operator[](std::size_t field) { return fields_[field]; }
  const EntryValue& operator[](std::size_t field) const { return fields_[field]; }

 private:
  std::array<EntryValue, kElementFields.size()> fields_;
};

// How a common control meets a selection.
enum class ControlUse { kShown, kDisabled, kHidden };
struct CommonControls {
  ControlUse name, border, backColor, foreColor, transparent, alignment, font;
};
CommonControls CommonControlsFor(int selType);

PropertyEntries ReadProperties(const Database& db, int form, int selType, int slot);
// Stores the entries the selection has; the font is not among them. The
// records' choices follow the lines of an edited item list; returns how many
// records changed with them.
int StoreProperties(Database& db, int form, int selType, int slot, const PropertyEntries& entries);
// What StoreProperties changes: the form, and the records' choices with an
// item list.
ChangeScope ScopeOfProperties(const Database& db, int form, int selType);

// The font the dialog's font button edits: the element's, or the database
// font for the form and the database.
FontSpec& SelectionFont(Database& db, int form, int selType, int slot);

// A typed text limit: 0 (no limit) above 30000, below 0 or not a number.
std::int16_t TextLimitOf(const QString& typed);
// What the text limit box shows when the limit is switched on or off.
QString TextLimitShown(bool limited);
// A typed list length: at least 2, at most what 16 bits hold.
std::int16_t MaxListOf(const QString& typed);

}  // namespace orbo
