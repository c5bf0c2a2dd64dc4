#include "storage/model_delta.h"

#include <algorithm>

#include "storage/record_fields.h"

namespace orbo {
namespace {

using namespace record_fields;

// What a table keeps of an entry, and how it is compared and put back.
PackedRecord Keep(const RecordData& record) { return PackedRecord(record); }
const FolderDef& Keep(const FolderDef& folder) { return folder; }
const FormDef& Keep(const FormDef& form) { return form; }
bool Same(const PackedRecord& kept, const RecordData& record) { return kept.Equals(record); }
template <typename Entry>
bool Same(const Entry& kept, const Entry& entry) {
  return kept == entry;
}
const FolderDef& Restore(const FolderDef& kept) { return kept; }
const FormDef& Restore(const FormDef& kept) { return kept; }
std::size_t BytesOf(const PackedRecord& kept) { return kept.Bytes(); }
std::size_t BytesOf(const FolderDef& kept) {
  return sizeof(FolderDef) + 2 * static_cast<std::size_t>(kept.Name.size() + kept.Icon.size());
}
std::size_t BytesOf(const FormDef&) { return sizeof(FormDef); }

// An entry there before and after the change: folders and forms whole, a
// record as its edit.
template <typename Entry>
void KeepBoth(EntryChange<Entry>& change, Entry&& before, const Entry& after) {
  change.before = std::move(before);
  change.after = after;
}
void KeepBoth(RecordChange& change, PackedRecord&& before, const RecordData& after) {
  change.edit.emplace(before.Unpack(), after);
}

// The indices of scope below count, in order and once each.
std::vector<int> IndicesBelow(const IndexScope& scope, int count) {
  std::vector<int> indices;
  if (scope.all) {
    indices.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) indices.push_back(i);
    return indices;
  }
  for (int i : scope.indices) {
    if (i >= 0 && i < count) indices.push_back(i);
  }
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  return indices;
}

template <typename Table, typename Entries>
void Take(Table& table, const Entries& entries, int count) {
  for (int i : IndicesBelow(table.scope, count)) {
    table.taken.emplace_back(i, Keep(entries[static_cast<std::size_t>(i)]));
  }
}

template <typename Table, typename Entries>
void Compare(Table& table, const Entries& entries, int countBefore, int countAfter) {
  const std::vector<int> indices = IndicesBelow(table.scope, std::max(countBefore, countAfter));
  auto taken = table.taken.begin();
  for (int i : indices) {
    while (taken != table.taken.end() && taken->first < i) ++taken;
    const bool hadBefore = taken != table.taken.end() && taken->first == i;
    const bool hasAfter = i < countAfter;
    const auto& now = entries[static_cast<std::size_t>(i)];
    if (hadBefore && hasAfter && Same(taken->second, now)) continue;
    if (!hadBefore && !hasAfter) continue;
    auto& change = table.changes.emplace_back();
    change.index = i;
    if (hadBefore && hasAfter) {
      KeepBoth(change, std::move(taken->second), now);
    } else if (hadBefore) {
      change.before = std::move(taken->second);
    } else {
      change.after = Keep(now);
    }
  }
  table.taken.clear();
  table.taken.shrink_to_fit();
}

template <typename Entry, typename Entries>
void Put(const std::vector<EntryChange<Entry>>& changes, Entries& entries, bool after) {
  for (const auto& change : changes) {
    const auto& kept = after ? change.after : change.before;
    if (kept) entries[static_cast<std::size_t>(change.index)] = Restore(*kept);
  }
}

template <typename Records>
void Put(const std::vector<RecordChange>& changes, Records& records, bool after) {
  for (const RecordChange& change : changes) {
    RecordData& record = records[static_cast<std::size_t>(change.index)];
    if (change.edit && after) {
      change.edit->Redo(record);
    } else if (change.edit) {
      change.edit->Undo(record);
    } else if (const auto& kept = after ? change.after : change.before) {
      record = kept->Unpack();
    }
  }
}

template <typename Changes>
void Fold(Changes& into, const Changes& later) {
  for (const auto& change : later) {
    auto at = std::find_if(into.begin(), into.end(),
                           [&](const auto& c) { return c.index == change.index; });
    if (at == into.end()) {
      into.push_back(change);
    } else {
      at->after = change.after;
    }
  }
}

// The record as it was before change, given it as change left it.
std::optional<RecordData> RecordBefore(const RecordChange& change,
                                       std::optional<RecordData> after) {
  if (change.edit) {
    if (after) change.edit->Undo(*after);
    return after;
  }
  if (change.before) return change.before->Unpack();
  return std::nullopt;
}

const RecordChange* ChangeAt(const std::vector<RecordChange>& changes, int index) {
  auto at = std::find_if(changes.begin(), changes.end(),
                         [index](const RecordChange& c) { return c.index == index; });
  return at == changes.end() ? nullptr : &*at;
}

// Records changed by either delta go from the first one's before to the
// later one's after, found from the model as the later one left it: the
// edits of a text, typed at both of its ends, could not be joined without
// the text between them.
void FoldRecords(std::vector<RecordChange>& into, const std::vector<RecordChange>& later,
                 const Database& now) {
  std::vector<int> indices;
  for (const RecordChange& change : into) indices.push_back(change.index);
  for (const RecordChange& change : later) indices.push_back(change.index);
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  std::vector<RecordChange> folded;
  for (int i : indices) {
    std::optional<RecordData> after;
    if (i < now.RecordCount) after = now.Records[static_cast<std::size_t>(i)];
    std::optional<RecordData> before = after;
    if (const RecordChange* second = ChangeAt(later, i))
      before = RecordBefore(*second, std::move(before));
    if (const RecordChange* first = ChangeAt(into, i))
      before = RecordBefore(*first, std::move(before));
    if (!before && !after) continue;
    RecordChange change;
    change.index = i;
    if (before && after) {
      change.edit.emplace(*before, *after);
      if (change.edit->Empty()) continue;
    } else if (before) {
      change.before = PackedRecord(*before);
    } else {
      change.after = PackedRecord(*after);
    }
    folded.push_back(std::move(change));
  }
  into = std::move(folded);
}

template <typename Changes>
std::vector<int> IndicesOf(const Changes& changes) {
  std::vector<int> indices;
  for (const auto& change : changes) indices.push_back(change.index);
  return indices;
}

template <typename Entry>
std::size_t BytesOfChange(const EntryChange<Entry>& change) {
  return (change.before ? BytesOf(*change.before) : 0) +
         (change.after ? BytesOf(*change.after) : 0);
}
std::size_t BytesOfChange(const RecordChange& change) {
  return BytesOfChange<PackedRecord>(change) + (change.edit ? change.edit->Bytes() : 0);
}

template <typename Changes>
std::size_t BytesOfChanges(const Changes& changes) {
  std::size_t bytes = changes.capacity() * sizeof(changes.front());
  for (const auto& change : changes) bytes += BytesOfChange(change);
  return bytes;
}

std::vector<bool> MarksOf(const Database& db) {
  const auto count = static_cast<std::ptrdiff_t>(std::max<int>(db.RecordCount, 0));
  return std::vector<bool>(db.RecordMarks.begin(), db.RecordMarks.begin() + count);
}

void PutMarks(Database& db, const std::vector<bool>& marks) {
  std::copy(marks.begin(), marks.end(), db.RecordMarks.begin());
}

}  // namespace

