#include "cli/json_image.h"

#include <limits>
#include <string>
#include <vector>

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

Image ElementImage(const FormDef& form, int t, int k) {
  const ElementDef& e = form.Elements[t][k];
  Image j = Image::object();
  j["Name"] = Utf8(e.Name);
  j["Left"] = e.Left;
  j["Top"] = e.Top;
  j["Width"] = e.Width;
  j["Height"] = e.Height;
  j["Font"] = FontImage(e.Font);
  j["Border"] = e.Border;
  j["BackColor"] = e.BackColor;
  j["ForeColor"] = e.ForeColor;
  j["Transparent"] = e.Transparent;
  j["Alignment"] = e.Alignment;
  switch (t) {
    case kImage:
      j["ImageSize"] = form.ImageSize[k];
      j["DblClickAction"] = form.DblClickAction[k];
      break;
    case kLabel:
      j["ToolTip"] = Utf8(form.ToolTip[k]);
      break;
    case kText:
      j["QuickEnter"] = form.QuickEnter[k];
      j["PasswordField"] = form.PasswordField[k];
      break;
    case kButton:
      j["ButtonAction"] = form.ButtonAction[k];
      break;
    case kCombo:
      j["ComboList"] = Utf8(form.ComboList[k]);
      break;
    case kFlag:
      j["FlagAtRight"] = form.FlagAtRight[k];
      j["FlagAppearance"] = form.FlagAppearance[k];
      break;
    case kMultiline:
      j["TextLimit"] = form.TextLimit[k];
      break;
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

template <typename T, typename Convert>
Image Values(const PerSlot<T>& values, int count, Convert convert) {
  Image j = Image::array();
  for (int k = 0; k < count; ++k) j.push_back(convert(values[k]));
  return j;
}

Image RecordImage(const RecordData& record, const FormDef& form) {
  const auto& n = form.ElementCount;
  const auto same = [](auto v) { return v; };
  Image j = Image::object();
  j["Form"] = record.Form;
  j["Folder"] = record.Folder;
  j["ImageValue"] = Values(record.ImageValue, n[kImage], Utf8);
  j["TextValue"] = Values(record.TextValue, n[kText], Utf8);
  j["ButtonValue"] = Values(record.ButtonValue, n[kButton], Utf8);
  j["ComboValue"] = Values(record.ComboValue, n[kCombo], same);
  j["FlagValue"] = Values(record.FlagValue, n[kFlag], same);
  j["MemoValue"] = Values(record.MemoValue, n[kMultiline], Utf8);
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
  FontSpec Font(const char* key) const {
    const Fields f(Member(key), Place(key), {"Name", "Size", "Bold", "Italic"}, codePage_);
    FontSpec font;
    font.Name = f.S("Name");
    font.Size = f.I("Size");
    font.Bold = f.B("Bold");
    font.Italic = f.B("Italic");
    return font;
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

const char* const kElementKeysByType[kElementTypeCount][2] = {
    {"ImageSize", "DblClickAction"}, {"ToolTip", nullptr},   {"QuickEnter", "PasswordField"},
    {"ButtonAction", nullptr},       {"ComboList", nullptr}, {"FlagAtRight", "FlagAppearance"},
    {"TextLimit", nullptr}};

void ReadElement(FormDef& form, int t, int k, const Image& value, const std::string& place,
                 CodePage& codePage) {
  std::vector<const char*> keys = {"Name",      "Left",        "Top",      "Width",
                                   "Height",    "Font",        "Border",   "BackColor",
                                   "ForeColor", "Transparent", "Alignment"};
  for (const char* key : kElementKeysByType[t]) {
    if (key) keys.push_back(key);
  }
  const Fields f(value, place, keys, codePage);
  ElementDef& e = form.Elements[t][k];
  e.Name = f.S("Name");
  e.Left = f.I("Left");
  e.Top = f.I("Top");
  e.Width = f.I("Width");
  e.Height = f.I("Height");
  e.Font = f.Font("Font");
  e.Border = f.I("Border");
  e.BackColor = f.L("BackColor");
  e.ForeColor = f.L("ForeColor");
  e.Transparent = f.B("Transparent");
  e.Alignment = f.I("Alignment");
  switch (t) {
    case kImage:
      form.ImageSize[k] = f.I("ImageSize");
      form.DblClickAction[k] = f.I("DblClickAction");
      break;
    case kLabel:
      form.ToolTip[k] = f.S("ToolTip");
      break;
    case kText:
      form.QuickEnter[k] = f.I("QuickEnter");
      form.PasswordField[k] = f.I("PasswordField");
      break;
    case kButton:
      form.ButtonAction[k] = f.I("ButtonAction");
      break;
    case kCombo:
      form.ComboList[k] = f.S("ComboList");
      break;
    case kFlag:
      form.FlagAtRight[k] = f.I("FlagAtRight");
      form.FlagAppearance[k] = f.I("FlagAppearance");
      break;
    case kMultiline:
      form.TextLimit[k] = f.I("TextLimit");
      break;
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

template <typename T, typename Convert>
void ReadValues(PerSlot<T>& values, const Fields& f, const char* key, int count, Convert convert) {
  const Image& array = Array(f.Member(key), f.Place(key), count);
  for (int k = 0; k < count; ++k) values[k] = convert(array[k], Indexed(f.Place(key), k));
}

RecordData ReadRecord(const Database& db, const Image& value, const std::string& place,
                      CodePage& codePage) {
  const Fields f(value, place,
                 {"Form", "Folder", "ImageValue", "TextValue", "ButtonValue", "ComboValue",
                  "FlagValue", "MemoValue"},
                 codePage);
  RecordData record;
  record.Form = f.I("Form");
  record.Folder = f.I("Folder");
  if (record.Form < 0 || record.Form >= db.FormCount) {
    Fields::Fail(f.Place("Form"), "must be the index of a form");
  }
  const auto& n = db.Forms[static_cast<std::size_t>(record.Form)].ElementCount;
  const auto text = [&codePage](const Image& v, const std::string& p) {
    return Fields::Text(v, p, codePage);
  };
  ReadValues(record.ImageValue, f, "ImageValue", n[kImage], text);
  ReadValues(record.TextValue, f, "TextValue", n[kText], text);
  ReadValues(record.ButtonValue, f, "ButtonValue", n[kButton], text);
  ReadValues(record.ComboValue, f, "ComboValue", n[kCombo], Fields::Int<std::int16_t>);
  ReadValues(record.FlagValue, f, "FlagValue", n[kFlag], Fields::Bool);
  ReadValues(record.MemoValue, f, "MemoValue", n[kMultiline], text);
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
  db.DatabaseFont = top.Font("DatabaseFont");
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
