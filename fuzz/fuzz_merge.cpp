// Merging a file into an open database: it merges whole, with the model's
// invariants kept, or leaves the open database exactly as it was.
#include "fuzz_support.h"
#include "sample_databases.h"
#include "storage/database_merge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  const QString path = fuzz::WriteInput(data, size, QStringLiteral("merged.2db"));
  CodePage codePage;
  const Database open = test::ExampleDatabase();
  Database db = open;
  const MergeOutcome outcome = MergeDatabaseFile(db, path, codePage, QStringLiteral("fuzz"));
  if (outcome.status == ReadOutcome::kLoaded) {
    fuzz::CheckSavesAndLoadsBack(db, codePage);
  } else {
    fuzz::Require(StoredDifference(db, open).isEmpty(), "a failed merge changed the open database");
  }
  return 0;
}
