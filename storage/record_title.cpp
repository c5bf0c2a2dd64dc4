#include "storage/record_title.h"

#include <QRegularExpression>

namespace orbo {

QString ComboLine(const QString& list, int index) {
  if (index < 0) return {};
  static const QString kLineEnd = QStringLiteral("\r\n");
  qsizetype start = 0;
  // Walks to the line without splitting the whole list: find and sort ask
  // once per record.
  for (int line = 0; line < index; ++line) {
    const qsizetype end = list.indexOf(kLineEnd, start);
    if (end < 0) return {};
    start = end + kLineEnd.size();
  }
  const qsizetype end = list.indexOf(kLineEnd, start);
  return list.mid(start, end < 0 ? -1 : end - start);
}

QString RecordTitle(const Database& db, int record) {
  if (record < 0 || record >= db.RecordCount) return {};
  const RecordData& data = db.Records[record];
  if (data.Form < 0 || data.Form >= db.FormCount) return {};
  const FormDef& form = db.Forms[data.Form];
  const auto [type, slot] = form.TitleElement;
  // A title element the form does not have (any more) names nothing.
  if (type < 0 || type >= kElementTypeCount || slot < 0 || slot >= form.ElementCount[type]) {
    return {};
  }
  switch (type) {
    case kImage:
      return data.ImageValue[slot];
    case kText:
      return data.TextValue[slot];
    case kButton:
      return data.ButtonValue[slot];
    case kMultiline:
      return data.MemoValue[slot];
    case kCombo:
      return ComboLine(form.ComboList[slot], data.ComboValue[slot]);
    case kFlag:
      return data.FlagValue[slot] ? QStringLiteral("True") : QStringLiteral("False");
    default:
      return {};
  }
}

QString FirstLineOf(const QString& text) {
  if (!text.contains(u'\n') && !text.contains(u'\r')) return text;
  static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\r|\n"));
  for (const QString& line : text.split(kLineBreak)) {
    if (!line.trimmed().isEmpty()) return line;
  }
  return {};
}

QString RecordTitleLine(const Database& db, int record) {
  return FirstLineOf(RecordTitle(db, record));
}

}  // namespace orbo
