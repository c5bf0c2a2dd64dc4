#include "shell/record_title.h"

#include <QStringList>

namespace orbo {

QString RecordTitle(const Database& db, int record) {
  if (record < 0 || record >= db.RecordCount) return {};
  const RecordData& data = db.Records[record];
  if (data.Form < 0 || data.Form >= db.FormCount) return {};
  const FormDef& form = db.Forms[data.Form];
  int type = form.TitleElement / 1000;
  int slot = form.TitleElement % 1000;
  // A title element the form does not have (any more) names nothing.
  if (type < 0 || type >= kElementTypeCount || slot < 0 || slot >= form.ElementCount[type]) {
    return {};
  }
  switch (type) {
    case kImage: return data.ImageValue[slot];
    case kText: return data.TextValue[slot];
    case kButton: return data.ButtonValue[slot];
    case kMultiline: return data.MemoValue[slot];
    case kCombo: {
      QStringList lines = form.ComboList[slot].split(QStringLiteral("\r\n"));
      int chosen = data.ComboValue[slot];
      return chosen >= 0 && chosen < lines.size() ? lines[chosen] : QString();
    }
    case kFlag: return data.FlagValue[slot] ? QStringLiteral("True") : QStringLiteral("False");
    default: return {};
  }
}

}  // namespace orbo
