#include "forms/properties/properties_logic.h"

#include <cmath>

#include "storage/combo_choices.h"
#include "storage/element_text.h"
#include "storage/number_text.h"

namespace orbo {
namespace {

constexpr std::int16_t kLargestTextLimit = 30000;
constexpr std::int16_t kShortestList = 2;
// Stored for an emptied item list, so the drop-down always has an entry.
constexpr auto kEmptyComboList = "-";

std::size_t At(int i) { return static_cast<std::size_t>(i); }

std::int16_t Flag16(bool on) { return on ? 1 : 0; }

}  // namespace

CommonControls CommonControlsFor(int selType) {
  using enum ControlUse;
  switch (selType) {
    case kSelectDatabase:
      // The database has no border or colours of its own.
      return {kDisabled, kHidden, kHidden, kHidden, kHidden, kHidden, kShown};
    case kSelectForm:
      return {kShown, kShown, kShown, kDisabled, kDisabled, kDisabled, kShown};
    case kImage:
      return {kShown, kShown, kDisabled, kDisabled, kDisabled, kDisabled, kDisabled};
    case kLabel:
      return {kShown, kShown, kShown, kShown, kShown, kShown, kShown};
    case kButton:
      return {kShown, kDisabled, kShown, kDisabled, kDisabled, kDisabled, kShown};
    case kCombo:
      return {kShown, kDisabled, kShown, kShown, kHidden, kHidden, kShown};
    case kFlag:
      return {kShown, kDisabled, kShown, kShown, kHidden, kDisabled, kShown};
    default:
      return {kShown, kShown, kShown, kShown, kHidden, kShown, kShown};  // text, multiline text
  }
}

PropertyEntries ReadProperties(const Database& db, int form, int selType, int slot) {
  PropertyEntries entries;
  const FormDef& f = db.Forms[At(form)];
  if (selType == kSelectDatabase) {
    entries.maxList = QString::number(db.MaxListString);
    return entries;
  }
  if (selType == kSelectForm) {
    entries.name = f.Name;
    entries.border = f.Border;
    entries.backColor = f.BackColor;
    entries.icon = f.Icon;
    entries.shadow = f.Shadow != 0;
    return entries;
  }
  const ElementDef& e = f.Elements[At(selType)][At(slot)];
  const std::size_t k = At(slot);
  entries.name = e.Name;
  entries.border = e.Border;
  entries.backColor = e.BackColor;
  entries.foreColor = e.ForeColor;
  entries.transparent = e.Transparent;
  entries.alignment = e.Alignment;
  entries.imageSize = f.ImageSize[k];
  entries.dblClickAction = f.DblClickAction[k];
  entries.toolTip = f.ToolTip[k];
  entries.quickEnter = f.QuickEnter[k] != 0;
  entries.passwordField = f.PasswordField[k] != 0;
  entries.buttonAction = f.ButtonAction[k];
  entries.comboList = ShownLines(f.ComboList[k]);
  entries.flatStyle = f.FlagAppearance[k] == 0;
  entries.flagAtRight = f.FlagAtRight[k] != 0;
  entries.limitText = f.TextLimit[k] != 0;
  entries.textLimit = entries.limitText ? QString::number(f.TextLimit[k]) : TextLimitShown(false);
  return entries;
}

int StoreProperties(Database& db, int form, int selType, int slot, const PropertyEntries& entries) {
  FormDef& f = db.Forms[At(form)];
  int choicesMoved = 0;
  if (selType == kSelectDatabase) {
    db.MaxListString = MaxListOf(entries.maxList);
    return choicesMoved;
  }
  if (selType == kSelectForm) {
    f.Icon = entries.icon;
    f.Name = entries.name;
    f.Border = static_cast<std::int16_t>(entries.border);
    f.BackColor = entries.backColor;
    f.Shadow = Flag16(entries.shadow);
    return choicesMoved;
  }
  ElementDef& e = f.Elements[At(selType)][At(slot)];
  const std::size_t k = At(slot);
  e.Name = entries.name;
  e.Border = static_cast<std::int16_t>(entries.border);
  e.BackColor = entries.backColor;
  e.ForeColor = entries.foreColor;
  e.Transparent = entries.transparent;
  e.Alignment = static_cast<std::int16_t>(entries.alignment);
  switch (selType) {
    case kImage:
      f.ImageSize[k] = static_cast<std::int16_t>(entries.imageSize);
      f.DblClickAction[k] = static_cast<std::int16_t>(entries.dblClickAction);
      break;
    case kLabel:
      f.ToolTip[k] = entries.toolTip;
      break;
    case kText:
      f.QuickEnter[k] = Flag16(entries.quickEnter);
      f.PasswordField[k] = Flag16(entries.passwordField);
      break;
    case kButton:
      f.ButtonAction[k] = static_cast<std::int16_t>(entries.buttonAction);
      break;
    case kCombo: {
      const QString before = f.ComboList[k];
      f.ComboList[k] = entries.comboList.isEmpty() ? QString::fromLatin1(kEmptyComboList)
                                                   : StoredLines(entries.comboList);
      choicesMoved = CarryChoices(db, form, slot, before, f.ComboList[k]);
      break;
    }
    case kFlag:
      f.FlagAppearance[k] = static_cast<std::int16_t>(1 - Flag16(entries.flatStyle));
      f.FlagAtRight[k] = Flag16(entries.flagAtRight);
      break;
    case kMultiline:
      f.TextLimit[k] = TextLimitOf(entries.textLimit);
      break;
    default:
      break;
  }
  return choicesMoved;
}

FontSpec& SelectionFont(Database& db, int form, int selType, int slot) {
  if (!IsElementSelection(selType)) return db.DatabaseFont;
  return db.Forms[At(form)].Elements[At(selType)][At(slot)].Font;
}

std::int16_t TextLimitOf(const QString& typed) {
  const double n = std::round(LeadingNumber(typed));
  return n > kLargestTextLimit || n < 0 ? 0 : static_cast<std::int16_t>(n);
}

QString TextLimitShown(bool limited) {
  return limited ? QStringLiteral("10") : QStringLiteral("32767");
}

std::int16_t MaxListOf(const QString& typed) {
  const double n = std::round(LeadingNumber(typed));
  if (n < kShortestList) return kShortestList;
  return n > 32767 ? std::int16_t{32767} : static_cast<std::int16_t>(n);
}

}  // namespace orbo
