// Golden records written as hex text, so a test reads like the byte tables.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<uint8_t> hexBytes(const std::string& text)
{
    std::vector<uint8_t> out;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        out.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return out;
}

inline std::vector<uint8_t> firstBytes(const std::vector<uint8_t>& buffer, size_t n)
{
    return std::vector<uint8_t>(buffer.begin(), buffer.begin() + static_cast<long>(n));
}

// Records compared as hex text, so a failure shows the bytes as the tables do.
inline std::string hexText(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}