PackedRecord::PackedRecord(const RecordData& record) : folder_(record.Folder), form_(record.Form) {
  for (Field field : kTextFields) {
    const PerSlot<QString>& texts = TextsOf(record, field);
    for (std::uint8_t slot = 0; slot < kSlotCount; ++slot) {
      if (!texts[slot].isEmpty()) values_.push_back({field, slot, 0, texts[slot]});
    }
  }
  for (std::uint8_t slot = 0; slot < kSlotCount; ++slot) {
    if (record.ComboValue[slot] != 0)
      values_.push_back({kComboField, slot, record.ComboValue[slot], {}});
    if (record.FlagValue[slot]) values_.push_back({kFlagField, slot, 1, {}});
  }
  values_.shrink_to_fit();
}

RecordData PackedRecord::Unpack() const {
  RecordData record;
  record.Folder = folder_;
  record.Form = form_;
  for (const Value& value : values_) {
    if (value.field == kComboField) {
      record.ComboValue[value.slot] = value.number;
    } else if (value.field == kFlagField) {
      record.FlagValue[value.slot] = true;
    } else {
      TextsOf(record, static_cast<Field>(value.field))[value.slot] = value.text;
    }
  }
  return record;
}

bool PackedRecord::Equals(const RecordData& record) const {
  if (record.Folder != folder_ || record.Form != form_) return false;
  // Counting the record's non-default values tells a value the packed
  // record lacks; every value it holds is then compared.
  std::size_t present = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    for (Field field : kTextFields) present += TextsOf(record, field)[slot].isEmpty() ? 0 : 1;
    present += (record.ComboValue[slot] != 0 ? 1 : 0) + (record.FlagValue[slot] ? 1 : 0);
  }
  if (present != values_.size()) return false;
  for (const Value& value : values_) {
    if (value.field == kComboField) {
      if (record.ComboValue[value.slot] != value.number) return false;
    } else if (value.field == kFlagField) {
      if (!record.FlagValue[value.slot]) return false;
    } else {
      const QString& text = TextsOf(record, static_cast<Field>(value.field))[value.slot];
      if (text != value.text) return false;
    }
  }
  return true;
}

std::size_t PackedRecord::Bytes() const {
  std::size_t bytes = sizeof(PackedRecord) + values_.capacity() * sizeof(Value);
  for (const Value& value : values_) bytes += 2 * static_cast<std::size_t>(value.text.size());
  return bytes;
}

ModelSettings ModelSettings::Of(const Database& db) {
  return {db.FormCount, db.RecordCount, db.FolderCount,   db.BufferCount, db.PasswordOn,
          db.Encrypted, db.SplitterPos, db.MaxListString, db.DbReserved,  db.DatabaseFont};
}

