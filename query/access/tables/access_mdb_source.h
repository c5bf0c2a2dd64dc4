// Reads Access files (.mdb of Jet 3 and Jet 4, .accdb) through libmdb.
#pragma once

#include <memory>

#include "query/access/tables/access_engine.h"

namespace orbo {

// nullptr when libmdb cannot open the file or read its catalog.
std::unique_ptr<AccessSource> OpenMdbSource(const QString& path);

}  // namespace orbo
