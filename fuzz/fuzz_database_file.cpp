// The database file reader, on files without a password.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orbo::fuzz::CheckDatabaseFile(data, size, QString());
  return 0;
}
