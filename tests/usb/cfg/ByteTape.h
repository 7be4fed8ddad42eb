// Builds an expected record segment by segment, in the order of a layout table.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

class ByteTape {
public:
    ByteTape& bytes(std::initializer_list<int> values)
    {
        for (int v : values) {
            m_bytes.push_back(static_cast<uint8_t>(v));
        }
        return *this;
    }
    ByteTape& be16(unsigned v) { return bytes({int(v >> 8) & 0xFF, int(v) & 0xFF}); }
    ByteTape& be32(unsigned v) { return be16(v >> 16).be16(v & 0xFFFF); }
    ByteTape& zeros(int n) { return fill(0, n); }
    ByteTape& fill(int value, int n)
    {
        m_bytes.insert(m_bytes.end(), n, static_cast<uint8_t>(value));
        return *this;
    }
    // n bytes counting up from `first`.
    ByteTape& run(int first, int n)
    {
        for (int i = 0; i < n; ++i) {
            m_bytes.push_back(static_cast<uint8_t>(first + i));
        }
        return *this;
    }
    const std::vector<uint8_t>& get() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};
