#include "forms/properties/properties_logic.h"

#include <cmath>
#include <type_traits>

#include "storage/combo_choices.h"
#include "storage/element_text.h"
#include "storage/element_values.h"
#include "storage/number_text.h"

namespace orbo {
namespace {

constexpr std::int32_t kLargestTextLimit = kElementFields[ElementFieldIndex("TextLimit")].largest;
constexpr std::int16_t kShortestList = 2;
// Stored for an emptied item list, so the drop-down always has an entry.
constexpr auto kEmptyComboList = "-";

constexpr std::size_t kNameField = ElementFieldIndex("Name");
constexpr std::size_t kBorderField = ElementFieldIndex("Border");
constexpr std::size_t kBackColorField = ElementFieldIndex("BackColor");

std::size_t At(int i) { return static_cast<std::size_t>(i); }

std::int16_t Flag16(bool on) { return on ? 1 : 0; }

template <typename Value>
EntryValue EntryOf(FieldEntry entry, const Value& value) {
  EntryValue shown;
  if constexpr (std::is_same_v<Value, QString>) {
    shown.text = entry == FieldEntry::kLines ? ShownLines(value) : value;
  } else if constexpr (std::is_arithmetic_v<Value>) {
    shown.number = value;
    shown.on = entry == FieldEntry::kCheckForZero ? value == 0 : value != 0;
    if (entry == FieldEntry::kLimit)
      shown.text = shown.on ? QString::number(value) : TextLimitShown(false);
  }
  return shown;
}

// Whether a control still shows what it was given: the stored value then
// stays as it is, even one the control cannot show or store (a flag of 5, a
// limit above the largest), so OK without an edit changes nothing.
bool ShowsTheSame(FieldEntry entry, const EntryValue& a, const EntryValue& b) {
  using enum FieldEntry;
  switch (entry) {
    case kLine:
    case kLines:
      return a.text == b.text;
    case kChoice:
    case kColour:
      return a.number == b.number;
    case kCheck:
    case kCheckForZero:
      return a.on == b.on;
    case kLimit:
      return a.on == b.on && a.text == b.text;
    case kNone:
      break;
  }
  return true;
}

template <typename Value>
void StoreEntry(FieldEntry entry, const EntryValue& shown, Value& value) {
  using enum FieldEntry;
  if constexpr (std::is_same_v<Value, QString>) {
    if (entry == kLine) value = shown.text;
    if (entry == kLines)
      value = shown.text.isEmpty() ? QString::fromLatin1(kEmptyComboList) : StoredLines(shown.text);
  } else if constexpr (std::is_arithmetic_v<Value>) {
    switch (entry) {
      case kChoice:
      case kColour:
        value = static_cast<Value>(shown.number);
        break;
      case kCheck:
        value = static_cast<Value>(Flag16(shown.on));
        break;
      case kCheckForZero:
        value = static_cast<Value>(1 - Flag16(shown.on));
        break;
      case kLimit:
        value = static_cast<Value>(TextLimitOf(shown.text));
        break;
      default:
        break;
    }
  }
}

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
    entries[kNameField].text = f.Name;
    entries[kBorderField].number = f.Border;
    entries[kBackColorField].number = f.BackColor;
    entries.icon = f.Icon;
    entries.shadow = f.Shadow != 0;
    return entries;
  }
  for (std::size_t i = 0; i < kElementFields.size(); ++i) {
    const ElementField& field = kElementFields[i];
    if (!field.AppliesTo(selType)) continue;
    VisitElementField(f, selType, slot, field,
                      [&](const auto& value) { entries[i] = EntryOf(field.entry, value); });
  }
  return entries;
}

int StoreProperties(Database& db, int form, int selType, int slot, const PropertyEntries& entries) {
  FormDef& f = db.Forms[At(form)];
  if (selType == kSelectDatabase) {
    if (entries.maxList != QString::number(db.MaxListString))
      db.MaxListString = MaxListOf(entries.maxList);
    return 0;
  }
  if (selType == kSelectForm) {
    f.Icon = entries.icon;
    f.Name = entries[kNameField].text;
    f.Border = static_cast<std::int16_t>(entries[kBorderField].number);
    f.BackColor = entries[kBackColorField].number;
    if (entries.shadow != (f.Shadow != 0)) f.Shadow = Flag16(entries.shadow);
    return 0;
  }
  const QString itemsBefore = f.ComboList[At(slot)];
  for (std::size_t i = 0; i < kElementFields.size(); ++i) {
    const ElementField& field = kElementFields[i];
    if (!field.AppliesTo(selType)) continue;
    VisitElementField(f, selType, slot, field, [&](auto& value) {
      if (!ShowsTheSame(field.entry, entries[i], EntryOf(field.entry, value)))
        StoreEntry(field.entry, entries[i], value);
    });
  }
  return selType == kCombo ? CarryChoices(db, form, slot, itemsBefore, f.ComboList[At(slot)]) : 0;
}

ChangeScope ScopeOfProperties(const Database& db, int form, int selType) {
  ChangeScope scope = ChangeScope::Forms({form});
  if (selType == kCombo) scope.records = IndexScope::Of(RecordsOfForm(db, form));
  return scope;
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
