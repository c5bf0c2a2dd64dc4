// A record's values by field and slot, for code that walks all of them
// (packed records, record edits).
#pragma once

#include <cstdint>

#include "storage/database_model.h"

namespace orbo::record_fields {

enum Field : std::uint8_t {
  kTextField,
  kImageField,
  kButtonField,
  kComboField,
  kFlagField,
  kMemoField
};

inline constexpr Field kTextFields[] = {kTextField, kImageField, kButtonField, kMemoField};

// The texts of one of kTextFields.
inline PerSlot<QString>& TextsOf(RecordData& record, Field field) {
  switch (field) {
    case kImageField:
      return record.ImageValue;
    case kButtonField:
      return record.ButtonValue;
    case kMemoField:
      return record.MemoValue;
    default:
      return record.TextValue;
  }
}

inline const PerSlot<QString>& TextsOf(const RecordData& record, Field field) {
  return TextsOf(const_cast<RecordData&>(record), field);
}

}  // namespace orbo::record_fields
