#include "platform/orrin/Ecc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

using Tessor::Ecc::checkAndCorrect;
using Tessor::Ecc::Result;
using Tessor::Ecc::zoneCode;

namespace {

constexpr int kMessageSymbols = 412;
constexpr int kCodeSymbols = 422;

struct Sector {
    std::array<uint8_t, 512> data{};
    std::array<uint8_t, 16> zone{};

    bool operator==(const Sector&) const = default;

    uint8_t& byteAt(int i) { return i < 512 ? data[i] : zone[i - 512]; }
    uint8_t byteAt(int i) const { return i < 512 ? data[i] : zone[i - 512]; }

    // Data, then zone bytes 0..2 carry the message symbols; parity sits from zone bit 24.
    static int firstBit(int pos)
    {
        return pos < kMessageSymbols ? 10 * pos : 512 * 8 + 24 + 10 * (pos - kMessageSymbols);
    }

    uint16_t symbol(int pos) const
    {
        const int first = firstBit(pos);
        uint16_t v = 0;
        for (int b = 0; b < 10; ++b) {
            v |= uint16_t((byteAt((first + b) / 8) >> ((first + b) % 8)) & 1) << b;
        }
        return v;
    }

    void flip(int pos, uint16_t value)
    {
        const int first = firstBit(pos);
        for (int b = 0; b < 10; ++b) {
            if ((value >> b) & 1) {
                byteAt((first + b) / 8) ^= uint8_t(1u << ((first + b) % 8));
            }
        }
    }

    void encode() { generateEccCode(data.data(), zone.data()); }
    Result check(int* corrected = nullptr) { return checkAndCorrect(data.data(), zone.data(), corrected); }
};

Sector randomSector(std::mt19937& rng)
{
    Sector s;
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& b : s.data) {
        b = uint8_t(byte(rng));
    }
    for (auto& b : s.zone) {
        b = uint8_t(byte(rng));
    }
    s.encode();
    return s;
}

// Field product by shift and reduce, independent of the codec's tables.
uint16_t slowMul(uint16_t a, uint16_t b)
{
    unsigned r = 0;
    for (int i = 0; i < 10; ++i) {
        if ((b >> i) & 1) {
            r ^= unsigned(a) << i;
        }
    }
    for (int i = 18; i >= 10; --i) {
        if ((r >> i) & 1) {
            r ^= 0x409u << (i - 10);
        }
    }
    return uint16_t(r);
}

uint16_t slowPower(int e)
{
    uint16_t v = 1;
    for (int i = 0; i < e; ++i) {
        v = slowMul(v, 2);
    }
    return v;
}

// Distinct random positions with random non-zero values.
std::vector<std::pair<int, uint16_t>> randomErrors(std::mt19937& rng, int n)
{
    std::vector<int> positions(kCodeSymbols);
    for (int i = 0; i < kCodeSymbols; ++i) {
        positions[i] = i;
    }
    std::shuffle(positions.begin(), positions.end(), rng);
    std::uniform_int_distribution<int> value(1, 1023);
    std::vector<std::pair<int, uint16_t>> errors;
    for (int i = 0; i < n; ++i) {
        errors.emplace_back(positions[i], uint16_t(value(rng)));
    }
    return errors;
}

// Runs first so the tables are built while several threads race for them.
TEST(Ecc, ConcurrentUseFromFirstCallAgrees)
{
    std::mt19937 rng(7);
    const Sector original = randomSector(rng);
    std::vector<std::thread> threads;
    std::array<bool, 4> ok{};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            bool good = true;
            for (int i = 0; i < 50; ++i) {
                Sector s = original;
                s.encode();
                s.flip((t * 97 + i) % kCodeSymbols, uint16_t(1 + i));
                int fixed = 0;
                good = good && s.check(&fixed) == Result::Corrected && fixed == 1 && s == original;
            }
            ok[t] = good;
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    for (bool good : ok) {
        EXPECT_TRUE(good);
    }
}

TEST(Ecc, EncodeKeepsPresetBytesAndClearsSpareBits)
{
    std::mt19937 rng(1);
    Sector s = randomSector(rng);
    s.zone = {0x5A, 0xA9, 0x40, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    s.encode();
    EXPECT_EQ(s.zone[0], 0x5A);
    EXPECT_EQ(s.zone[1], 0xA9);
    EXPECT_EQ(s.zone[2], 0x40);
    EXPECT_EQ(s.zone[15] & 0xF0, 0);

    // The same message encodes the same whatever the zone held before.
    Sector again = s;
    std::fill(again.zone.begin() + 3, again.zone.end(), 0);
    again.encode();
    EXPECT_EQ(again, s);
}

TEST(Ecc, EncodedSectorIsACodewordAndReaderSeesThePackedCodes)
{
    std::mt19937 rng(2);
    for (int round = 0; round < 3; ++round) {
        const Sector s = randomSector(rng);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(zoneCode(s.zone.data(), i), s.symbol(kMessageSymbols + i)) << "code " << i;
        }
        // c(x) = sum of symbol(pos) x^(421 - pos) vanishes at alpha^1..alpha^10.
        for (int j = 1; j <= 10; ++j) {
            const uint16_t x = slowPower(j);
            uint16_t acc = 0;
            for (int pos = 0; pos < kCodeSymbols; ++pos) {
                acc = slowMul(acc, x) ^ s.symbol(pos);
            }
            EXPECT_EQ(acc, 0) << "root alpha^" << j;
        }
    }
}

