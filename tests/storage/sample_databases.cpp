#include "sample_databases.h"

#include <QRandomGenerator>
#include <QtDebug>
#include <iterator>

#include "storage/code_page.h"
#include "storage/database_file.h"
#include "storage/model_defaults.h"
#include "storage/navigation_logic.h"

namespace orbo::test {
namespace {

RecordData& AddRecord(Database& db, int form, int folder) {
  SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount + 1));
  RecordData& record = db.Records[static_cast<std::size_t>(db.RecordCount - 1)];
  record = RecordData();
  record.Form = static_cast<std::int16_t>(form);
  record.Folder = static_cast<std::int16_t>(folder);
  return record;
}

FolderDef& AddFolder(Database& db, const QString& name, int parent) {
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(db.FolderCount + 1));
  FolderDef& folder = db.Folders[static_cast<std::size_t>(db.FolderCount - 1)];
  ApplyNewFolderDefaults(folder, db.FolderCount - 1);
  folder.Name = name;
  folder.Parent = static_cast<std::int16_t>(parent);
  return folder;
}

FormDef& AddForm(Database& db) {
  SetCount(db, kFormsKind, static_cast<std::int16_t>(db.FormCount + 1));
  FormDef& form = db.Forms[static_cast<std::size_t>(db.FormCount - 1)];
  form = FormDef();
  ApplyNewFormDefaults(form, db.FormCount - 1, Arial());
  return form;
}

Database Cleared() {
  Database db;
  ClearDatabase(db, Arial());
  return db;
}

}  // namespace

FontSpec Arial(std::int16_t size) {
  FontSpec font;
  font.Name = QStringLiteral("Arial");
  font.Size = size;
  return font;
}

Database TinyDatabase() {
  Database db = Cleared();
  FormDef& form = AddForm(db);
  form.Name = QStringLiteral("F");
  ElementDef& title = form.Elements[kText][0];
  title.Name = QStringLiteral("T");
  title.Font.Bold = true;
  form.QuickEnter[0] = 1;
  // Values in the free slot of each type, which the file stores too.
  form.ImageSize[0] = 1;
  form.DblClickAction[0] = 2;
  form.ToolTip[0] = QStringLiteral("tip");
  form.ButtonAction[0] = 3;
  form.ComboList[0] = QStringLiteral("a\r\nb");
  form.FlagAtRight[0] = 1;
  form.FlagAppearance[0] = 0;
  form.TextLimit[0] = 7;
  db.DatabaseFont = Arial(9);
  db.DatabaseFont.Italic = true;

  AddRecord(db, 0, 0).TextValue[0] = QString::fromUtf8("Hi \u00e9");
  AddRecord(db, 0, BufferFolder);
  AddFolder(db, QStringLiteral("Root"), TopLevelParent);
  RecountBuffers(db);
  return db;
}

Database ExampleDatabase() {
  Database db = Cleared();
  AddFolder(db, QStringLiteral("Simple Folder"), TopLevelParent);
  FormDef& form = AddForm(db);
  form.ElementCount[kMultiline] = 1;
  ApplyNewElementDefaults(form, kMultiline, 0, Arial());
  form.Elements[kMultiline][0].Left = 500;
  form.Elements[kMultiline][0].Top = 1000;
  form.Elements[kMultiline][0].Width = 5000;
  form.Elements[kMultiline][0].Border = 1;
  form.Elements[kMultiline][0].BackColor = 0xFFF6F6;
  form.ElementCount[kLabel] = 1;
  ApplyNewElementDefaults(form, kLabel, 0, Arial());
  form.Elements[kLabel][0].Name = QStringLiteral("This is just a form example.");
  ElementDef& title = form.Elements[kText][0];
  title.Border = 0;
  title.Font.Bold = true;
  title.Font.Size = 16;
  title.ForeColor = 0x640000;
  RecordData& record = AddRecord(db, 0, 0);
  record.TextValue[0] = QStringLiteral("Welcome to Corvane Database!");
  record.MemoValue[0] = QStringLiteral("Press F6 to switch to edit mode.\r\n\r\nGood luck!");
  RecountBuffers(db);
  return db;
}

Database FourFolders() {
  Database db = ExampleDatabase();
  SetCount(db, kFoldersKind, 4);
  for (int k = 0; k < 4; ++k) NewFolder(db, k);
  db.Folders[1].Parent = db.Folders[2].Parent = 0;
  SetCount(db, kRecordsKind, 4);
  for (int r = 0; r < 4; ++r) {
    NewRecord(db, r);
    db.Records[r].Folder = static_cast<std::int16_t>(r == 2 ? 2 : 1);
    db.Records[r].TextValue[0] = QStringLiteral("R%1").arg(r);
  }
  RecountBuffers(db);
  return db;
}

