// The text that names a record in the tree, the list, the title bar, find
// results and sorting: the value of its form's title element.
#pragma once

#include <QString>

#include "storage/database_model.h"

namespace orbo {

QString RecordTitle(const Database& db, int record);

// The title as one line, for the tree, the list, the title bar and the find
// log: the first line of a multiline title that holds more than blanks.
QString RecordTitleLine(const Database& db, int record);
// The first line of text that holds more than blanks; text when it is one line.
QString FirstLineOf(const QString& text);

// Line index of a combo's stored list (lines end at CR LF); empty when the
// list has no such line.
QString ComboLine(const QString& list, int index);

}  // namespace orbo
