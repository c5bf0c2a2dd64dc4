#include "cli/json_image.h"

#include <limits>
#include <string>
#include <vector>

#include "storage/field_table.h"
#include "storage/stream_library.h"

namespace orbo {
namespace {

// ---- Database to image -------------------------------------------------

std::string Utf8(const QString& text) { return text.toStdString(); }

Image FontImage(const FontSpec& font) {
  Image j = Image::object();
  j["Name"] = Utf8(font.Name);
  j["Size"] = font.Size;
  j["Bold"] = font.Bold;
  j["Italic"] = font.Italic;
  return j;
}

Image ValueImage(std::int16_t v) { return v; }
Image ValueImage(std::int32_t v) { return v; }
Image ValueImage(bool v) { return v; }
Image ValueImage(const QString& v) { return Utf8(v); }
Image ValueImage(const FontSpec& v) { return FontImage(v); }

Image ElementImage(const FormDef& form, int t, int k) {
  Image j = Image::object();
  for (std::size_t i : kElementFieldsInImageOrder) {
    const ElementField& field = kElementFields[i];
    if (!field.AppliesTo(t)) continue;
    VisitElementField(form, t, k, field, [&](const auto& v) { j[field.name] = ValueImage(v); });
  }
  return j;
}

Image FormImage(const FormDef& form) {
  Image j = Image::object();
  j["Name"] = Utf8(form.Name);
  j["Icon"] = Utf8(form.Icon);
  j["Width"] = form.Width;
  j["Height"] = form.Height;
  j["ElementCount"] = form.ElementCount;
  j["BackColor"] = form.BackColor;
  j["Border"] = form.Border;
  j["TitleElement"] = form.TitleElement.Code();
  j["PrintOffsetX"] = form.PrintOffsetX;
  j["PrintOffsetY"] = form.PrintOffsetY;
  j["Shadow"] = form.Shadow;
  Image elements = Image::array();
  for (int t = 0; t < kElementTypeCount; ++t) {
    Image slotImages = Image::array();
    for (int k = 0; k <= form.ElementCount[t]; ++k) slotImages.push_back(ElementImage(form, t, k));
    elements.push_back(std::move(slotImages));
  }
  j["Elements"] = std::move(elements);
  return j;
}

Image RecordImage(const RecordData& record, const FormDef& form) {
  Image j = Image::object();
  j["Form"] = record.Form;
  j["Folder"] = record.Folder;
  ForEachRecordField(record, [&](const RecordField& field, const auto& values) {
    Image array = Image::array();
    for (int k = 0; k < form.ElementCount[field.type]; ++k) array.push_back(ValueImage(values[k]));
    j[field.name] = std::move(array);
  });
  return j;
}

Image FolderImage(const FolderDef& folder) {
  Image j = Image::object();
  j["Name"] = Utf8(folder.Name);
  j["Parent"] = folder.Parent;
  j["Icon"] = Utf8(folder.Icon);
  j["FolderReserved"] = folder.FolderReserved;
  return j;
}

// ---- Image to database -------------------------------------------------

// Reads the fields of one JSON object, naming each by its path in errors.
class Fields {
 public:
  Fields(const Image& object, std::string where, const std::vector<const char*>& keys,
         CodePage& codePage)
      : object_(object), where_(std::move(where)), codePage_(codePage) {
    if (!object.is_object()) Fail(where_, "must be an object");
    for (const auto& item : object.items()) {
      bool known = false;
      for (const char* key : keys) known = known || item.key() == key;
      if (!known) Fail(Place(item.key().c_str()), "is not a field of this object");
    }
    for (const char* key : keys) {
      if (!object.contains(key)) Fail(Place(key), "is missing");
    }
  }

  std::string Place(const char* key) const {
    return where_.empty() ? std::string(key) : where_ + "." + key;
  }

  const Image& Member(const char* key) const { return object_.at(key); }

