// Firmware image files made by the test: the external code every variant
// shares and the scan, USB-disk and photo-frame images the station's
// configuration names. The external file is spelled in
// another letter case than the configuration uses. Contents are a pattern
// of the name.
#pragma once

#include <cstddef>
#include <cstdint>
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

// An external-code file as a produced device holds it on its flash: the
// file's whole 4 KB steps, each sealed (its last little-endian word the XOR
// of the others), or on the 6605 (`whole`) the whole file unsealed, padded
// with zeros to whole sectors.
inline dpf_test::Bytes flashCode(dpf_test::Bytes bytes, bool whole)
{
    if (whole) {
        bytes.resize((bytes.size() + 511) / 512 * 512, 0);
        return bytes;
    }
    constexpr size_t kStep = 4096;
    bytes.resize(bytes.size() / kStep * kStep);
    for (size_t piece = 0; piece < bytes.size(); piece += kStep) {
        uint32_t x = 0;
        for (size_t at = piece; at + 4 < piece + kStep; at += 4) {
            x ^= uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
                 uint32_t(bytes[at + 3]) << 24;
        }
        for (int i = 0; i < 4; ++i) {
            bytes[piece + kStep - 4 + size_t(i)] = uint8_t(x >> (8 * i));
        }
    }
    return bytes;
}

// The external code of the tree as it lies on a produced device's flash.
inline dpf_test::Bytes flashCode(bool whole) { return flashCode(contentOf(images().front()), whole); }

}  // namespace code_test
