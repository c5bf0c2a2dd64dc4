#include "storage/database_checks.h"

#include "storage/storage_error.h"

namespace orbo {

void CheckCount(int count, const QString& what) {
  if (count < 0)
    throw StorageError(QStringLiteral("the %1 count %2 is negative").arg(what).arg(count));
}

void CheckElementCount(int count, int form, int type) {
  if (count < 0 || count > kMaxElementsPerType) {
    throw StorageError(QStringLiteral("form %1: element count %2 of type %3 is outside 0 to %4")
                           .arg(form)
                           .arg(count)
                           .arg(type)
                           .arg(kMaxElementsPerType));
  }
}

void CheckRecordForm(const Database& db, int record, int form) {
  if (form < 0 || form >= db.FormCount) {
    throw StorageError(
        QStringLiteral("record %1: form %2 is not a form of the database").arg(record).arg(form));
  }
}

}  // namespace orbo
