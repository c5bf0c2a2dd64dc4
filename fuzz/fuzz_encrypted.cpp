// The encrypted-file container: any bytes either open to a classic file or
// are refused with a reason, never half; bytes that are no container are
// sealed and must open to themselves. Headers that ask for more than the
// least key cost are skipped: every run would spend its time in Argon2id,
// and the bounds on the cost have a test of their own.
#include <cstdlib>

#include "storage/encrypted_file.h"
#include "storage/storage_error.h"

namespace {

std::uint32_t Get32(const std::uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString password = QStringLiteral("fuzz");
  const KeyCost least = KeyCost::Least();
  if (!IsEncryptedFile(bytes)) {
    if (OpenSealedFile(SealFile(bytes, password, least), password) != bytes) std::abort();
    return 0;
  }
  if (size >= kEncryptedHeaderSize &&
      (Get32(data + 12) > least.operations || Get32(data + 16) > least.memory)) {
    return 0;
  }
  try {
    const QByteArray plain = OpenSealedFile(bytes, password);
    // What opened was sealed by this password: a second seal opens alike.
    if (OpenSealedFile(SealFile(plain, password, least), password) != plain) std::abort();
  } catch (const StorageError& e) {
    if (e.Message().isEmpty()) std::abort();
  }
  return 0;
}
