// Opening a settings file that must be a plain file: a folder, a FIFO or a
// device named by mistake is refused at once instead of being read (or
// waited on) as if it were one.
#pragma once

#include <string>

namespace Tessor::IO {

// A read-only descriptor of the file, or -1 with the reason in `reason`;
// `missing` tells a file that does not exist from one that cannot be used.
int openRegularFile(const std::string& path, std::string& reason, bool* missing = nullptr);

}  // namespace Tessor::IO
