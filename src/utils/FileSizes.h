// Sizes the partition editor measures: a folder tree to copy onto a disk
// partition and a CD image to place in a CD-ROM partition. Sizes are 64-bit.
#pragma once

#include <cstdint>
#include <string>

namespace Tessor::utils {

// Bytes of every file in `folder` and its sub-folders; a folder that cannot
// be listed counts 0. `folder` in the system's form (see HostPath).
uint64_t getFolderSize(const std::string& folder);

// Sectors of 512 bytes to reserve for the file at `path`: its size in MB
// rounded up, plus a margin of 6, 15 or 30 MB (below 100, below 200, from
// 200 MB), times 2048. 0 when the file cannot be opened or measured; -1
// when `limitMb` is not 0 and the file is larger, or when the count does not
// fit 32 bits.
int64_t getFileSectorCount(const std::string& path, uint32_t limitMb);

}  // namespace Tessor::utils
