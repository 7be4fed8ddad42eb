#include "platform/orrin/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <vector>

namespace Tessor {

namespace {

constexpr const char* kNarrow = "GBK";
constexpr const char* kUtf8 = "UTF-8";

// Converts the whole text, or gives an empty result and false when any byte
// does not convert. An incomplete sequence at the end sets `incomplete`.
bool convert(const char* to, const char* from, const std::string& text, std::string* out, bool* incomplete = nullptr)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::vector<char> in(text.begin(), text.end());
    std::vector<char> result(text.size() * 4 + 4);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = result.data();
    size_t outLeft = result.size();
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    iconv_close(cd);
    if (done == static_cast<size_t>(-1)) {
        if (incomplete != nullptr) {
            *incomplete = error == EINVAL;
        }
        return false;
    }
    out->assign(result.data(), result.size() - outLeft);
    return true;
}

// One byte that the code page cannot convert on its own but that is not
// refused outright is the first of two.
std::array<bool, 256> leadBytes()
{
    std::array<bool, 256> table{};
    for (int b = 0x80; b < 0x100; ++b) {
        std::string out;
        bool incomplete = false;
        convert(kUtf8, kNarrow, std::string(1, static_cast<char>(b)), &out, &incomplete);
        table[b] = incomplete;
    }
    return table;
}

}  // namespace

bool CodePage::isLeadByte(unsigned char byte)
{
    static const std::array<bool, 256> table = leadBytes();
    return table[byte];
}

std::string CodePage::toUtf8(const std::string& narrow)
{
    std::string out;
    return toUtf8(narrow, &out) ? out : narrow;
}

std::string CodePage::fromUtf8(const std::string& utf8)
{
    std::string out;
    return fromUtf8(utf8, &out) ? out : utf8;
}

bool CodePage::toUtf8(const std::string& narrow, std::string* utf8)
{
    return convert(kUtf8, kNarrow, narrow, utf8);
}

bool CodePage::fromUtf8(const std::string& utf8, std::string* narrow)
{
    return convert(kNarrow, kUtf8, utf8, narrow);
}

}  // namespace Tessor
