// How a record that was there before and after a change changed: its
// folder and form and only the values that differ, and of a text only the
// middle that differs, what both versions begin and end with left out. A
// word typed into a long text keeps the word, not the text.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "storage/database_model.h"
#include "storage/record_fields.h"

namespace orbo {

class RecordEdit {
 public:
  RecordEdit(const RecordData& before, const RecordData& after);

  bool Empty() const;
  // record as the change left it: back to before.
  void Undo(RecordData& record) const;
  // record as the change found it: on to after.
  void Redo(RecordData& record) const;
  std::size_t Bytes() const;

 private:
  struct TextEdit {
    record_fields::Field field;
    std::uint8_t slot;
    // Where the two versions part; the middles that differ follow.
    qsizetype at;
    QString before;
    QString after;
  };
  struct NumberEdit {
    record_fields::Field field;
    std::uint8_t slot;
    std::int16_t before;
    std::int16_t after;
  };

  std::int16_t folderBefore_;
  std::int16_t folderAfter_;
  std::int16_t formBefore_;
  std::int16_t formAfter_;
  std::vector<TextEdit> texts_;
  std::vector<NumberEdit> numbers_;
};

}  // namespace orbo