  std::int16_t I(const char* key) const { return Int<std::int16_t>(Member(key), Place(key)); }
  std::int32_t L(const char* key) const { return Int<std::int32_t>(Member(key), Place(key)); }
  bool B(const char* key) const { return Bool(Member(key), Place(key)); }
  QString S(const char* key) const { return Text(Member(key), Place(key), codePage_); }
  // The value at key, or value itself, read as the type of v.
  template <typename T>
  void Get(const char* key, T& v) const {
    Take(Member(key), Place(key), v);
  }
  void Take(const Image& value, const std::string& place, std::int16_t& v) const {
    v = Int<std::int16_t>(value, place);
  }
  void Take(const Image& value, const std::string& place, std::int32_t& v) const {
    v = Int<std::int32_t>(value, place);
  }
  void Take(const Image& value, const std::string& place, bool& v) const { v = Bool(value, place); }
  void Take(const Image& value, const std::string& place, QString& v) const {
    v = Text(value, place, codePage_);
  }
  void Take(const Image& value, const std::string& place, FontSpec& v) const {
    const Fields f(value, place, {"Name", "Size", "Bold", "Italic"}, codePage_);
    v.Name = f.S("Name");
    v.Size = f.I("Size");
    v.Bold = f.B("Bold");
    v.Italic = f.B("Italic");
  }

  [[noreturn]] static void Fail(const std::string& place, const std::string& what) {
    throw ImageError(place + ": " + what);
  }

  template <typename T>
  static T Int(const Image& value, const std::string& place) {
    if (!value.is_number_integer()) Fail(place, "must be an integer");
    const bool fits =
        value.is_number_unsigned()
            ? value.get<std::uint64_t>() <= std::uint64_t(std::numeric_limits<T>::max())
            : value.get<std::int64_t>() >= std::numeric_limits<T>::min() &&
                  value.get<std::int64_t>() <= std::numeric_limits<T>::max();
    if (!fits) {
      Fail(place, "must be an integer from " + std::to_string(std::numeric_limits<T>::min()) +
                      " to " + std::to_string(std::numeric_limits<T>::max()));
    }
    return static_cast<T>(value.get<std::int64_t>());
  }

  static bool Bool(const Image& value, const std::string& place) {
    if (!value.is_boolean()) Fail(place, "must be true or false");
    return value.get<bool>();
  }

  static QString Text(const Image& value, const std::string& place, CodePage& codePage) {
    if (!value.is_string()) Fail(place, "must be a string");
    const QString text = QString::fromStdString(value.get<std::string>());
    QByteArray bytes;
    if (!codePage.Encode(text, &bytes))
      Fail(place, codePage.DescribeUnencodable(text).toStdString());
    if (bytes.size() > stream::kMaxStringBytes) {
      Fail(place, "is longer than the " + std::to_string(stream::kMaxStringBytes) +
                      " characters a file holds");
    }
    return text;
  }