Database FullFormDatabase() {
  Database db = Cleared();
  FormDef& form = AddForm(db);
  for (int t = 0; t < kElementTypeCount; ++t) {
    form.ElementCount[t] = kMaxElementsPerType;
    for (int k = 0; k < kSlotCount; ++k) ApplyNewElementDefaults(form, t, k, Arial(8 + k));
  }
  // Long enough for every choice below: -1 (none) up to 15.
  QStringList items;
  for (int k = 0; k < kSlotCount; ++k) items << QStringLiteral("Item %1").arg(k);
  for (int k = 0; k < kSlotCount; ++k) form.ComboList[k] = items.mid(0, k + 1).join("\r\n");
  form.TitleElement = {kMultiline, 15};
  AddForm(db).Name = QString::fromUtf8("Zw\u00f6lf \u20ac");
  AddFolder(db, QStringLiteral("Top"), TopLevelParent);
  AddFolder(db, QStringLiteral("Child"), 0);
  AddFolder(db, QString::fromUtf8("Gro\u00dfe \u00c4pfel"), 1);
  for (int r = 0; r < 5; ++r) {
    RecordData& record = AddRecord(db, r % 2, r % 3);
    for (int k = 0; k < kMaxElementsPerType; ++k) {
      const QString tag = QStringLiteral("%1/%2").arg(r).arg(k);
      record.ImageValue[k] = QStringLiteral("\\pics\\") + tag + QStringLiteral(".jpg");
      record.TextValue[k] = QStringLiteral("text ") + tag;
      record.ButtonValue[k] = QStringLiteral("http://example.org/") + tag;
      record.ComboValue[k] = static_cast<std::int16_t>(k - 1);
      record.FlagValue[k] = (r + k) % 2 == 0;
      record.MemoValue[k] = QStringLiteral("line 1\r\nline 2 ") + tag;
    }
  }
  RecountBuffers(db);
  return db;
}

Database FreeSlotDatabase() {
  Database db = ExampleDatabase();
  AddFolder(db, QStringLiteral("Second"), 0);
  for (int r = 0; r < 6; ++r) {
    RecordData& record = AddRecord(db, 0, r % 3 == 0 ? BufferFolder : r % 2);
    record.TextValue[0] = QStringLiteral("record %1").arg(r);
  }
  RecountBuffers(db);
  return db;
}

Database LargeDatabase() {
  Database db = ExampleDatabase();
  const QString filler = QString(997, QLatin1Char('x'));
  for (int r = 0; r < 2500; ++r) {
    RecordData& record = AddRecord(db, 0, 0);
    record.TextValue[0] = QStringLiteral("Record %1").arg(r);
    record.MemoValue[0] = filler + QString::number(r % 1000).rightJustified(3, QLatin1Char('0'));
  }
  AddRecord(db, 0, 0).MemoValue[0] = QString(100000, QLatin1Char('y'));
  RecountBuffers(db);
  return db;
}

namespace {

QString HostileText(QRandomGenerator& random, int pieces) {
  static const char* const kPieces[] = {"a",
                                        "Zed",
                                        " ",
                                        ",",
                                        ";",
                                        "\t",
                                        "\"",
                                        "'",
                                        "=",
                                        "+",
                                        "-",
                                        "@",
                                        "\r\n",
                                        "\n",
                                        "\r",
                                        "\xc3\xa9",
                                        "\xc3\x9f",
                                        "\xe2\x82\xac",
                                        "\\",
                                        "0",
                                        "1",
                                        "-1",
                                        "True",
                                        "no",
                                        "=HYPERLINK(\"x\")"};
  QString text;
  for (int i = 0; i < pieces; ++i)
    text += QString::fromUtf8(kPieces[random.bounded(int(std::size(kPieces)))]);
  return text;
}

// A name with no line break and no backslash, which paths and lists use.
QString HostileName(QRandomGenerator& random, int n) {
  QString name = HostileText(random, 1 + random.bounded(3));
  name.remove(u'\r').remove(u'\n').remove(u'\\');
  return name.trimmed().isEmpty() ? QStringLiteral("n") : name + QString::number(n);
}

}  // namespace

