#include "shell/node_data.h"

#include <QFont>

#include "shell/node_keys.h"
#include "storage/database_model.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

namespace orbo {

QFont BoldFont() {
  QFont bold;
  bold.setBold(true);
  return bold;
}

QVariant RecordNodeData(const Database& db, const IconFor& iconFor, int record, int role) {
  if (record < 0 || record >= db.RecordCount) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ShortenName(RecordTitleLine(db, record), db.MaxListString);
    case Qt::DecorationRole: {
      const int form = db.Records[record].Form;
      return form >= 0 && form < db.FormCount ? iconFor(db.Forms[form].Icon) : QVariant();
    }
    case Qt::FontRole:
      return db.RecordMarks[record] ? QVariant(BoldFont()) : QVariant();
    case kNodeKeyRole:
      return RecordKey(record);
    default:
      return {};
  }
}

}  // namespace orbo
