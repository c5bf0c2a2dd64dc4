#include "query/access/tables/access_export.h"

#include "query/access/jet4/names.h"
#include "storage/element_values.h"
#include "storage/find_logic.h"

namespace orbo {
namespace {

jet4::ColumnType ColumnTypeOf(int type) {
  switch (type) {
    case kText:
    case kMultiline:
      return jet4::ColumnType::Memo;
    case kFlag:
      return jet4::ColumnType::Boolean;
    default:
      return jet4::ColumnType::Text;
  }
}

std::vector<jet4::Column> ColumnsOf(const FormDef& form) {
  std::vector<jet4::Column> columns{
      {QString::fromLatin1(kExportFolderColumn), jet4::ColumnType::Text}};
  for (const ElementRef& element : ValueElements(form))
    columns.push_back({ExportColumnName(form, element), ColumnTypeOf(element.type)});
  return columns;
}

// Access keeps no empty texts apart from missing ones: an empty value goes
// out as one blank.
QString BlankWhenEmpty(const QString& value) {
  return value.isEmpty() ? QStringLiteral(" ") : value;
}

jet4::Cell ValueOf(const FormDef& form, const RecordData& record, const ElementRef& element) {
  if (element.type == kFlag)
    return {QString(), record.FlagValue[static_cast<size_t>(element.slot)]};
  // A combo's value is a line of its list and never empty.
  const QString text = ValueText(form, record, element);
  return {element.type == kCombo ? text : BlankWhenEmpty(text)};
}

std::vector<jet4::Cell> RowOf(const Database& db, const FormDef& form, const RecordData& record) {
  const bool known = record.Folder >= 0 && record.Folder < db.FolderCount;
  std::vector<jet4::Cell> row{
      {known ? db.Folders[static_cast<size_t>(record.Folder)].Name : QString()}};
  for (const ElementRef& element : ValueElements(form))
    row.push_back(ValueOf(form, record, element));
  return row;
}

}  // namespace

QString ExportColumnName(const FormDef& form, const ElementRef& element) {
  return ExportColumnName(
      form.Elements[static_cast<size_t>(element.type)][static_cast<size_t>(element.slot)].Name,
      element.type, element.slot);
}

QString ExportColumnName(const QString& elementName, int type, int slot) {
  const QString suffix = QStringLiteral(" ID:") + QString::number(type) + QString::number(slot);
  // Jet keeps 64 characters of a name; the suffix is what the import and the
  // user find a field by, so the element's name gives way.
  QString name = elementName.left(jet4::kMaxNameLength - suffix.size());
  if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
  return name + suffix;
}

void ExportToAccess(const Database& db, const ExportScope& scope, AccessTarget& target,
                    const std::function<void(int percent)>& progress) {
  const FolderScope folders(db, scope.folder, scope.subfolders);
  for (int f = 0; f < db.FormCount; ++f) {
    progress(f * 100 / db.FormCount);
    const FormDef& form = db.Forms[static_cast<size_t>(f)];
    int table = -1;
    for (int r = 0; r < db.RecordCount; ++r) {
      const RecordData& record = db.Records[static_cast<size_t>(r)];
      if (record.Form != f || !folders.Contains(record.Folder)) continue;
      if (table < 0) table = target.CreateTable(form.Name, ColumnsOf(form));
      target.AppendRow(table, RowOf(db, form, record));
    }
  }
}

}  // namespace orbo
