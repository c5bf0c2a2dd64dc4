// What the fuzz targets share: a scratch folder, the storage library of the
// fuzz build, and the checks every successful parse must pass.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

#include "storage/code_page.h"
#include "storage/database_model.h"

namespace orbo::fuzz {

// A folder of this process that lives as long as the process.
QString ScratchFolder();

// Writes the input to a file of that name in the scratch folder.
QString WriteInput(const std::uint8_t* data, std::size_t size, const QString& name);

// Ends the run as a finding when condition is false.
void Require(bool condition, const char* what);

// A model that came out of a parse: it keeps its invariants, and a save of
// it loads back equal.
void CheckSavesAndLoadsBack(const Database& db, CodePage& codePage);

// Reads the input as a database file; a protected one is opened with
// password (none: the reader gives up).
void CheckDatabaseFile(const std::uint8_t* data, std::size_t size, const QString& password);

}  // namespace orbo::fuzz
