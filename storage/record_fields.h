// A record's values by field and slot, for code that walks all of them
// (packed records, record edits): a field is a row of kRecordFields.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "storage/field_table.h"

namespace orbo::record_fields {

using Field = std::uint8_t;

constexpr Field FieldOf(int type) {
  Field field = 0;
  while (kRecordFields[field].type != type) ++field;
  return field;
}

inline constexpr Field kComboField = FieldOf(kCombo);
inline constexpr Field kFlagField = FieldOf(kFlag);

using TextsMember = PerSlot<QString> RecordData::*;

inline constexpr bool HoldsTexts(const RecordField& field) {
  return std::holds_alternative<TextsMember>(field.member);
}

// The fields whose values are texts.
inline constexpr auto kTextFields = [] {
  std::array<Field, std::ranges::count_if(kRecordFields, HoldsTexts)> texts{};
  std::size_t found = 0;
  for (Field field = 0; field < kRecordFields.size(); ++field) {
    if (HoldsTexts(kRecordFields[field])) texts[found++] = field;
  }
  return texts;
}();

// The texts of one of kTextFields.
inline PerSlot<QString>& TextsOf(RecordData& record, Field field) {
  return record.*std::get<TextsMember>(kRecordFields[field].member);
}

inline const PerSlot<QString>& TextsOf(const RecordData& record, Field field) {
  return record.*std::get<TextsMember>(kRecordFields[field].member);
}

// The texts of the elements of type t; none for a type whose values are no
// texts (labels have none, combos and flags hold numbers).
template <typename Record>
auto* TextsOfType(Record& record, int t) {
  decltype(&TextsOf(record, Field{})) texts = nullptr;
  VisitRecordValues(record, t, [&](auto& values) {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(values)>, PerSlot<QString>>)
      texts = &values;
  });
  return texts;
}

}  // namespace orbo::record_fields
