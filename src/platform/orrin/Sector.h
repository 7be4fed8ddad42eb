// The one sector size of the flash, the disks the tool builds and the files
// it writes in sectors.
#pragma once

namespace Tessor {

constexpr int SECTOR_BYTES = 512;

}  // namespace Tessor
