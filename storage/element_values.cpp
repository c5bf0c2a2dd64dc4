#include "storage/element_values.h"

#include <QSet>
#include <algorithm>

#include "storage/model_invariants.h"
#include "storage/record_fields.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

constexpr int kValueTypes[] = {kImage, kText, kButton, kCombo, kFlag, kMultiline};

}  // namespace

QStringList ComboItems(const QString& list) {
  QStringList items;
  if (list.isEmpty()) return items;
  for (const QString& line : list.split(QStringLiteral("\r\n")))
    items << (line.isEmpty() ? QStringLiteral(" ") : line);
  return items;
}

std::vector<int> RecordsOfForm(const Database& db, int form) {
  std::vector<int> records;
  for (int r = 0; r < db.RecordCount; ++r) {
    if (db.Records[At(r)].Form == form) records.push_back(r);
  }
  return records;
}

std::vector<ElementRef> ValueElements(const FormDef& form) {
  std::vector<ElementRef> elements;
  for (int type : kValueTypes) {
    for (int slot = 0; slot < form.ElementCount[At(type)]; ++slot) elements.push_back({type, slot});
  }
  return elements;
}

QString ValueText(const FormDef& form, const RecordData& record, const ElementRef& element) {
  const auto slot = At(element.slot);
  if (element.type == kCombo) return ComboLine(form.ComboList[slot], record.ComboValue[slot]);
  const auto* texts = record_fields::TextsOfType(record, element.type);
  return texts ? (*texts)[slot] : QString();
}

QString FileNamePart(const QString& path) {
  const qsizetype cut = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
  return path.mid(cut + 1);
}

QString ButtonCaption(int action, const QString& value,
                      const std::function<QString(int action)>& actionName) {
  switch (action) {
    case kPlayMedia:
    case kOpenFile:
      return FileNamePart(value);
    case kAddRecordAction:
    case kDeleteRecordAction:
    case kNextRecordAction:
    case kPreviousRecordAction:
      return actionName(action);
    default:
      return value;
  }
}

bool ActionTakesValue(int action) { return action >= kSendMail && action <= kOpenValue; }

QStringList QuickListValues(const Database& db, int shownRecord, int form, int slot) {
  QStringList values;
  QSet<QString> seen;
  for (int r = 0; r < db.RecordCount; ++r) {
    const RecordData& record = db.Records[At(r)];
    if (r == shownRecord || record.Form != form || record.Folder == BufferFolder) continue;
    const QString& value = record.TextValue[At(slot)];
    if (!seen.contains(value)) {
      seen.insert(value);
      values << value;
    }
  }
  return values;
}

std::vector<std::pair<ElementRef, QString>> TitleCandidates(const FormDef& form) {
  std::vector<std::pair<ElementRef, QString>> candidates;
  for (int t : kTitleTypes) {
    for (int k = 0; k < form.ElementCount[At(t)]; ++k) {
      candidates.emplace_back(ElementRef{t, k}, form.Elements[At(t)][At(k)].Name);
    }
  }
  return candidates;
}

}  // namespace orbo
