#include "storage/record_table.h"

#include <algorithm>
#include <numeric>

#include "storage/element_values.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

bool FormHas(const FormDef& form, const ElementRef& element) {
  return element.type >= 0 && element.type < kElementTypeCount && element.type != kLabel &&
         element.slot >= 0 && element.slot < form.ElementCount[At(element.type)];
}

}  // namespace

std::vector<ElementRef> TableColumns(const FormDef& form) {
  std::vector<ElementRef> columns;
  if (FormHas(form, form.TitleElement)) columns.push_back(form.TitleElement);
  for (const ElementRef& element : ValueElements(form)) {
    if (element != form.TitleElement) columns.push_back(element);
  }
  return columns;
}

QString CellText(const Database& db, int record, const ElementRef& element) {
  if (record < 0 || record >= db.RecordCount) return {};
  const RecordData& data = db.Records[At(record)];
  if (data.Form < 0 || data.Form >= db.FormCount) return {};
  const FormDef& form = db.Forms[At(data.Form)];
  if (!FormHas(form, element) || element.type == kFlag) return {};
  const QString value = ValueText(form, data, element);
  return element.type == kImage ? FileNamePart(value) : FirstLineOf(value);
}

std::vector<FormShare> FormsAmong(const Database& db, const std::vector<int>& records) {
  std::vector<int> counts(At(std::max<int>(db.FormCount, 0)), 0);
  for (int record : records) {
    const int form = db.Records[At(record)].Form;
    if (form >= 0 && form < db.FormCount) ++counts[At(form)];
  }
  std::vector<FormShare> shares;
  for (int form = 0; form < db.FormCount; ++form) {
    if (counts[At(form)] > 0) shares.push_back({form, counts[At(form)]});
  }
  return shares;
}

std::vector<int> RecordsWithForm(const Database& db, const std::vector<int>& records, int form) {
  std::vector<int> with;
  for (int record : records) {
    if (db.Records[At(record)].Form == form) with.push_back(record);
  }
  return with;
}

std::vector<int> TableOrder(const Database& db, const std::vector<int>& records,
                            const ElementRef& element, bool ascending) {
  std::vector<QString> keys;
  keys.reserve(records.size());
  for (int record : records) {
    const RecordData& data = db.Records[At(record)];
    // A flag sorts by its state; its cell shows no text.
    keys.push_back(element.type == kFlag ? QString(data.FlagValue[At(element.slot)] ? u'1' : u'0')
                                         : CellText(db, record, element).toLower());
  }
  std::vector<int> positions(records.size());
  std::iota(positions.begin(), positions.end(), 0);
  std::stable_sort(positions.begin(), positions.end(), [&](int a, int b) {
    return ascending ? keys[At(a)] < keys[At(b)] : keys[At(b)] < keys[At(a)];
  });
  std::vector<int> ordered;
  ordered.reserve(records.size());
  for (int position : positions) ordered.push_back(records[At(position)]);
  return ordered;
}

SlotPermutation StoredOrderOf(const std::vector<int>& shown) {
  SlotPermutation permutation{SlotPermutation::Table::kRecords, shown, {}};
  std::sort(permutation.places.begin(), permutation.places.end());
  permutation.order.reserve(shown.size());
  for (int record : shown) {
    const auto at = std::lower_bound(permutation.places.begin(), permutation.places.end(), record);
    permutation.order.push_back(static_cast<int>(at - permutation.places.begin()));
  }
  return permutation;
}

}  // namespace orbo
