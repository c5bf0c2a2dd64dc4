// Every stored property of an element and every value of a record, named
// once: its name in the JSON image, the element type that has it, where the
// model keeps it, what a new element starts with, how the properties dialog
// edits it and its limit. The body reader and writer, the JSON image, the
// comparison of stored content, the walk over stored texts, a new element's
// defaults, the designer's moves of slots and the properties dialog all go
// through these tables, so a new property is one row here and its control.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "storage/database_model.h"

namespace orbo {

// The element type of a property every type has.
inline constexpr int kEveryType = -1;

// Where the model keeps an element's property: a field of its ElementDef,
// or a per-slot table of the form kept for one type.
using ElementMember =
    std::variant<std::int16_t ElementDef::*, std::int32_t ElementDef::*, bool ElementDef::*,
                 QString ElementDef::*, FontSpec ElementDef::*, PerSlot<std::int16_t> FormDef::*,
                 PerSlot<QString> FormDef::*>;

// What a field of a new element starts with.
struct NewValue {
  enum Kind : std::uint8_t {
    kKept,   // what the slot held stays
    kSet,    // number, or text
    kGiven,  // the creator's: the numbered name, the default font
  } kind = kKept;
  std::int32_t number = 0;
  const char* text = "";
};

// A field's start for each element type; only the types it applies to count.
using NewValues = std::array<NewValue, kElementTypeCount>;

namespace new_value {

inline constexpr NewValue Given{NewValue::kGiven};
constexpr NewValue Number(std::int32_t n) { return {NewValue::kSet, n}; }
constexpr NewValue Text(const char* text) { return {NewValue::kSet, 0, text}; }
constexpr NewValues All(NewValue v) {
  NewValues all{};
  all.fill(v);
  return all;
}

// By type: image, label, text, button, combo, flag, multiline text.
constexpr NewValues Numbers(std::int32_t image, std::int32_t label, std::int32_t text,
                            std::int32_t button, std::int32_t combo, std::int32_t flag,
                            std::int32_t multiline) {
  return {Number(image), Number(label), Number(text),     Number(button),
          Number(combo), Number(flag),  Number(multiline)};
}

constexpr NewValues KeptBut(std::initializer_list<std::pair<int, std::int32_t>> set) {
  NewValues values{};
  for (auto [type, n] : set) values[static_cast<std::size_t>(type)] = Number(n);
  return values;
}

}  // namespace new_value

// How the properties dialog edits a field.
enum class FieldEntry : std::uint8_t {
  kNone,          // on the canvas (place and size), or by the font button
  kLine,          // a line box
  kLines,         // a box of lines, one item per line
  kChoice,        // a drop-down whose index is the value
  kColour,        // a colour button
  kCheck,         // a check box, ticked for a value other than 0
  kCheckForZero,  // a check box, ticked for 0
  kLimit,         // a switch and a number box, 0 for no limit
};

struct ElementField {
  const char* name;  // in the JSON image
  int type;          // kEveryType, or the one type that has it
  ElementMember member;
  // The JSON image lists the common properties in another order than the
  // file body: this is the place among an element's fields there.
  int imageRank;
  FieldEntry entry;
  NewValues start;
  // The largest value the dialog offers: a drop-down's last index, the
  // longest text limit; 0 for a field without a limit of its own.
  std::int32_t largest = 0;

  constexpr bool AppliesTo(int t) const { return type == kEveryType || type == t; }
};

// In the order of the file body.
inline constexpr auto kElementFields = [] {
  using namespace new_value;
  using enum FieldEntry;
  return std::to_array<ElementField>({
      {"Height", kEveryType, &ElementDef::Height, 4, kNone,
       Numbers(1000, 250, 250, 400, 400, 300, 3000)},
      {"Width", kEveryType, &ElementDef::Width, 3, kNone,
       Numbers(1000, 2000, 3000, 1000, 1000, 1000, 3000)},
      {"Left", kEveryType, &ElementDef::Left, 1, kNone,
       Numbers(100, 100, 800, 2200, 2900, 3600, 800)},
      {"Top", kEveryType, &ElementDef::Top, 2, kNone, All(Number(500))},
      {"Name", kEveryType, &ElementDef::Name, 0, kLine, All(Given)},
      {"Border", kEveryType, &ElementDef::Border, 6, kChoice,
       KeptBut({{kImage, 2}, {kLabel, 0}, {kText, 2}, {kMultiline, 2}}), 2},
      {"ForeColor", kEveryType, &ElementDef::ForeColor, 8, kColour,
       KeptBut({{kLabel, kSystemWindowTextColour},
                {kText, kSystemWindowTextColour},
                {kCombo, kSystemWindowTextColour},
                {kFlag, kSystemWindowTextColour},
                {kMultiline, kSystemWindowTextColour}})},
      {"BackColor", kEveryType, &ElementDef::BackColor, 7, kColour,
       KeptBut({{kLabel, kSystemButtonFaceColour},
                {kText, kSystemWindowColour},
                {kButton, kSystemButtonFaceColour},
                {kCombo, kSystemWindowColour},
                {kFlag, kSystemWindowColour},
                {kMultiline, kSystemWindowColour}})},
      {"Transparent", kEveryType, &ElementDef::Transparent, 9, kCheck, KeptBut({{kLabel, 1}})},
      {"Alignment", kEveryType, &ElementDef::Alignment, 10, kChoice, All(Number(0)), 2},
      {"Font", kEveryType, &ElementDef::Font, 5, kNone, All(Given)},
      {"ImageSize", kImage, &FormDef::ImageSize, 11, kChoice, All(Number(1)), 1},
      {"DblClickAction", kImage, &FormDef::DblClickAction, 12, kChoice, All(Number(0)), 2},
      {"ToolTip", kLabel, &FormDef::ToolTip, 11, kLine, All(Text(""))},
      {"QuickEnter", kText, &FormDef::QuickEnter, 11, kCheck, All(Number(0))},
      {"PasswordField", kText, &FormDef::PasswordField, 12, kCheck, All(Number(0))},
      {"ButtonAction", kButton, &FormDef::ButtonAction, 11, kChoice, All(Number(0)), 8},
      {"ComboList", kCombo, &FormDef::ComboList, 11, kLines, All(Text("Value A\r\nValue B"))},
      {"FlagAtRight", kFlag, &FormDef::FlagAtRight, 11, kCheck, All(Number(0))},
      {"FlagAppearance", kFlag, &FormDef::FlagAppearance, 12, kCheckForZero, All(Number(1))},
      {"TextLimit", kMultiline, &FormDef::TextLimit, 11, kLimit, All(Number(0)), 30000},
  });
}();

// The row of kElementFields named name; a name it lacks fails the build.
consteval std::size_t ElementFieldIndex(std::string_view name) {
  for (std::size_t i = 0; i < kElementFields.size(); ++i) {
    if (kElementFields[i].name == name) return i;
  }
  throw "no element field of this name";
}

// How many entries the drop-down of the field named name offers.
consteval int ChoicesOf(std::string_view name) {
  return kElementFields[ElementFieldIndex(name)].largest + 1;
}

// Indices into kElementFields in the order of the JSON image.
inline constexpr auto kElementFieldsInImageOrder = [] {
  std::array<std::size_t, kElementFields.size()> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) {
    const int rankA = kElementFields[a].imageRank;
    const int rankB = kElementFields[b].imageRank;
    return rankA != rankB ? rankA < rankB : a < b;
  });
  return order;
}();