void ModelSettings::ApplyTo(Database& db) const {
  SetCount(db, kFormsKind, FormCount);
  SetCount(db, kRecordsKind, RecordCount);
  SetCount(db, kFoldersKind, FolderCount);
  db.BufferCount = BufferCount;
  db.PasswordOn = PasswordOn;
  db.Encrypted = Encrypted;
  db.SplitterPos = SplitterPos;
  db.MaxListString = MaxListString;
  db.DbReserved = DbReserved;
  db.DatabaseFont = DatabaseFont;
}

ModelDelta::ModelDelta(const Database& db, const ChangeScope& scope)
    : marksBefore_(MarksOf(db)), settingsBefore_(ModelSettings::Of(db)) {
  records_.scope = scope.records;
  folders_.scope = scope.folders;
  forms_.scope = scope.forms;
  Take(records_, db.Records, db.RecordCount);
  Take(folders_, db.Folders, db.FolderCount);
  Take(forms_, db.Forms, db.FormCount);
  if (scope.password) passwordBefore_.emplace(db.Password);
}

bool ModelDelta::Finish(const Database& db) {
  finished_ = true;
  settingsAfter_ = ModelSettings::Of(db);
  Compare(records_, db.Records, settingsBefore_.RecordCount, db.RecordCount);
  Compare(folders_, db.Folders, settingsBefore_.FolderCount, db.FolderCount);
  Compare(forms_, db.Forms, settingsBefore_.FormCount, db.FormCount);
  std::vector<bool> marks = MarksOf(db);
  marksChanged_ = marks != marksBefore_;
  if (marksChanged_) {
    marksAfter_ = std::move(marks);
  } else {
    marksBefore_.clear();
    marksBefore_.shrink_to_fit();
  }
  if (passwordBefore_ && passwordBefore_->Holds(db.Password)) {
    passwordBefore_.reset();
  } else if (passwordBefore_) {
    passwordAfter_.emplace(db.Password);
  }
  return Parts().Any();
}

void ModelDelta::Undo(Database& db) const {
  settingsBefore_.ApplyTo(db);
  Put(records_.changes, db.Records, false);
  Put(folders_.changes, db.Folders, false);
  Put(forms_.changes, db.Forms, false);
  if (marksChanged_) PutMarks(db, marksBefore_);
  if (passwordAfter_) passwordBefore_->PutInto(db.Password);
}

void ModelDelta::Redo(Database& db) const {
  settingsAfter_.ApplyTo(db);
  Put(records_.changes, db.Records, true);
  Put(folders_.changes, db.Folders, true);
  Put(forms_.changes, db.Forms, true);
  if (marksChanged_) PutMarks(db, marksAfter_);
  if (passwordAfter_) passwordAfter_->PutInto(db.Password);
}

void ModelDelta::Absorb(const ModelDelta& later, const Database& now) {
  FoldRecords(records_.changes, later.records_.changes, now);
  Fold(folders_.changes, later.folders_.changes);
  Fold(forms_.changes, later.forms_.changes);
  if (later.marksChanged_) {
    if (!marksChanged_) marksBefore_ = later.marksBefore_;
    marksAfter_ = later.marksAfter_;
    marksChanged_ = true;
  }
  settingsAfter_ = later.settingsAfter_;
  if (later.passwordAfter_) {
    if (!passwordAfter_) passwordBefore_ = later.passwordBefore_;
    passwordAfter_ = later.passwordAfter_;
  }
}

ChangedParts ModelDelta::Parts() const {
  ChangedParts parts;
  parts.recordIndices = IndicesOf(records_.changes);
  parts.folderIndices = IndicesOf(folders_.changes);
  parts.formIndices = IndicesOf(forms_.changes);
  parts.records =
      !parts.recordIndices.empty() || settingsBefore_.RecordCount != settingsAfter_.RecordCount;
  parts.folders =
      !parts.folderIndices.empty() || settingsBefore_.FolderCount != settingsAfter_.FolderCount;
  parts.forms = !parts.formIndices.empty() || settingsBefore_.FormCount != settingsAfter_.FormCount;
  parts.marks = marksChanged_;
  if (marksChanged_) {
    const std::size_t common = std::min(marksBefore_.size(), marksAfter_.size());
    for (std::size_t r = 0; r < common; ++r)
      if (marksBefore_[r] != marksAfter_[r]) parts.markIndices.push_back(static_cast<int>(r));
  }
  parts.settings = !(settingsBefore_ == settingsAfter_) || passwordAfter_.has_value();
  parts.listLength = settingsBefore_.MaxListString != settingsAfter_.MaxListString;
  return parts;
}

std::size_t ModelDelta::Bytes() const {
  return sizeof(ModelDelta) + BytesOfChanges(records_.changes) + BytesOfChanges(folders_.changes) +
         BytesOfChanges(forms_.changes) + (marksBefore_.capacity() + marksAfter_.capacity()) / 8 +
         (passwordBefore_ ? passwordBefore_->Bytes() : 0) +
         (passwordAfter_ ? passwordAfter_->Bytes() : 0);
}

}  // namespace orbo
