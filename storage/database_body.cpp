#include "storage/database_body.h"

#include "storage/database_checks.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

namespace orbo {
namespace {

// Fewest body bytes a record (form and folder), a folder (two empty texts
// and two integers) and a form take: the form's own fields, then one slot
// of each element type (36 bytes with empty texts) and the 24 bytes of
// their type's own fields.
constexpr qint64 kMinRecordBytes = 4;
constexpr qint64 kMinFolderBytes = 12;
constexpr qint64 kMinFormBytes = 44 + kElementTypeCount * 36 + 24;

void WriteElement(const FormDef& form, int t, int k, StreamWriter& out) {
  const ElementDef& e = form.Elements[t][k];
  out.WriteInt(e.Height);
  out.WriteInt(e.Width);
  out.WriteInt(e.Left);
  out.WriteInt(e.Top);
  out.WriteStr(e.Name);
  out.WriteInt(e.Border);
  out.WriteLong(e.ForeColor);
  out.WriteLong(e.BackColor);
  out.WriteFlag(e.Transparent);
  out.WriteInt(e.Alignment);
  out.WriteFont(e.Font);
  switch (t) {
    case kImage:
      out.WriteInt(form.ImageSize[k]);
      out.WriteInt(form.DblClickAction[k]);
      break;
    case kLabel:
      out.WriteStr(form.ToolTip[k]);
      break;
    case kText:
      out.WriteInt(form.QuickEnter[k]);
      out.WriteInt(form.PasswordField[k]);
      break;
    case kButton:
      out.WriteInt(form.ButtonAction[k]);
      break;
    case kCombo:
      out.WriteStr(form.ComboList[k]);
      break;
    case kFlag:
      out.WriteInt(form.FlagAtRight[k]);
      out.WriteInt(form.FlagAppearance[k]);
      break;
    case kMultiline:
      out.WriteInt(form.TextLimit[k]);
      break;
  }
}

void ReadElement(FormDef& form, int t, int k, StreamReader& in) {
  ElementDef& e = form.Elements[t][k];
  e.Height = in.ReadInt();
  e.Width = in.ReadInt();
  e.Left = in.ReadInt();
  e.Top = in.ReadInt();
  e.Name = in.ReadStr();
  e.Border = in.ReadInt();
  e.ForeColor = in.ReadLong();
  e.BackColor = in.ReadLong();
  e.Transparent = in.ReadFlag();
  e.Alignment = in.ReadInt();
  e.Font = in.ReadFont();
  switch (t) {
    case kImage:
      form.ImageSize[k] = in.ReadInt();
      form.DblClickAction[k] = in.ReadInt();
      break;
    case kLabel:
      form.ToolTip[k] = in.ReadStr();
      break;
    case kText:
      form.QuickEnter[k] = in.ReadInt();
      form.PasswordField[k] = in.ReadInt();
      break;
    case kButton:
      form.ButtonAction[k] = in.ReadInt();
      break;
    case kCombo:
      form.ComboList[k] = in.ReadStr();
      break;
    case kFlag:
      form.FlagAtRight[k] = in.ReadInt();
      form.FlagAppearance[k] = in.ReadInt();
      break;
    case kMultiline:
      form.TextLimit[k] = in.ReadInt();
      break;
  }
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
  const auto& n = form.ElementCount;
  for (int k = 0; k < n[kImage]; ++k) out.WriteStr(record.ImageValue[k]);
  for (int k = 0; k < n[kText]; ++k) out.WriteStr(record.TextValue[k]);
  for (int k = 0; k < n[kButton]; ++k) out.WriteStr(record.ButtonValue[k]);
  for (int k = 0; k < n[kCombo]; ++k) out.WriteInt(record.ComboValue[k]);
  for (int k = 0; k < n[kFlag]; ++k) out.WriteFlag(record.FlagValue[k]);
  for (int k = 0; k < n[kMultiline]; ++k) out.WriteStr(record.MemoValue[k]);
}

void ReadRecord(RecordData& record, int r, const Database& db, StreamReader& in) {
  record.Form = in.ReadInt();
  record.Folder = in.ReadInt();
  CheckRecordForm(db, r, record.Form);
  const auto& n = db.Forms[static_cast<std::size_t>(record.Form)].ElementCount;
  for (int k = 0; k < n[kImage]; ++k) record.ImageValue[k] = in.ReadStr();
  for (int k = 0; k < n[kText]; ++k) record.TextValue[k] = in.ReadStr();
  for (int k = 0; k < n[kButton]; ++k) record.ButtonValue[k] = in.ReadStr();
  for (int k = 0; k < n[kCombo]; ++k) record.ComboValue[k] = in.ReadInt();
  for (int k = 0; k < n[kFlag]; ++k) record.FlagValue[k] = in.ReadFlag();
  for (int k = 0; k < n[kMultiline]; ++k) record.MemoValue[k] = in.ReadStr();
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
