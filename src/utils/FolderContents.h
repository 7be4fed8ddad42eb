// Emptying a folder of the resource tree before a page refills it.
#pragma once

#include <string>

namespace Tessor::utils {

// Deletes every file and sub-folder below `folder` (the system's form, see
// HostPath); the folder itself stays. What cannot be deleted stays and the
// walk goes on; a linked folder is removed as a link, never walked into.
// Always 1.
int deleteFolderContents(const std::string& folder);

}  // namespace Tessor::utils
