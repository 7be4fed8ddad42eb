#include "platform/orrin/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <mutex>
#include <vector>

namespace Tessor {

namespace {

constexpr const char* kNarrow = "GBK";
constexpr const char* kUtf8 = "UTF-8";

// One converter each way for the whole process, opened once and never
// closed: opening and closing one per call loads and unloads the C library's
// converter modules, which threads converting at once race on.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}

    // Converts the whole text, or gives an empty result and false when any
    // byte does not convert. An incomplete sequence at the end sets
    // `incomplete`.
    bool convert(const std::string& text, std::string* out, bool* incomplete)
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        std::vector<char> in(text.begin(), text.end());
        std::vector<char> result(text.size() * 4 + 4);
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = result.data();
        size_t outLeft = result.size();
        std::lock_guard<std::mutex> guard(m_lock);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        const size_t done = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (done == static_cast<size_t>(-1)) {
            if (incomplete != nullptr) {
                *incomplete = errno == EINVAL;
            }
            return false;
        }
        out->assign(result.data(), result.size() - outLeft);
        return true;
    }

private:
    std::mutex m_lock;
    iconv_t m_cd;
};

struct Converters {
    Converter toUtf8{kUtf8, kNarrow};
    Converter fromUtf8{kNarrow, kUtf8};
};

Converters& converters()
{
    static Converters* both = new Converters();  // never destroyed: threads may convert during exit
    return *both;
}

// One byte that the code page cannot convert on its own but that is not
// refused outright is the first of two.
std::array<bool, 256> leadBytes()
{
    std::array<bool, 256> table{};
    for (int b = 0x80; b < 0x100; ++b) {
        std::string out;
        bool incomplete = false;
        converters().toUtf8.convert(std::string(1, static_cast<char>(b)), &out, &incomplete);
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
    return converters().toUtf8.convert(narrow, utf8, nullptr);
}

bool CodePage::fromUtf8(const std::string& utf8, std::string* narrow)
{
    return converters().fromUtf8.convert(utf8, narrow, nullptr);
}

}  // namespace Tessor
