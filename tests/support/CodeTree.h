// Firmware image files made by the test: the external code every variant
// shares and the scan, USB-disk and photo-frame images the station's
// configuration names. The external file is spelled in
// another letter case than the configuration uses. Contents are a pattern
// of the name.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/DpfTree.h"

namespace code_test {

namespace fs = std::filesystem;

// Four whole 4 KB steps and a tail that is not one.
constexpr size_t kExternalSize = 20000;

// Name as the configuration writes it, name on the disk, size.
struct Image {
    std::string configName;
    std::string diskName;
    size_t size;
};

inline const std::vector<Image>& images()
{
    static const std::vector<Image> list = {
        {"releases\\code\\VOR_MP3_Code.img", "code/vor_mp3_code.IMG", kExternalSize},
        {"releases/code/scan_6706.img", "code/scan_6706.img", 2 * 4096},      // two pieces
        {"releases/code/scan_6716.img", "code/scan_6716.img", 4096},          // one piece
        {"releases/code/scan_6605.img", "code/scan_6605.img", 16384},
        {"releases/code/udisk_6706.img", "code/udisk_6706.img", 4096},
        {"releases/code/udisk_6716.img", "code/udisk_6716.img", 4096 + 100},  // a tail
        {"releases/code/udisk_6605.img", "code/udisk_6605.img", 16384},
        {"releases/code/dpf_6716V31.img", "code/dpf_6716V31.img", 2 * 4096},
    };
    return list;
}

inline dpf_test::Bytes contentOf(const Image& image) { return dpf_test::contentOf(image.diskName, image.size); }

inline void makeTree(const fs::path& root)
{
    for (const Image& image : images()) {
        dpf_test::writeFile(root / "releases" / image.diskName, contentOf(image));
    }
}

}  // namespace code_test
