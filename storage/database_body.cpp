#include "storage/database_body.h"

#include "storage/database_checks.h"
#include "storage/field_table.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

namespace orbo {
namespace {

// Fewest body bytes a value takes: texts (a font's name too) as an empty
// count.
template <typename T>
constexpr qint64 kMinBytesOf = 2;  // 16-bit integers and flags
template <>
constexpr qint64 kMinBytesOf<std::int32_t> = 4;
template <>
constexpr qint64 kMinBytesOf<QString> = 4;
template <>
constexpr qint64 kMinBytesOf<FontSpec> = 4 + 2 + 2 + 2;

// Fewest body bytes a record (form and folder), a folder (two empty texts
// and two integers) and a form take: the form's own fields, then one slot
// of each element type.
constexpr qint64 kMinRecordBytes = 4;
constexpr qint64 kMinFolderBytes = 12;
constexpr qint64 kMinFormBytes = [] {
  qint64 bytes = 44;
  for (const ElementField& field : kElementFields) {
    const qint64 copies = field.type == kEveryType ? kElementTypeCount : 1;
    bytes +=
        copies * std::visit([](auto member) { return kMinBytesOf<ElementValue<decltype(member)>>; },
                            field.member);
  }
  return bytes;
}();

void Write(StreamWriter& out, std::int16_t v) { out.WriteInt(v); }
void Write(StreamWriter& out, std::int32_t v) { out.WriteLong(v); }
void Write(StreamWriter& out, bool v) { out.WriteFlag(v); }
void Write(StreamWriter& out, const QString& v) { out.WriteStr(v); }
void Write(StreamWriter& out, const FontSpec& v) { out.WriteFont(v); }

void Read(StreamReader& in, std::int16_t& v) { v = in.ReadInt(); }
void Read(StreamReader& in, std::int32_t& v) { v = in.ReadLong(); }
void Read(StreamReader& in, bool& v) { v = in.ReadFlag(); }
void Read(StreamReader& in, QString& v) { v = in.ReadStr(); }
void Read(StreamReader& in, FontSpec& v) { v = in.ReadFont(); }

void WriteElement(const FormDef& form, int t, int k, StreamWriter& out) {
  ForEachElementField(form, t, k, [&out](const ElementField&, const auto& v) { Write(out, v); });
}

void ReadElement(FormDef& form, int t, int k, StreamReader& in) {
  ForEachElementField(form, t, k, [&in](const ElementField&, auto& v) { Read(in, v); });
}

// A slot that holds what a never written one reads as takes no memory: a
// form of few elements, or a record of few values, stays small.
void DropUnwrittenSlots(FormDef& form) {
  for (auto& ofType : form.Elements) ofType.DropUnwritten();
  for (const ElementField& field : kElementFields) {
    std::visit(
        [&form](auto member) {
          if constexpr (requires { (form.*member).DropUnwritten(); })
            (form.*member).DropUnwritten();
        },
        field.member);
  }
}

void DropUnwrittenSlots(RecordData& record) {
  ForEachRecordField(record, [](const RecordField&, auto& values) { values.DropUnwritten(); });
}

// A count out of range would index past the slots.
void WriteForm(const FormDef& form, int f, StreamWriter& out) {
  out.WriteInt(form.TitleElement.Code());
  out.WriteLong(form.BackColor);
  out.WriteInt(form.Border);
  out.WriteInt(form.Height);
  out.WriteStr(form.Icon);
  out.WriteStr(form.Name);
  out.WriteInt(form.Width);
  out.WriteLong(form.PrintOffsetX);
  out.WriteLong(form.PrintOffsetY);
  out.WriteInt(form.Shadow);
  for (int t = 0; t < kElementTypeCount; ++t) {
    CheckElementCount(form.ElementCount[t], f, t);
    out.WriteInt(form.ElementCount[t]);
  }
  // Each type stores its used slots and the first free one.
  for (int t = 0; t < kElementTypeCount; ++t) {
    for (int k = 0; k <= form.ElementCount[t]; ++k) WriteElement(form, t, k, out);
  }
}

// Element counts are checked as they arrive: they decide how many slots
// follow.
void ReadForm(FormDef& form, int f, StreamReader& in) {
  form.TitleElement = ElementRef::FromCode(in.ReadInt());
  form.BackColor = in.ReadLong();
  form.Border = in.ReadInt();
  form.Height = in.ReadInt();
  form.Icon = in.ReadStr();
  form.Name = in.ReadStr();
  form.Width = in.ReadInt();
  form.PrintOffsetX = in.ReadLong();
  form.PrintOffsetY = in.ReadLong();
  form.Shadow = in.ReadInt();
  for (int t = 0; t < kElementTypeCount; ++t) {
    form.ElementCount[t] = in.ReadInt();
    CheckElementCount(form.ElementCount[t], f, t);
  }
  for (int t = 0; t < kElementTypeCount; ++t) {
    for (int k = 0; k <= form.ElementCount[t]; ++k) ReadElement(form, t, k, in);
  }
  DropUnwrittenSlots(form);
}

void WriteSettings(const Database& db, StreamWriter& out) {
  out.WriteInt(db.SplitterPos);
  out.WriteInt(db.MaxListString);
  out.WriteInt(db.DbReserved);
  out.WriteFont(db.DatabaseFont);
}

void ReadSettings(Database& db, StreamReader& in) {
  db.SplitterPos = in.ReadInt();
  db.MaxListString = in.ReadInt();
  db.DbReserved = in.ReadInt();
  db.DatabaseFont = in.ReadFont();
}

void WriteRecord(const RecordData& record, const FormDef& form, StreamWriter& out) {
  out.WriteInt(record.Form);
  out.WriteInt(record.Folder);
  ForEachRecordField(record, [&](const RecordField& field, const auto& values) {
    for (int k = 0; k < form.ElementCount[field.type]; ++k) Write(out, values[k]);
  });
}

void ReadRecord(RecordData& record, int r, const Database& db, StreamReader& in) {
  record.Form = in.ReadInt();
  record.Folder = in.ReadInt();
  CheckRecordForm(db, r, record.Form);
  const auto& n = db.Forms[static_cast<std::size_t>(record.Form)].ElementCount;
  ForEachRecordField(record, [&](const RecordField& field, auto& values) {
    for (int k = 0; k < n[field.type]; ++k) Read(in, values[k]);
  });
  DropUnwrittenSlots(record);
}

void WriteFolder(const FolderDef& folder, StreamWriter& out) {
  out.WriteStr(folder.Name);
  out.WriteInt(folder.Parent);
  out.WriteStr(folder.Icon);
  out.WriteInt(folder.FolderReserved);
}

void ReadFolder(FolderDef& folder, StreamReader& in) {
  folder.Name = in.ReadStr();
  folder.Parent = in.ReadInt();
  folder.Icon = in.ReadStr();
  folder.FolderReserved = in.ReadInt();
}

// A read past the end or a malformed string record leaves the values
// unread; stop at the first. place (with index, when not -1) says where.
void CheckStream(const char* place, int index = -1) {
  const stream::InputState state = stream::QueryInputState();
  if (!state.pastEnd && !state.failed) return;
  QString where = QLatin1String(place);
  if (index >= 0) where += QLatin1Char(' ') + QString::number(index);
  if (state.pastEnd) throw StorageError(QStringLiteral("the file ends inside %1").arg(where));
  throw StorageError(QStringLiteral("the file is damaged in %1").arg(where));
}

}  // namespace

void WriteDatabaseBody(const Database& db, StreamWriter& out, const RecordProgress& progress) {
  out.WriteInt(db.FormCount);
  for (int f = 0; f < db.FormCount; ++f) WriteForm(db.Forms[static_cast<std::size_t>(f)], f, out);
  WriteSettings(db, out);
  out.WriteInt(db.RecordCount);
  out.WriteInt(db.FolderCount);
  RecordProgress records = progress;
  records.SetRunLength(db.RecordCount);
  for (int r = 0; r < db.RecordCount; ++r) {
    records.AtRecord(r);
    const RecordData& record = db.Records[static_cast<std::size_t>(r)];
    CheckRecordForm(db, r, record.Form);
    WriteRecord(record, db.Forms[static_cast<std::size_t>(record.Form)], out);
  }
  records.End();
  for (int d = 0; d < db.FolderCount; ++d)
    WriteFolder(db.Folders[static_cast<std::size_t>(d)], out);
}

Database ReadDatabaseBody(StreamReader& in, const RecordProgress& progress) {
  Database db;
  const std::int16_t formCount = in.ReadInt();
  CheckStream("the form count");
  CheckCount(formCount, QStringLiteral("form"));
  // Forms are large (about 10 kB each in memory): room for them is taken
  // only when the file has the bytes they need, so a damaged count cannot
  // make the read reserve what the file does not back, and they are read in
  // place, never held twice.
  if (formCount * kMinFormBytes > stream::UnreadBytes()) {
    throw StorageError(QStringLiteral("the file ends before its %1 forms").arg(formCount));
  }
  SetCount(db, kFormsKind, formCount);
  for (int f = 0; f < formCount; ++f) {
    ReadForm(db.Forms[static_cast<std::size_t>(f)], f, in);
    CheckStream("form", f);
  }

  ReadSettings(db, in);
  const std::int16_t recordCount = in.ReadInt();
  const std::int16_t folderCount = in.ReadInt();
  CheckStream("the database settings");
  CheckCount(recordCount, QStringLiteral("record"));
  CheckCount(folderCount, QStringLiteral("folder"));
  const qint64 needed = recordCount * kMinRecordBytes + folderCount * kMinFolderBytes;
  if (needed > stream::UnreadBytes()) {
    throw StorageError(QStringLiteral("the file ends before its %1 records and %2 folders")
                           .arg(recordCount)
                           .arg(folderCount));
  }
  SetCount(db, kFoldersKind, folderCount);
  SetCount(db, kRecordsKind, recordCount);

  RecordProgress records = progress;
  records.SetRunLength(recordCount);
  for (int r = 0; r < recordCount; ++r) {
    records.AtRecord(r);
    ReadRecord(db.Records[static_cast<std::size_t>(r)], r, db, in);
    CheckStream("record", r);
  }
  records.End();
  for (int d = 0; d < folderCount; ++d) ReadFolder(db.Folders[static_cast<std::size_t>(d)], in);
  CheckStream("the folders");
  const std::int32_t unread = stream::UnreadBytes();
  if (unread > 0) {
    throw StorageError(QStringLiteral("%1 bytes follow the last folder").arg(unread));
  }
  RecountBuffers(db);
  return db;
}

}  // namespace orbo
