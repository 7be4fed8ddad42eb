#include "platform/orrin/HostPath.h"

#include <algorithm>
#include <filesystem>
#include <strings.h>
#include <system_error>

#include "platform/orrin/CodePage.h"

namespace Tessor {

namespace fs = std::filesystem;

namespace {

// The entry of `folder` spelt like `part` in any letter case; `part` itself
// when there is none.
std::string matchPart(const fs::path& folder, const std::string& part)
{
    std::error_code ec;
    if (part == "." || part == ".." || fs::exists(folder / part, ec)) {
        return part;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (strcasecmp(name.c_str(), part.c_str()) == 0) {
            return name;
        }
    }
    return part;
}

}  // namespace

std::string HostPath::toHost(const std::string& path)
{
    const std::string text = CodePage::toUtf8(withSlashes(path));
    const bool absolute = !text.empty() && text[0] == '/';
    fs::path result = absolute ? fs::path("/") : fs::path();
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string part = text.substr(start, end - start);
        if (!part.empty()) {
            result /= matchPart(result.empty() ? fs::path(".") : result, part);
        }
        start = end + 1;
    }
    return result.string();
}

std::string HostPath::withSlashes(const std::string& path)
{
    std::string text = path;
    for (size_t i = 0; i < text.size(); ++i) {
        if (CodePage::isLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;  // the second byte of a character may be the code of "\"
        } else if (text[i] == '\\') {
            text[i] = '/';
        }
    }
    return text;
}

bool HostPath::list(const std::string& folder, std::vector<Entry>* entries)
{
    entries->clear();
    std::error_code ec;
    fs::directory_iterator it(toHost(folder.empty() ? "." : folder), ec);
    if (ec) {
        return false;
    }
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        entries->push_back({CodePage::fromUtf8(it->path().filename().string()), it->is_directory(ec)});
    }
    std::sort(entries->begin(), entries->end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

}  // namespace Tessor