 private:
  const Image& object_;
  std::string where_;
  CodePage& codePage_;
};

std::string Indexed(const std::string& place, std::size_t i) {
  return place + "[" + std::to_string(i) + "]";
}

const Image& Array(const Image& value, const std::string& place, std::size_t size) {
  if (!value.is_array()) Fields::Fail(place, "must be an array");
  if (value.size() != size) {
    Fields::Fail(place, "must have " + std::to_string(size) + " entries, not " +
                            std::to_string(value.size()));
  }
  return value;
}

// A top-level table: an array of at most the 16-bit count range.
const Image& Table(const Fields& top, const char* key) {
  const Image& value = top.Member(key);
  if (!value.is_array()) Fields::Fail(top.Place(key), "must be an array");
  if (value.size() > std::size_t(std::numeric_limits<std::int16_t>::max())) {
    Fields::Fail(top.Place(key), "has more entries than a file counts");
  }
  return value;
}

void ReadElement(FormDef& form, int t, int k, const Image& value, const std::string& place,
                 CodePage& codePage) {
  std::vector<const char*> keys;
  for (std::size_t i : kElementFieldsInImageOrder) {
    if (kElementFields[i].AppliesTo(t)) keys.push_back(kElementFields[i].name);
  }
  const Fields f(value, place, keys, codePage);
  for (std::size_t i : kElementFieldsInImageOrder) {
    const ElementField& field = kElementFields[i];
    if (!field.AppliesTo(t)) continue;
    VisitElementField(form, t, k, field, [&](auto& v) { f.Get(field.name, v); });
  }
}

FormDef ReadForm(const Image& value, const std::string& place, CodePage& codePage) {
  const Fields f(value, place,
                 {"Name", "Icon", "Width", "Height", "ElementCount", "BackColor", "Border",
                  "TitleElement", "PrintOffsetX", "PrintOffsetY", "Shadow", "Elements"},
                 codePage);
  FormDef form;
  form.Name = f.S("Name");
  form.Icon = f.S("Icon");
  form.Width = f.I("Width");
  form.Height = f.I("Height");
  const Image& counts = Array(f.Member("ElementCount"), f.Place("ElementCount"), kElementTypeCount);
  for (int t = 0; t < kElementTypeCount; ++t) {
    const std::string countPlace = Indexed(f.Place("ElementCount"), t);
    form.ElementCount[t] = Fields::Int<std::int16_t>(counts[t], countPlace);
    if (form.ElementCount[t] < 0 || form.ElementCount[t] > kMaxElementsPerType) {
      Fields::Fail(countPlace, "must be from 0 to " + std::to_string(kMaxElementsPerType));
    }
  }
  form.BackColor = f.L("BackColor");
  form.Border = f.I("Border");
  form.TitleElement = ElementRef::FromCode(f.I("TitleElement"));
  form.PrintOffsetX = f.L("PrintOffsetX");
  form.PrintOffsetY = f.L("PrintOffsetY");
  form.Shadow = f.I("Shadow");
  const Image& elements = Array(f.Member("Elements"), f.Place("Elements"), kElementTypeCount);
  for (int t = 0; t < kElementTypeCount; ++t) {
    const std::string typePlace = Indexed(f.Place("Elements"), t);
    const Image& slotImages = Array(elements[t], typePlace, form.ElementCount[t] + 1);
    for (int k = 0; k <= form.ElementCount[t]; ++k) {
      ReadElement(form, t, k, slotImages[k], Indexed(typePlace, k), codePage);
    }
  }
  return form;
}

RecordData ReadRecord(const Database& db, const Image& value, const std::string& place,
                      CodePage& codePage) {
  std::vector<const char*> keys = {"Form", "Folder"};
  for (const RecordField& field : kRecordFields) keys.push_back(field.name);
  const Fields f(value, place, keys, codePage);
  RecordData record;
  record.Form = f.I("Form");
  record.Folder = f.I("Folder");
  if (record.Form < 0 || record.Form >= db.FormCount) {
    Fields::Fail(f.Place("Form"), "must be the index of a form");
  }
  const auto& n = db.Forms[static_cast<std::size_t>(record.Form)].ElementCount;
  ForEachRecordField(record, [&](const RecordField& field, auto& values) {
    const std::string where = f.Place(field.name);
    const Image& array = Array(f.Member(field.name), where, n[field.type]);
    for (int k = 0; k < n[field.type]; ++k) f.Take(array[k], Indexed(where, k), values[k]);
  });
  return record;
}

FolderDef ReadFolder(const Image& value, const std::string& place, CodePage& codePage) {
  const Fields f(value, place, {"Name", "Parent", "Icon", "FolderReserved"}, codePage);
  FolderDef folder;
  folder.Name = f.S("Name");
  folder.Parent = f.I("Parent");
  folder.Icon = f.S("Icon");
  folder.FolderReserved = f.I("FolderReserved");
  return folder;
}

}  // namespace

namespace {

// The top-level fields in file order, handed to a builder: small fields
// whole, tables as a count and the image of each entry.
template <typename Builder>
void BuildTop(const Database& db, Builder& b) {
  b.Field("PasswordOn", db.PasswordOn);
  b.Field("Password", Utf8(db.PasswordOn ? db.Password : QString()));
  b.Table("Forms", db.FormCount, [&db](int f) { return FormImage(db.Forms[f]); });
  b.Field("SplitterPos", db.SplitterPos);
  b.Field("MaxListString", db.MaxListString);
  b.Field("DbReserved", db.DbReserved);
  b.Field("DatabaseFont", FontImage(db.DatabaseFont));
  b.Table("Records", db.RecordCount, [&db](int r) {
    const RecordData& record = db.Records[r];
    return RecordImage(record, db.Forms[record.Form]);
  });
  b.Table("Folders", db.FolderCount, [&db](int d) { return FolderImage(db.Folders[d]); });
}

class TreeBuilder {
 public:
  void Field(const char* key, Image value) { top_[key] = std::move(value); }
  template <typename MakeEntry>
  void Table(const char* key, int count, MakeEntry make) {
    Image entries = Image::array();
    for (int i = 0; i < count; ++i) entries.push_back(make(i));
    top_[key] = std::move(entries);
  }
  Image Take() { return std::move(top_); }