Database RandomEveryKindDatabase(quint32 seed, int records) {
  QRandomGenerator random(seed);
  Database db = Cleared();
  AddFolder(db, HostileName(random, 0), TopLevelParent);
  for (int f = 1; f < 25; ++f) {
    const int parent = random.bounded(4) == 0 ? TopLevelParent : random.bounded(f);
    AddFolder(db, HostileName(random, f), parent);
  }
  for (int f = 0; f < 3; ++f) {
    FormDef& form = AddForm(db);
    for (int type = 0; type < kElementTypeCount; ++type) {
      // A text to be the title.
      form.ElementCount[type] = static_cast<std::int16_t>(random.bounded(type == kText ? 1 : 0, 4));
      for (int slot = 0; slot < form.ElementCount[type]; ++slot) {
        ApplyNewElementDefaults(form, type, slot, Arial());
        if (type != kCombo) continue;
        QStringList lines;
        for (int line = 0, count = 1 + random.bounded(5); line < count; ++line)
          lines << HostileName(random, line);
        form.ComboList[slot] = lines.join(QStringLiteral("\r\n"));
      }
    }
  }
  for (int r = 0; r < records; ++r) {
    // The first records fill every folder.
    const int folder = r < db.FolderCount ? r : random.bounded(db.FolderCount);
    RecordData& record = AddRecord(db, random.bounded(db.FormCount), folder);
    const FormDef& form = db.Forms[static_cast<std::size_t>(record.Form)];
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const auto s = static_cast<std::size_t>(slot);
      if (slot < form.ElementCount[kText])
        record.TextValue[s] = HostileText(random, random.bounded(6));
      if (slot < form.ElementCount[kImage])
        record.ImageValue[s] = HostileText(random, random.bounded(3));
      if (slot < form.ElementCount[kButton])
        record.ButtonValue[s] = HostileText(random, random.bounded(4));
      if (slot < form.ElementCount[kMultiline])
        record.MemoValue[s] = HostileText(random, random.bounded(12));
      if (slot < form.ElementCount[kFlag]) record.FlagValue[s] = random.bounded(2) == 1;
      if (slot < form.ElementCount[kCombo]) {
        const auto lines = form.ComboList[s].count(QStringLiteral("\r\n")) + 1;
        record.ComboValue[s] = static_cast<std::int16_t>(random.bounded(-1, int(lines)));
      }
    }
  }
  RecountBuffers(db);
  return db;
}

Database WithoutRecords(const Database& db) {
  Database empty = db;
  SetCount(empty, kRecordsKind, 0);
  SetCount(empty, kFoldersKind, 1);
  RecountBuffers(empty);
  return empty;
}

QStringList FiledRecords(const Database& db) {
  QStringList lines;
  for (int r = 0; r < db.RecordCount; ++r) {
    const RecordData& record = db.Records[static_cast<std::size_t>(r)];
    if (record.Folder == BufferFolder) continue;
    QStringList values{FolderPath(db, record.Folder), QString::number(record.Form)};
    // The values of the form's elements; slots past them show nowhere.
    const FormDef& form = db.Forms[static_cast<std::size_t>(record.Form)];
    const auto countOf = [&](int type) { return std::size_t(form.ElementCount[type]); };
    for (std::size_t k = 0; k < countOf(kText); ++k) values << record.TextValue[k];
    for (std::size_t k = 0; k < countOf(kImage); ++k) values << record.ImageValue[k];
    for (std::size_t k = 0; k < countOf(kButton); ++k) values << record.ButtonValue[k];
    for (std::size_t k = 0; k < countOf(kMultiline); ++k) values << record.MemoValue[k];
    for (std::size_t k = 0; k < countOf(kCombo); ++k)
      values << QString::number(record.ComboValue[k]);
    for (std::size_t k = 0; k < countOf(kFlag); ++k) values << QString::number(record.FlagValue[k]);
    lines << values.join(QStringLiteral("\x1f"));
  }
  lines.sort();
  return lines;
}

Database Numbered(int n) {
  Database db = ExampleDatabase();
  db.Folders[0].Name = QStringLiteral("Version %1").arg(n);
  return db;
}

Database Locked(Database db, const QString& password) {
  db.PasswordOn = true;
  db.Password = password;
  return db;
}

QString SampleFiles::Saved(const Database& db, const QString& name) const {
  CodePage codePage;
  const QString path = Path(name);
  const WriteOutcome outcome = WriteDatabaseFile(db, path, codePage);
  if (!outcome.ok) qWarning() << "cannot save" << path << outcome.error;
  return path;
}

SaveOptions InPlaceSave(int keep) {
  SaveOptions inPlace{.keepBackups = keep};
  inPlace.createTemp = [](const QString&) { return QString(); };
  return inPlace;
}

}  // namespace orbo::test
