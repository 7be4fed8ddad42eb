// The working folder of a test station: the firmware tree is written into it
// and the process works there while the object lives; on leaving, the code
// factory built from that tree is dropped and the process goes back.
#pragma once

#include <filesystem>

#include "support/CodeTree.h"
#include "usb/cfg/CodeFactory.h"

namespace code_test {

class StationFolder {
public:
    explicit StationFolder(const fs::path& folder) : m_before(fs::current_path())
    {
        makeTree(folder);
        fs::current_path(folder);
    }
    ~StationFolder()
    {
        delete Tessor::usb::CodeFactory::instance();
        fs::current_path(m_before);
    }
    StationFolder(const StationFolder&) = delete;
    StationFolder& operator=(const StationFolder&) = delete;

private:
    fs::path m_before;
};

}  // namespace code_test
