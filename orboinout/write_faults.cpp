#include "orboinout/write_faults.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace oio {
namespace {

struct WriteFaults {
  std::int32_t failingWrite = -1;
  std::int64_t byteLimit = -1;
  std::int32_t writes = 0;
  std::int64_t bytes = 0;
};

WriteFaults& Faults() {
  static WriteFaults faults;
  return faults;
}

}  // namespace

std::size_t AllowedWriteBytes(std::size_t n) {
  WriteFaults& faults = Faults();
  ++faults.writes;
  // The reasons a system gives: a failing device, a full disk.
  if (faults.writes == faults.failingWrite) {
    errno = EIO;
    return 0;
  }
  std::size_t allowed = n;
  if (faults.byteLimit >= 0) {
    const std::int64_t room = std::max<std::int64_t>(faults.byteLimit - faults.bytes, 0);
    allowed = static_cast<std::size_t>(std::min<std::int64_t>(room, static_cast<std::int64_t>(n)));
    if (allowed < n) errno = ENOSPC;
  }
  faults.bytes += static_cast<std::int64_t>(allowed);
  return allowed;
}

}  // namespace oio

extern "C" int32_t OIO_CALL oioTestFailWrites(int32_t failingWrite, int64_t byteLimit) {
  oio::WriteFaults& faults = oio::Faults();
  const std::int32_t writes = faults.writes;
  faults = {failingWrite, byteLimit, 0, 0};
  return writes;
}