 private:
  Image top_ = Image::object();
};

// Writes the text dump(2) gives for the whole tree, one entry at a time.
class TextBuilder {
 public:
  explicit TextBuilder(const ImageSink& write) : write_(write) {}
  void Field(const char* key, const Image& value) {
    Key(key);
    write_(Indented(value.dump(2), 2));
  }
  template <typename MakeEntry>
  void Table(const char* key, int count, MakeEntry make) {
    Key(key);
    if (count == 0) return write_("[]");
    for (int i = 0; i < count; ++i) {
      write_(i == 0 ? "[\n    " : ",\n    ");
      write_(Indented(make(i).dump(2), 4));
    }
    write_("\n  ]");
  }
  void Finish() { write_(first_ ? "{}\n" : "\n}\n"); }

 private:
  void Key(const char* key) {
    write_(first_ ? "{\n  \"" : ",\n  \"");
    write_(key);
    write_("\": ");
    first_ = false;
  }
  // A value's lines moved right by depth; its first line follows a key or
  // the indent already written.
  static std::string Indented(std::string text, std::size_t depth) {
    const std::string breakAndIndent = "\n" + std::string(depth, ' ');
    for (std::size_t at = text.find('\n'); at != std::string::npos;
         at = text.find('\n', at + breakAndIndent.size())) {
      text.replace(at, 1, breakAndIndent);
    }
    return text;
  }

  const ImageSink& write_;
  bool first_ = true;
};

}  // namespace

Image DatabaseToImage(const Database& db) {
  TreeBuilder builder;
  BuildTop(db, builder);
  return builder.Take();
}

void WriteDatabaseImage(const Database& db, const ImageSink& write) {
  TextBuilder builder(write);
  BuildTop(db, builder);
  builder.Finish();
}

Database DatabaseFromImage(const Image& image, CodePage& codePage) {
  const Fields top(image, "",
                   {"PasswordOn", "Password", "Forms", "SplitterPos", "MaxListString", "DbReserved",
                    "DatabaseFont", "Records", "Folders"},
                   codePage);
  Database db;
  db.PasswordOn = top.B("PasswordOn");
  db.Password = top.S("Password");
  if (db.PasswordOn && db.Password.isEmpty()) {
    Fields::Fail("Password", "must not be empty when PasswordOn is true");
  }
  const Image& forms = Table(top, "Forms");
  SetCount(db, kFormsKind, static_cast<std::int16_t>(forms.size()));
  for (std::size_t f = 0; f < forms.size(); ++f) {
    db.Forms[f] = ReadForm(forms[f], Indexed("Forms", f), codePage);
  }
  db.SplitterPos = top.I("SplitterPos");
  db.MaxListString = top.I("MaxListString");
  db.DbReserved = top.I("DbReserved");
  top.Get("DatabaseFont", db.DatabaseFont);
  const Image& records = Table(top, "Records");
  const Image& folders = Table(top, "Folders");
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(folders.size()));
  SetCount(db, kRecordsKind, static_cast<std::int16_t>(records.size()));
  for (std::size_t r = 0; r < records.size(); ++r) {
    db.Records[r] = ReadRecord(db, records[r], Indexed("Records", r), codePage);
  }
  for (std::size_t d = 0; d < folders.size(); ++d) {
    db.Folders[d] = ReadFolder(folders[d], Indexed("Folders", d), codePage);
  }
  RecountBuffers(db);
  return db;
}

}  // namespace orbo
