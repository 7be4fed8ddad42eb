// A photo-frame resource tree made by the test: every data file of the
// factory's table at its declared size (some folders in another letter
// case, one font larger than declared), photos, books with single- and
// double-byte titles and a logo movie. Contents are a pattern of the path.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "schema/dpf/DpfDataFactory.h"
#include "schema/dpf/DpfDataFile.h"

namespace dpf_test {

namespace fs = std::filesystem;

using Bytes = std::vector<unsigned char>;

inline Bytes contentOf(const std::string& key, size_t size)
{
    Bytes bytes(size);
    uint32_t x = static_cast<uint32_t>(std::hash<std::string>()(key)) | 1u;
    for (unsigned char& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 16);
    }
    return bytes;
}

// The file's bytes then zero bytes up to its whole even sector count.
inline Bytes padded(const Bytes& bytes, size_t sectors = 0)
{
    Bytes out(bytes);
    const size_t own = static_cast<size_t>(Tessor::schema::DpfDataFile::sectorsOf(static_cast<int>(bytes.size())));
    out.resize(std::max(own, sectors) * 512, 0);
    return out;
}

inline void writeFile(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

struct Book {
    std::string utf8Name;  // on the disk
    std::string title;     // expected on the flash, GBK
    size_t size;
};

// Sorted as the folder scan sorts them (by their GBK bytes).
inline const std::vector<Book>& books()
{
    static const std::vector<Book> list = {
        {"abc.txt", "abc", 1000},
        // "a" and six Chinese characters: cut after the fourth
        {"a\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE4\xBD\x93\xE5\xA5\xBD\xE7\x9C\x8B.txt",
         "a\xD6\xD0\xCE\xC4\xD7\xD6\xCC\xE5", 300 * 512 - 100},
        // six characters whose second byte is below 0x80: five fit
        {"\xE4\xB8\x82\xE4\xB8\x82\xE4\xB8\x82\xE4\xB8\x82\xE4\xB8\x82\xE4\xB8\x82.txt",
         "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40", 7000},
    };
    return list;
}

inline const std::vector<std::pair<std::string, size_t>>& photos()
{
    static const std::vector<std::pair<std::string, size_t>> list = {
        {"p1.img", 32768}, {"p2.img", 20000}, {"p3.img", 32768}};
    return list;
}

constexpr size_t kMovieSize = 10000;
// A font file larger than its declared 64 sectors.
const std::string kBigFont = "menu\\hzk\\HZK126.BIN";
constexpr size_t kBigFontSize = 200 * 512;

// The path on the disk of a data file of the table, with the English main
// menus in a folder of another letter case.
inline std::string diskPath(std::string file)
{
    const std::string from = "english\\MainMenu\\";
    if (file.compare(5, from.size(), from) == 0) {
        file.replace(5, from.size(), "english\\mainMenu\\");
    }
    std::replace(file.begin(), file.end(), '\\', '/');
    return file;
}

inline size_t sizeOf(const std::string& file, int declaredSectors)
{
    return file == kBigFont ? kBigFontSize : static_cast<size_t>(declaredSectors) * 512;
}

// The data files of area `type`, one after another as the flash holds them.
inline Bytes areaContent(int type)
{
    Bytes all;
    for (const auto* row = Tessor::schema::DpfDataFactory::table(); row->type != -1; ++row) {
        if (row->type != type) {
            continue;
        }
        for (const auto* item = row->items; item->sectors > 0; ++item) {
            const Bytes file = padded(contentOf(item->file, sizeOf(item->file, item->sectors)));
            all.insert(all.end(), file.begin(), file.end());
        }
    }
    return all;
}

// Writes the tree under root/releases/dpf, and the folder the pages draw
// their working bitmaps in.
inline void makeTree(const fs::path& root)
{
    fs::create_directories(root / "releases" / "res");
    const fs::path dpf = root / "releases" / "dpf";
    for (const auto* row = Tessor::schema::DpfDataFactory::table(); row->type != -1; ++row) {
        for (const auto* item = row->items; item->sectors > 0; ++item) {
            writeFile(dpf / diskPath(item->file), contentOf(item->file, sizeOf(item->file, item->sectors)));
        }
    }
    for (const auto& [name, size] : photos()) {
        writeFile(dpf / "photo" / name, contentOf(name, size));
    }
    for (const Book& book : books()) {
        writeFile(dpf / "ebook" / book.utf8Name, contentOf(book.title, book.size));
    }
    writeFile(dpf / "movie" / "logo.img", contentOf("movie", kMovieSize));
}

}  // namespace dpf_test
