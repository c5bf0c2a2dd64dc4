// Finding text in the field values of records, without widgets: the scope
// tests, the value of each field type, the whole-word rule and the lines of
// the result log.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "storage/database_model.h"

namespace orbo {

// The field types find can look at, in the order the type list offers them
// and "any type" tries them.
inline constexpr int kFindFieldTypes[] = {kText, kImage, kCombo, kFlag, kButton, kMultiline};
inline constexpr int kFindFieldTypeCount = 6;

struct FindSettings {
  QString text;  // for flags "0" or "1"
  bool matchCase = false;
  bool wholeWord = false;
  int direction = 1;   // +1 down, -1 up
  int form = -1;       // -1: every form
  int fieldType = -1;  // index into kFindFieldTypes; -1: any type
  int field = -1;      // slot among the form's elements of that type; -1: all
  int folder = -1;     // -1: every folder
  bool subfolders = false;
};

// 1-based position of the first occurrence of text in value, or 0. With
// wholeWord only that first occurrence counts, and only between separators.
int FindPosition(const QString& value, const QString& text, bool matchCase, bool wholeWord);

// What find compares for one element of a record.
QString FindFieldValue(const Database& db, int record, int elementType, int slot);

// The part of value from ten characters before position to ten after it.
QString HitContext(const QString& value, int position);

struct FindHit {
  int record = -1;
  int elementType = 0;
  int slot = 0;
  int position = 0;  // 1-based, in the field's value
};

// Which folders the settings search, decided once for the whole table.
class FolderScope {
 public:
  FolderScope(const Database& db, int folder, bool subfolders);
  bool Contains(int folder) const;

 private:
  bool all_ = true;
  std::vector<char> inScope_;
};

// The first record from start in settings.direction whose chosen fields
// hold the text; free slots are never found.
std::optional<FindHit> SearchRecords(const Database& db, const FindSettings& settings, int start);

}  // namespace orbo
