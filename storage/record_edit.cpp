#include "storage/record_edit.h"

#include <algorithm>

#include "storage/record_fields.h"
#include "storage/text_difference.h"

namespace orbo {
namespace {

using namespace record_fields;

void SetNumber(RecordData& record, Field field, std::uint8_t slot, std::int16_t value) {
  if (field == kFlagField) {
    record.FlagValue[slot] = value != 0;
  } else {
    record.ComboValue[slot] = value;
  }
}

}  // namespace

RecordEdit::RecordEdit(const RecordData& before, const RecordData& after)
    : folderBefore_(before.Folder),
      folderAfter_(after.Folder),
      formBefore_(before.Form),
      formAfter_(after.Form) {
  for (Field field : kTextFields) {
    for (std::uint8_t slot = 0; slot < kSlotCount; ++slot) {
      const QString& a = TextsOf(before, field)[slot];
      const QString& b = TextsOf(after, field)[slot];
      if (a == b) continue;
      const auto [prefix, suffix] = DifferenceOf(a, b);
      texts_.push_back({field, slot, prefix, a.sliced(prefix, a.size() - prefix - suffix),
                        b.sliced(prefix, b.size() - prefix - suffix)});
    }
  }
  for (std::uint8_t slot = 0; slot < kSlotCount; ++slot) {
    if (before.ComboValue[slot] != after.ComboValue[slot])
      numbers_.push_back({kComboField, slot, before.ComboValue[slot], after.ComboValue[slot]});
    if (before.FlagValue[slot] != after.FlagValue[slot])
      numbers_.push_back({kFlagField, slot, before.FlagValue[slot], after.FlagValue[slot]});
  }
  texts_.shrink_to_fit();
  numbers_.shrink_to_fit();
}

bool RecordEdit::Empty() const {
  return folderBefore_ == folderAfter_ && formBefore_ == formAfter_ && texts_.empty() &&
         numbers_.empty();
}

void RecordEdit::Undo(RecordData& record) const {
  record.Folder = folderBefore_;
  record.Form = formBefore_;
  for (const TextEdit& edit : texts_)
    TextsOf(record, edit.field)[edit.slot].replace(edit.at, edit.after.size(), edit.before);
  for (const NumberEdit& edit : numbers_) SetNumber(record, edit.field, edit.slot, edit.before);
}

void RecordEdit::Redo(RecordData& record) const {
  record.Folder = folderAfter_;
  record.Form = formAfter_;
  for (const TextEdit& edit : texts_)
    TextsOf(record, edit.field)[edit.slot].replace(edit.at, edit.before.size(), edit.after);
  for (const NumberEdit& edit : numbers_) SetNumber(record, edit.field, edit.slot, edit.after);
}

std::size_t RecordEdit::Bytes() const {
  std::size_t bytes = sizeof(RecordEdit) + texts_.capacity() * sizeof(TextEdit) +
                      numbers_.capacity() * sizeof(NumberEdit);
  for (const TextEdit& edit : texts_)
    bytes += 2 * static_cast<std::size_t>(edit.before.size() + edit.after.size());
  return bytes;
}

}  // namespace orbo
