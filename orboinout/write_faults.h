// Write faults for tests: a variant of the library built with
// ORBOINOUT_WRITE_FAULTS lets a test make the file layer's writes fail, as a
// full disk or a failing device would. The shipped library has none of this,
// so nothing in a user's environment can make a save fail on purpose.
#pragma once

#include <stdint.h>

#include <cstddef>

#include "orboinout/orboinout.h"

#ifdef __cplusplus
extern "C" {
#endif

/* From now on the failingWrite-th write (counting from 1) fails writing
 * nothing, and the writes stop once byteLimit bytes went through: the write
 * that crosses the limit writes up to it and fails, as on a full disk. A
 * negative value turns that fault off; (-1, -1) turns both off. Result: the
 * number of writes made since the previous call. */
OIO_API int32_t OIO_CALL oioTestFailWrites(int32_t failingWrite, int64_t byteLimit);

#ifdef __cplusplus
}

namespace oio {
// How many of the n bytes a write may put on the disk; fewer than n fails it,
// with errno set as the system would (EIO, or ENOSPC for a full disk).
std::size_t AllowedWriteBytes(std::size_t n);
}  // namespace oio
#endif
