// The text that names a record in the tree, the list, the title bar, find
// results and sorting: the value of its form's title element.
#pragma once

#include <QString>

#include "storage/database_model.h"

namespace orbo {

QString RecordTitle(const Database& db, int record);

}  // namespace orbo