namespace field_table {

// The value that member names for element (t, k) of form.
template <typename Form, typename Member>
auto& ValueAt(Form& form, int t, int k, Member member) {
  const auto ti = static_cast<std::size_t>(t);
  const auto ki = static_cast<std::size_t>(k);
  if constexpr (requires { form.Elements[ti][ki].*member; }) {
    return form.Elements[ti][ki].*member;
  } else {
    return (form.*member)[ki];
  }
}

}  // namespace field_table

// The type of the value that a member of ElementMember names.
template <typename Member>
using ElementValue = std::remove_cvref_t<decltype(field_table::ValueAt(std::declval<FormDef&>(), 0,
                                                                       0, std::declval<Member>()))>;

// The value of field for element (t, k) of form; Form is FormDef or const
// FormDef, and visit gets a reference of the field's own type.
template <typename Form, typename Visit>
void VisitElementField(Form& form, int t, int k, const ElementField& field, Visit&& visit) {
  std::visit([&](auto member) { visit(field_table::ValueAt(form, t, k, member)); }, field.member);
}

// Calls visit(field, value) for every property of element (t, k) of form,
// in body order.
template <typename Form, typename Visit>
void ForEachElementField(Form& form, int t, int k, Visit&& visit) {
  for (const ElementField& field : kElementFields) {
    if (!field.AppliesTo(t)) continue;
    VisitElementField(form, t, k, field, [&](auto& value) { visit(field, value); });
  }
}

// Calls visit(text) with the text a field's value holds: the value itself
// when it is a text, a font's name; not at all for numbers and flags.
template <typename Value, typename Visit>
void ForEachTextOf(Value& value, Visit&& visit) {
  using Plain = std::remove_cvref_t<Value>;
  if constexpr (std::is_same_v<Plain, QString>) visit(value);
  if constexpr (std::is_same_v<Plain, FontSpec>) visit(value.Name);
}

// Every property of element (t, from) copied to element (t, to).
inline void CopyElementSlot(FormDef& form, int t, int from, int to) {
  for (const ElementField& field : kElementFields) {
    if (!field.AppliesTo(t)) continue;
    std::visit(
        [&](auto member) {
          field_table::ValueAt(form, t, to, member) = field_table::ValueAt(form, t, from, member);
        },
        field.member);
  }
}

// The values a record holds for its form's elements, one table per type
// that has a value (labels have none).
using RecordMember = std::variant<PerSlot<QString> RecordData::*,
                                  PerSlot<std::int16_t> RecordData::*, PerSlot<bool> RecordData::*>;

struct RecordField {
  const char* name;  // in the JSON image
  int type;          // the element type whose slots it follows
  RecordMember member;
};

// In the order of the file body and the JSON image alike.
inline constexpr auto kRecordFields = std::to_array<RecordField>({
    {"ImageValue", kImage, &RecordData::ImageValue},
    {"TextValue", kText, &RecordData::TextValue},
    {"ButtonValue", kButton, &RecordData::ButtonValue},
    {"ComboValue", kCombo, &RecordData::ComboValue},
    {"FlagValue", kFlag, &RecordData::FlagValue},
    {"MemoValue", kMultiline, &RecordData::MemoValue},
});

// Calls visit(field, values) for every value table of record, in body
// order; values is the field's PerSlot table (const when record is).
template <typename Record, typename Visit>
void ForEachRecordField(Record& record, Visit&& visit) {
  for (const RecordField& field : kRecordFields) {
    std::visit([&](auto member) { visit(field, record.*member); }, field.member);
  }
}

// Calls visit(values) with the value table of record for elements of type
// t; not at all for labels, which hold no value.
template <typename Record, typename Visit>
void VisitRecordValues(Record& record, int t, Visit&& visit) {
  for (const RecordField& field : kRecordFields) {
    if (field.type == t) std::visit([&](auto member) { visit(record.*member); }, field.member);
  }
}

}  // namespace orbo
