// What one change did to the model, kept small enough for an undo stack:
// the table entries it changed, before and after, with the counts, the
// marks and the database settings around them. A delta is taken by naming
// what a change may touch (its scope) before it runs and comparing after;
// only entries that really changed are kept. A record that came or went
// with the count is kept whole, packed to its non-empty values; one that
// was there before and after keeps only what changed (a RecordEdit). The
// password is kept only by a change that changed it.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "storage/database_model.h"
#include "storage/record_edit.h"
#include "storage/secret_text.h"

namespace orbo {

// Which entries of one table a change may touch: some, or every entry
// below the count (before and after the change).
struct IndexScope {
  bool all = false;
  std::vector<int> indices;

  static IndexScope All() { return {true, {}}; }
  static IndexScope Of(std::vector<int> indices) { return {false, std::move(indices)}; }
};

struct ChangeScope {
  IndexScope records;
  IndexScope folders;
  IndexScope forms;
  // The database's password, which only the protection's own change sets.
  bool password = false;

  static ChangeScope Everything() {
    return {IndexScope::All(), IndexScope::All(), IndexScope::All(), true};
  }
  static ChangeScope Protection() { return {{}, {}, {}, true}; }
  static ChangeScope Records(std::vector<int> indices) {
    return {IndexScope::Of(std::move(indices)), {}, {}};
  }
  static ChangeScope Folders(std::vector<int> indices) {
    return {{}, IndexScope::Of(std::move(indices)), {}};
  }
  static ChangeScope Forms(std::vector<int> indices) {
    return {{}, {}, IndexScope::Of(std::move(indices))};
  }
};

// A record with only its non-empty values, for records kept on the stack.
class PackedRecord {
 public:
  PackedRecord() = default;
  explicit PackedRecord(const RecordData& record);
  RecordData Unpack() const;
  bool Equals(const RecordData& record) const;
  std::size_t Bytes() const;

 private:
  struct Value {
    std::uint8_t field;
    std::uint8_t slot;
    std::int16_t number;
    QString text;
  };
  std::int16_t folder_ = 0;
  std::int16_t form_ = 0;
  std::vector<Value> values_;
};

// The model's fields outside its tables that a command may change, but the
// password: a step records that protection changed, never the password.
struct ModelSettings {
  std::int16_t FormCount = 0;
  std::int16_t RecordCount = 0;
  std::int16_t FolderCount = 0;
  std::int16_t BufferCount = 0;
  bool PasswordOn = false;
  bool Encrypted = false;
  std::int16_t SplitterPos = 0;
  std::int16_t MaxListString = 0;
  std::int16_t DbReserved = 0;
  FontSpec DatabaseFont;

  static ModelSettings Of(const Database& db);
  void ApplyTo(Database& db) const;
  friend bool operator==(const ModelSettings&, const ModelSettings&) = default;
};

// Which parts of the model a delta changed, so the views know what to show again.
struct ChangedParts {
  bool records = false;
  bool folders = false;
  bool forms = false;
  bool marks = false;
  bool settings = false;
  std::vector<int> recordIndices;
  std::vector<int> folderIndices;
  std::vector<int> formIndices;
  std::vector<int> markIndices;
  // The length lists cut their entries at changed: every entry reads anew.
  bool listLength = false;
  // False when a step knows that entries changed but not all of which:
  // the views show everything again then.
  bool indicesComplete = true;

  bool Any() const { return records || folders || forms || marks || settings; }
};

// An entry a change changed, as it was and is; none where it was above the
// count.
template <typename Entry>
struct EntryChange {
  int index = 0;
  std::optional<Entry> before;
  std::optional<Entry> after;
};

// A record that came or went with the count is kept whole; one that was
// there before and after, as its edit only.
struct RecordChange : EntryChange<PackedRecord> {
  std::optional<RecordEdit> edit;
};

class ModelDelta {
 public:
  // Takes what scope names, and the rest the delta always keeps, as it is
  // before the change.
  ModelDelta(const Database& db, const ChangeScope& scope);

  // After the change: keeps what differs from before. False when nothing did.
  bool Finish(const Database& db);

  void Undo(Database& db) const;
  void Redo(Database& db) const;

  // A later delta of the same model folded in, with now the model as later
  // left it: the result goes from this one's before to the later one's after.
  void Absorb(const ModelDelta& later, const Database& now);

  ChangedParts Parts() const;
  std::size_t Bytes() const;

 private:
  template <typename Stored, typename Changed>
  struct Table {
    IndexScope scope;
    std::vector<std::pair<int, Stored>> taken;  // before the change
    std::vector<Changed> changes;
  };

  Table<PackedRecord, RecordChange> records_;
  Table<FolderDef, EntryChange<FolderDef>> folders_;
  Table<FormDef, EntryChange<FormDef>> forms_;
  std::vector<bool> marksBefore_;
  std::vector<bool> marksAfter_;
  bool marksChanged_ = false;
  ModelSettings settingsBefore_;
  ModelSettings settingsAfter_;
  // Taken before a change whose scope names the password; kept, with the
  // password after, only when the change changed it.
  std::optional<SecretText> passwordBefore_;
  std::optional<SecretText> passwordAfter_;
  bool finished_ = false;
};

}  // namespace orbo
