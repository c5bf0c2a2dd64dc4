// The in-memory database: form definitions, records, folders and the
// database-level settings. Every stored field here is also a field of the
// database file, with the width it has there.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "storage/code_page.h"
#include "storage/slot_list.h"

namespace orbo {

// Element types, in the order every table, file and dialog uses.
enum ElementType : int {
  kImage = 0,
  kLabel = 1,
  kText = 2,
  kButton = 3,
  kCombo = 4,
  kFlag = 5,
  kMultiline = 6,
};
inline constexpr int kElementTypeCount = 7;
// Slots per type; a form uses at most 16, so the last slot is always free.
inline constexpr int kSlotCount = 17;
inline constexpr int kMaxElementsPerType = 16;

// A record in this folder is a free slot, listed nowhere.
inline constexpr std::int16_t BufferFolder = -100;
// Parent of a folder at the top of the tree.
inline constexpr std::int16_t TopLevelParent = -1;

// Colours with the top bit set name a system colour.
inline constexpr std::int32_t kSystemWindowColour = static_cast<std::int32_t>(0x80000005u);
inline constexpr std::int32_t kSystemWindowTextColour = static_cast<std::int32_t>(0x80000008u);
inline constexpr std::int32_t kSystemButtonFaceColour = static_cast<std::int32_t>(0x8000000Fu);

inline constexpr int kRecordsKind = 0;
inline constexpr int kFoldersKind = 1;
inline constexpr int kFormsKind = 2;

struct FontSpec {
  QString Name;
  std::int16_t Size = 0;
  bool Bold = false;
  bool Italic = false;

  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct ElementDef {
  QString Name;
  std::int16_t Left = 0;
  std::int16_t Top = 0;
  std::int16_t Width = 0;
  std::int16_t Height = 0;
  FontSpec Font;
  std::int16_t Border = 0;
  std::int32_t BackColor = 0;
  std::int32_t ForeColor = 0;
  bool Transparent = false;
  std::int16_t Alignment = 0;

  friend bool operator==(const ElementDef&, const ElementDef&) = default;
};

// One element of a form: its type and slot. The file keeps a form's title
// element as one 16-bit code, type * 1000 + slot; a code naming nothing is
// kept as it is until the rules repair it.
struct ElementRef {
  int type = kImage;
  int slot = 0;

  static constexpr ElementRef FromCode(int code) { return {code / 1000, code % 1000}; }
  constexpr std::int16_t Code() const { return static_cast<std::int16_t>(type * 1000 + slot); }
  friend bool operator==(const ElementRef&, const ElementRef&) = default;
};

// A form's slots of one type, or a record's values of one kind.
template <typename T>
using PerSlot = SlotList<T, kSlotCount>;

struct FormDef {
  QString Name;
  QString Icon;
  std::int16_t Width = 0;
  std::int16_t Height = 0;
  std::array<std::int16_t, kElementTypeCount> ElementCount{};
  std::int32_t BackColor = 0;
  std::int16_t Border = 0;
  // The element whose value titles a record.
  ElementRef TitleElement;
  std::int32_t PrintOffsetX = 0;
  std::int32_t PrintOffsetY = 0;
  std::int16_t Shadow = 0;
  std::array<PerSlot<ElementDef>, kElementTypeCount> Elements{};

  // Properties of one type, held beside its slots.
  PerSlot<std::int16_t> DblClickAction{};
  PerSlot<std::int16_t> ImageSize{};
  PerSlot<QString> ToolTip;
  PerSlot<std::int16_t> QuickEnter{};
  PerSlot<std::int16_t> PasswordField{};
  PerSlot<std::int16_t> ButtonAction{};
  PerSlot<QString> ComboList;
  PerSlot<std::int16_t> FlagAppearance{};
  PerSlot<std::int16_t> FlagAtRight{};
  PerSlot<std::int16_t> TextLimit{};

  friend bool operator==(const FormDef&, const FormDef&) = default;
};

struct RecordData {
  std::int16_t Folder = 0;
  std::int16_t Form = 0;
  PerSlot<QString> TextValue;
  PerSlot<QString> ImageValue;
  PerSlot<QString> ButtonValue;
  PerSlot<std::int16_t> ComboValue{};
  PerSlot<bool> FlagValue{};
  PerSlot<QString> MemoValue;

  friend bool operator==(const RecordData&, const RecordData&) = default;
};

struct FolderDef {
  std::int16_t Parent = TopLevelParent;
  QString Name;
  QString Icon;
  std::int16_t FolderReserved = 0;

  friend bool operator==(const FolderDef&, const FolderDef&) = default;
};

// The tables grow but never shrink: entries above a count exist and keep
// stale contents, so code only looks up to the count.
struct Database {
  Database();

  std::int16_t FormCount = 0;
  std::vector<FormDef> Forms;
  std::int16_t RecordCount = 0;
  std::vector<RecordData> Records;
  std::vector<bool> RecordMarks;
  std::int16_t FolderCount = 0;
  std::vector<FolderDef> Folders;
  std::int16_t BufferCount = 0;

  QString DatabasePath = QStringLiteral("noname");
  // The code page of its texts in its file: the one it was read or made
  // with, kept until it is closed, whatever language is chosen meanwhile.
  // Not stored in the file, which does not say.
  QString CodePageName = QString::fromLatin1(kDefaultCodePage);
  bool PasswordOn = false;
  QString Password;
  // Saved as an encrypted file, sealed with Password; only while PasswordOn.
  bool Encrypted = false;
  bool Modified = false;
  std::int16_t SplitterPos = 2500;
  std::int16_t MaxListString = 20;
  std::int16_t DbReserved = 0;
  FontSpec DatabaseFont;
};

// Makes room (see GrowTable) and sets the count of records (kind 0),
// folders (1) or forms (2).
void SetCount(Database& db, int kind, std::int16_t count);

// Resets the database state for a new, empty database; forms are left to
// the caller.
void ClearDatabase(Database& db, const FontSpec& defaultFont);

// Recomputes BufferCount from the records in use.
void RecountBuffers(Database& db);

inline bool IsFolderIndex(const Database& db, int index) {
  return index >= 0 && index < db.FolderCount;
}

// Saved sealed, not merely scrambled: Encrypted counts only while PasswordOn.
inline bool IsEncrypted(const Database& db) { return db.PasswordOn && db.Encrypted; }

}  // namespace orbo
