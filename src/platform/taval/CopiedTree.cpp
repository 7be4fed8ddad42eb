#include "platform/taval/CopiedTree.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace Tessor::taval {

namespace fs = std::filesystem;

namespace {

bool sameBytes(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) {
        return false;
    }
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(left), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(right), std::istreambuf_iterator<char>());
}

// A folder copied as a folder, a file as a file with the same bytes.
bool matches(const fs::path& given, const fs::path& copied)
{
    std::error_code ec;
    if (fs::is_directory(given, ec)) {
        return fs::is_directory(copied, ec);
    }
    return fs::is_regular_file(copied, ec) && sameBytes(given, copied);
}

}  // namespace

std::string CopiedTree::firstDifference(const std::string& source, const std::string& readBack)
{
    std::error_code ec;
    const fs::path root(source);
    if (!fs::is_directory(root, ec)) {
        return matches(root, fs::path(readBack) / root.filename()) ? std::string() : root.filename().string();
    }
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path relative = fs::relative(it->path(), root, ec);
        if (!matches(it->path(), fs::path(readBack) / relative)) {
            return relative.string();
        }
    }
    return ec ? "(" + source + " cannot be listed: " + ec.message() + ")" : std::string();
}

}  // namespace Tessor::taval
