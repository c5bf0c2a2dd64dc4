#include "storage/new_database.h"

#include "storage/model_defaults.h"

namespace orbo {

void NewDatabase(Database& db, const FontSpec& defaultFont, const WelcomeWords& words,
                 const NewNames& names) {
  ClearDatabase(db, defaultFont);

  SetCount(db, kFoldersKind, 1);
  ApplyNewFolderDefaults(db.Folders[0], 0);

  SetCount(db, kRecordsKind, 1);
  db.Records[0] = RecordData{};

  SetCount(db, kFormsKind, 1);
  FormDef& form = db.Forms[0];
  ApplyNewFormDefaults(form, 0, defaultFont, names);
  // Wide and tall enough that the big title and the note at the bottom
  // show whole at the default font, with room to spare for larger ones.
  form.Width = 7400;
  form.Height = 4800;

  form.ElementCount[kMultiline] = 1;
  ApplyNewElementDefaults(form, kMultiline, 0, defaultFont, names);
  ElementDef& memo = form.Elements[kMultiline][0];
  memo.Left = 600;
  memo.Top = 1000;
  memo.Width = 6200;
  memo.Height = 3000;
  memo.Border = 1;
  memo.BackColor = Rgb(246, 246, 255);

  ElementDef& heading = form.Elements[kText][0];
  heading.Left = 300;
  heading.Top = 250;
  heading.Width = 6800;
  heading.Height = 560;
  heading.Border = 0;
  heading.Font.Bold = true;
  heading.Font.Size = 16;
  heading.ForeColor = Rgb(0, 0, 100);

  RecordData& record = db.Records[0];
  record.TextValue[0] = words.heading;
  record.MemoValue[0] = words.paragraphs.join(QStringLiteral("\r\n\r\n"));

  form.ElementCount[kLabel] = 1;
  ApplyNewElementDefaults(form, kLabel, 0, defaultFont, names);
  ElementDef& label = form.Elements[kLabel][0];
  label.Left = 600;
  label.Top = 4200;
  label.Width = 6200;
  label.Height = 300;
  label.Alignment = 1;
  label.Name = words.formNote;

  db.Folders[0].Name = words.folder;
  std::fill(db.RecordMarks.begin(), db.RecordMarks.end(), false);
  RecountBuffers(db);
}

}  // namespace orbo
