// Positioned reads and writes on a file descriptor that go on until every
// byte has moved: a transfer an interrupt cuts short is taken up again, and
// only the end of the file or an error stops early (errno then tells which).
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace Tessor::taval {

// The bytes moved, `n` unless the transfer stopped early.
[[nodiscard]] size_t readAt(int fd, void* buf, size_t n, off_t off);
[[nodiscard]] size_t writeAt(int fd, const void* buf, size_t n, off_t off);

}  // namespace Tessor::taval
