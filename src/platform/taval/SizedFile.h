// Opens one of a device's files whose size its description fixes. A missing
// file is made at that size (sparse) when writing is allowed; a file of
// another size is refused with both sizes named and left as it is.
#pragma once

#include <cstdint>
#include <string>

namespace Tessor::taval {

// The open descriptor, or -1 with `error` set; `created` (when given) tells
// whether the file was made just now.
[[nodiscard]] int openSizedFile(const std::string& path, int64_t bytes, bool writable, std::string* error,
                  bool* created = nullptr);

// True while the open file still has its size; false, logged, once something
// outside cut it (a write past its end would only make a hole that reads as
// blank) or grew it.
[[nodiscard]] bool keepsSize(int fd, int64_t bytes, const std::string& path);

}  // namespace Tessor::taval
