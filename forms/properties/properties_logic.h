// What the properties dialog shows for the designer's selection and how its
// entries go back into the model, without widgets. A selection is an
// element (type 0..6 and slot), the form (-1) or the database (-2).
#pragma once

#include <QString>
#include <cstdint>

#include "storage/database_model.h"
#include "storage/form_selection.h"

namespace orbo {

// The entries of the dialog's controls.
struct PropertyEntries {
  QString name;
  int border = 0;
  std::int32_t backColor = 0;
  std::int32_t foreColor = 0;
  bool transparent = false;
  int alignment = 0;
  int imageSize = 0;
  int dblClickAction = 0;
  QString toolTip;
  bool quickEnter = false;
  bool passwordField = false;
  int buttonAction = 0;
  // One item per line, as the box shows them.
  QString comboList;
  bool flatStyle = false;
  bool flagAtRight = false;
  bool limitText = false;
  QString textLimit;
  QString icon;
  bool shadow = false;
  QString maxList;
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
