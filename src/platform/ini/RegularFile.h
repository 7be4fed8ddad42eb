// Opening a settings file that must be a plain file: a folder, a FIFO or a
// device named by mistake is refused at once instead of being read (or
// waited on) as if it were one.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace Tessor::IO {

// A read-only descriptor of the file, or -1 with the reason in `reason`;
// `missing` tells a file that does not exist from one that cannot be used.
[[nodiscard]] int openRegularFile(const std::string& path, std::string& reason, bool* missing = nullptr);

// A stream that writes the file from its start (made when missing, emptied
// when regular), or null with the reason in `reason`. A character device
// such as /dev/null is taken too; a folder, a FIFO, a socket or a block
// device is refused without waiting on it.
[[nodiscard]] FILE* createWritableFile(const std::string& path, std::string& reason);

// Writes the bytes into a temporary file beside `path` and renames it over
// `path`: readers find the old file or the whole new one, never a part of
// it, and a failed write leaves nothing behind. The new file takes the mode
// and owner of `replaced` (the file it replaces), or 0644 without one.
// False with the reason in `reason`; `notCreated` tells a temporary file
// that could not be made (a folder missing or closed) from a failed write.
[[nodiscard]] bool replaceFile(const std::string& path, const void* data, size_t size, const struct stat* replaced,
                 std::string& reason, bool* notCreated = nullptr);

// Makes a regular file as it stands durable: its bytes, and its name in its
// folder, reach the disk, so a power cut keeps it. False with the reason.
[[nodiscard]] bool syncFile(const std::string& path, std::string& reason);

}  // namespace Tessor::IO
