// The export to an Access file without widgets: one table per form that has
// records in the chosen folders, one row per record.
#pragma once

#include <functional>
#include <vector>

#include "query/access/tables/access_engine.h"
#include "storage/database_model.h"

namespace orbo {

// Which records go out: those of folder (-1: every folder), and with
// subfolders those of the folders below it.
struct ExportScope {
  int folder = -1;
  bool subfolders = false;
};

// The first column of every exported table: where the record is filed.
inline constexpr char kExportFolderColumn[] = "Root";

// 'Note ID:23' for the text element 'Note' in slot 3; a name too long for
// Jet is cut before the suffix.
QString ExportColumnName(const QString& elementName, int type, int slot);
QString ExportColumnName(const FormDef& form, const ElementRef& element);

// Creates the tables and rows in target (which the caller closes);
// progress gets the share of forms done, 0 to 100.
void ExportToAccess(const Database& db, const ExportScope& scope, AccessTarget& target,
                    const std::function<void(int percent)>& progress);

}  // namespace orbo
