// The database file reader, with the password the seed files are protected with.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orbo::fuzz::CheckDatabaseFile(data, size, QStringLiteral("fuzz"));
  return 0;
}