struct Case {
    const char* name;
    std::vector<std::pair<int, uint16_t>> errors;
};

TEST(Ecc, CorrectsChosenPatternsOfUpToFiveSymbols)
{
    // 0 first data symbol, 408 last all-data symbol, 409 straddles data and
    // zone byte 0, 410..411 zone bytes 0..2, 412..421 parity.
    const std::vector<Case> cases = {
        {"clean", {}},
        {"first data symbol", {{0, 0x3FF}}},
        {"last data symbol", {{408, 0x001}}},
        {"symbol across data and zone", {{409, 0x2AA}}},
        {"zone byte 2", {{411, 0x200}}},
        {"first parity", {{412, 0x155}}},
        {"last parity", {{421, 0x3FF}}},
        {"two at the ends", {{0, 0x001}, {421, 0x200}}},
        {"three in zone bytes", {{409, 0x3C0}, {410, 0x0FF}, {411, 0x3FF}}},
        {"four adjacent data", {{100, 1}, {101, 2}, {102, 3}, {103, 4}}},
        {"five parity", {{412, 9}, {414, 0x3FF}, {416, 0x100}, {419, 7}, {421, 0x81}}},
        {"five spread", {{0, 0x3FF}, {205, 0x12}, {409, 0x3FF}, {411, 1}, {421, 0x3FF}}},
    };
    std::mt19937 rng(3);
    const Sector original = randomSector(rng);
    for (const Case& c : cases) {
        Sector s = original;
        for (auto [pos, value] : c.errors) {
            s.flip(pos, value);
        }
        int fixed = -1;
        const Result r = s.check(&fixed);
        EXPECT_EQ(r, c.errors.empty() ? Result::Clean : Result::Corrected) << c.name;
        EXPECT_EQ(fixed, int(c.errors.size())) << c.name;
        EXPECT_EQ(s, original) << c.name;
    }
}

TEST(Ecc, WholeByteDamageInZonePresetIsCorrected)
{
    std::mt19937 rng(4);
    const Sector original = randomSector(rng);
    Sector s = original;
    s.zone[0] ^= 0xFF;
    s.zone[1] ^= 0xFF;
    s.zone[2] ^= 0xFF;
    EXPECT_EQ(s.check(), Result::Corrected);
    EXPECT_EQ(s, original);
}

TEST(Ecc, RandomSweepCorrectsOneToFiveErrors)
{
    std::mt19937 rng(20261210);
    int failures = 0;
    for (int round = 0; round < 4000; ++round) {
        const Sector original = randomSector(rng);
        const int n = 1 + round % 5;
        Sector s = original;
        for (auto [pos, value] : randomErrors(rng, n)) {
            s.flip(pos, value);
        }
        int fixed = 0;
        if (s.check(&fixed) != Result::Corrected || fixed != n || !(s == original)) {
            ++failures;
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(Ecc, SixErrorsAreNeverPassedAsClean)
{
    const std::vector<Case> chosen = {
        {"six data", {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}},
        {"six spread", {{0, 0x3FF}, {100, 5}, {300, 0x80}, {409, 3}, {412, 0x3FF}, {421, 1}}},
        {"six parity", {{412, 1}, {413, 2}, {414, 3}, {415, 4}, {416, 5}, {417, 6}}},
    };
    std::mt19937 rng(5);
    const Sector original = randomSector(rng);
    for (const Case& c : chosen) {
        Sector s = original;
        for (auto [pos, value] : c.errors) {
            s.flip(pos, value);
        }
        const Sector damaged = s;
        EXPECT_EQ(s.check(), Result::Uncorrectable) << c.name;
        EXPECT_EQ(s, damaged) << c.name << ": an uncorrectable sector is left as read";
    }

    // A distance-11 code sees every 6-error pattern; a few may land within
    // 5 of another codeword, and those must at least end on a codeword.
    constexpr int kPatterns = 20000;
    int detected = 0;
    int wrong = 0;
    for (int round = 0; round < kPatterns; ++round) {
        const Sector base = randomSector(rng);
        Sector s = base;
        for (auto [pos, value] : randomErrors(rng, 6)) {
            s.flip(pos, value);
        }
        const Result r = s.check();
        ASSERT_NE(r, Result::Clean);
        if (r == Result::Uncorrectable) {
            ++detected;
        } else {
            ++wrong;
            EXPECT_NE(s, base);
            EXPECT_EQ(s.check(), Result::Clean);
        }
    }
    std::printf("six-error patterns detected: %d of %d (%d miscorrected)\n", detected, kPatterns, wrong);
    EXPECT_GE(detected, kPatterns * 999 / 1000);
}

}  // namespace
