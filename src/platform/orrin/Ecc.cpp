#include "platform/orrin/Ecc.h"

#include <array>
#include <cstring>
#include <mutex>

#include "platform/orrin/Sector.h"

namespace {

constexpr int kFieldSize = 1024;
constexpr int kOrder = kFieldSize - 1;
constexpr unsigned kPrimitive = 0x409;  // x^10 + x^3 + 1
constexpr int kParity = 10;
constexpr int kMaxErrors = kParity / 2;
constexpr int kDataBytes = Tessor::SECTOR_BYTES;
constexpr int kMessageBytes = kDataBytes + 3;
constexpr int kMessageSymbols = kMessageBytes * 8 / 10;  // 412
constexpr int kCodeSymbols = kMessageSymbols + kParity;  // 422
constexpr int kParityBit = 24;
constexpr int kZoneBytes = 16;

using Symbol = uint16_t;
using Parity = std::array<Symbol, kParity>;

// The encoder's register: ten 16-bit lanes in three words, lane i holding
// the remainder's coefficient of x^(9 - i).
struct Lanes {
    uint64_t w[3];
};

// Symbols the encoder takes per step. Their table look-ups are independent,
// which is what breaks the one-look-up-per-symbol dependency chain.
constexpr int kSlice = 2;

struct Tables {
    // Doubled so a sum of two logs needs no reduction.
    std::array<Symbol, 2 * kOrder> exp{};
    std::array<int, kFieldSize> log{};
    // slice[i][x]: what effective input x at position i of a step adds to
    // the register once the step is over.
    std::array<std::array<Lanes, kFieldSize>, kSlice> slice{};
};

Tables gTables;
std::once_flag gTablesOnce;

Symbol mul(const Tables& t, Symbol a, Symbol b)
{
    return (a == 0 || b == 0) ? 0 : t.exp[t.log[a] + t.log[b]];
}

Symbol div(const Tables& t, Symbol a, Symbol b)
{
    return a == 0 ? 0 : t.exp[t.log[a] + kOrder - t.log[b]];
}

// alpha^e for any e >= 0.
Symbol power(const Tables& t, int e)
{
    return t.exp[e % kOrder];
}

Symbol lane(const Lanes& r, int i)
{
    return static_cast<Symbol>(r.w[i / 4] >> (16 * (i % 4)));
}

// The register moved n lanes towards lane 0, zeros coming in.
template <int n>
Lanes shifted(const Lanes& r)
{
    static_assert(n > 0 && n < 4);
    constexpr int bits = 16 * n;
    return {{(r.w[0] >> bits) | (r.w[1] << (64 - bits)), (r.w[1] >> bits) | (r.w[2] << (64 - bits)), r.w[2] >> bits}};
}

void xorInto(Lanes& r, const Lanes& add)
{
    r.w[0] ^= add.w[0];
    r.w[1] ^= add.w[1];
    r.w[2] ^= add.w[2];
}

void buildTables()
{
    Tables& t = gTables;
    unsigned value = 1;
    for (int i = 0; i < kOrder; ++i) {
        t.exp[i] = static_cast<Symbol>(value);
        t.exp[i + kOrder] = static_cast<Symbol>(value);
        t.log[value] = i;
        value <<= 1;
        if (value & kFieldSize) {
            value ^= kPrimitive;
        }
    }
    t.log[0] = 0;  // never consulted: mul/div test for zero first

    // g(x) = (x - a^1)(x - a^2)..(x - a^10); gen[k] is the coefficient of x^k.
    std::array<Symbol, kParity + 1> gen{};
    gen[0] = 1;
    for (int r = 1; r <= kParity; ++r) {
        const Symbol root = t.exp[r];
        for (int k = r; k > 0; --k) {
            gen[k] = gen[k - 1] ^ mul(t, gen[k], root);
        }
        gen[0] = mul(t, gen[0], root);
    }
    // One-symbol step table: x times each generator coefficient.
    std::array<Lanes, kFieldSize> single{};
    for (int x = 0; x < kFieldSize; ++x) {
        for (int i = 0; i < kParity; ++i) {
            single[x].w[i / 4] |= uint64_t(mul(t, static_cast<Symbol>(x), gen[kParity - 1 - i])) << (16 * (i % 4));
        }
    }
    // An input early in a step goes through the remaining steps with no input.
    t.slice[kSlice - 1] = single;
    for (int i = kSlice - 2; i >= 0; --i) {
        for (int x = 0; x < kFieldSize; ++x) {
            const Lanes& next = t.slice[i + 1][x];
            t.slice[i][x] = shifted<1>(next);
            xorInto(t.slice[i][x], single[lane(next, 0)]);
        }
    }
}

const Tables& tables()
{
    std::call_once(gTablesOnce, buildTables);
    return gTables;
}

inline void step(const Tables& t, Lanes& reg, const Symbol* sym)
{
    Lanes next = shifted<kSlice>(reg);
    for (int i = 0; i < kSlice; ++i) {
        xorInto(next, t.slice[i][sym[i] ^ (lane(reg, i) & 0x3FF)]);
    }
    reg = next;
}

// Four 10-bit symbols from five bytes of the little-endian bit stream.
inline void stepGroup(const Tables& t, Lanes& reg, const uint8_t* p)
{
    uint32_t low;
    std::memcpy(&low, p, sizeof low);
    const uint64_t bits = (uint64_t(p[4]) << 32) | low;
    const Symbol sym[4] = {Symbol(bits & 0x3FF), Symbol((bits >> 10) & 0x3FF), Symbol((bits >> 20) & 0x3FF),
                           Symbol((bits >> 30) & 0x3FF)};
    static_assert(4 % kSlice == 0);
    for (int i = 0; i < 4; i += kSlice) {
        step(t, reg, sym + i);
    }
}

// Remainder of message(x) * x^10 divided by the generator.
Parity computeParity(const uint8_t* sector, const uint8_t* zone)
{
    const Tables& t = tables();
    Lanes reg{};
    constexpr int kFullGroups = kDataBytes / 5;  // 102; the last group straddles into the zone
    for (int g = 0; g < kFullGroups; ++g) {
        stepGroup(t, reg, sector + 5 * g);
    }
    const uint8_t tail[5] = {sector[kDataBytes - 2], sector[kDataBytes - 1], zone[0], zone[1], zone[2]};
    stepGroup(t, reg, tail);
    Parity p;
    for (int i = 0; i < kParity; ++i) {
        p[i] = lane(reg, i);
    }
    return p;
}

Parity readParity(const uint8_t* zone)
{
    Parity p;
    for (int i = 0; i < kParity; ++i) {
        p[i] = Tessor::Ecc::zoneCode(zone, i);
    }
    return p;
}

void writeParity(const Parity& p, uint8_t* zone)
{
    std::memset(zone + 3, 0, kZoneBytes - 3);
    for (int i = 0; i < kParity; ++i) {
        uint8_t* word = zone + 3 + 10 * i / 8;
        const unsigned v = unsigned(p[i]) << (10 * i % 8);
        word[0] |= static_cast<uint8_t>(v);
        word[1] |= static_cast<uint8_t>(v >> 8);
    }
}

// Flips the bits of `value` into codeword symbol `pos` (0 = first data symbol).
void applyError(uint8_t* sector, uint8_t* zone, int pos, Symbol value)
{
    const int first = pos < kMessageSymbols ? 10 * pos : kDataBytes * 8 + kParityBit + 10 * (pos - kMessageSymbols);
    for (int b = 0; b < 10; ++b) {
        if ((value >> b) & 1) {
            const int bit = first + b;
            const int byte = bit / 8;
            uint8_t* target = byte < kDataBytes ? sector + byte : zone + (byte - kDataBytes);
            *target ^= static_cast<uint8_t>(1u << (bit % 8));
        }
    }
}

struct Locator {
    std::array<Symbol, kParity + 1> coef{};
    int degree = 0;
};

// Berlekamp-Massey over the syndromes S_1..S_10 (s[0] = S_1).
Locator berlekampMassey(const Tables& t, const Parity& s)
{
    Locator lambda;
    lambda.coef[0] = 1;
    std::array<Symbol, kParity + 1> prev{};
    prev[0] = 1;
    Symbol prevDiscrepancy = 1;
    int shift = 1;
    for (int n = 0; n < kParity; ++n) {
        Symbol d = s[n];
        for (int i = 1; i <= lambda.degree; ++i) {
            d ^= mul(t, lambda.coef[i], s[n - i]);
        }
        if (d == 0) {
            ++shift;
            continue;
        }
        const Symbol scale = div(t, d, prevDiscrepancy);
        const auto before = lambda.coef;
        for (int i = 0; i + shift <= kParity; ++i) {
            lambda.coef[i + shift] ^= mul(t, scale, prev[i]);
        }
        if (2 * lambda.degree <= n) {
            lambda.degree = n + 1 - lambda.degree;
            prev = before;
            prevDiscrepancy = d;
            shift = 1;
        } else {
            ++shift;
        }
    }
    return lambda;
}

Symbol evaluate(const Tables& t, const Symbol* coef, int degree, Symbol x)
{
    Symbol acc = 0;
    for (int i = degree; i >= 0; --i) {
        acc = mul(t, acc, x) ^ coef[i];
    }
    return acc;
}

struct ErrorFound {
    int pos;
    Symbol value;
};

// Locates and sizes the errors; false when the pattern is beyond the code.
bool solve(const Tables& t, const Parity& s, std::array<ErrorFound, kMaxErrors>& found, int& count)
{
    const Locator lambda = berlekampMassey(t, s);
    if (lambda.degree > kMaxErrors) {
        return false;
    }
    // Omega(x) = S(x) * Lambda(x) mod x^10.
    std::array<Symbol, kParity> omega{};
    for (int i = 0; i < kParity; ++i) {
        for (int j = 0; j <= lambda.degree && j <= i; ++j) {
            omega[i] ^= mul(t, s[i - j], lambda.coef[j]);
        }
    }
    // Lambda'(x): only the odd terms survive in characteristic 2.
    std::array<Symbol, kParity> derivative{};
    for (int i = 1; i <= lambda.degree; i += 2) {
        derivative[i - 1] = lambda.coef[i];
    }

    count = 0;
    for (int pos = 0; pos < kCodeSymbols; ++pos) {
        const int degree = kCodeSymbols - 1 - pos;
        const Symbol inverse = power(t, kOrder - degree);
        if (evaluate(t, lambda.coef.data(), lambda.degree, inverse) != 0) {
            continue;
        }
        const Symbol denom = evaluate(t, derivative.data(), kParity - 1, inverse);
        const Symbol value = denom == 0 ? 0 : div(t, evaluate(t, omega.data(), kParity - 1, inverse), denom);
        if (value == 0) {
            return false;
        }
        found[count++] = {pos, value};
    }
    // Roots outside the shortened range mean more errors than the code sees.
    if (count != lambda.degree) {
        return false;
    }
    // The pattern must reproduce every syndrome, or it is no codeword.
    for (int j = 1; j <= kParity; ++j) {
        Symbol sum = 0;
        for (int k = 0; k < count; ++k) {
            sum ^= mul(t, found[k].value, power(t, j * (kCodeSymbols - 1 - found[k].pos)));
        }
        if (sum != s[j - 1]) {
            return false;
        }
    }
    return true;
}

}  // namespace

void generateEccCode(const uint8_t* sector512, uint8_t* zone16)
{
    writeParity(computeParity(sector512, zone16), zone16);
}

namespace Tessor::Ecc {

uint16_t zoneCode(const uint8_t* zone16, int i)
{
    const uint8_t* word = zone16 + 3 + 10 * i / 8;
    const unsigned w = word[0] | (unsigned(word[1]) << 8);
    return static_cast<uint16_t>((w >> (10 * i % 8)) & 0x3FF);
}

Result checkAndCorrect(uint8_t* sector512, uint8_t* zone16, int* corrected)
{
    if (corrected) {
        *corrected = 0;
    }
    const Parity computed = computeParity(sector512, zone16);
    const Parity stored = readParity(zone16);
    if (computed == stored) {
        return Result::Clean;
    }
    // The received word differs from a codeword by computed + stored, a
    // polynomial of degree < 10, so its syndromes are that one's values.
    const Tables& t = tables();
    Parity syndromes{};
    for (int j = 1; j <= kParity; ++j) {
        Symbol acc = 0;
        for (int i = 0; i < kParity; ++i) {
            acc = mul(t, acc, t.exp[j]) ^ (computed[i] ^ stored[i]);
        }
        syndromes[j - 1] = acc;
    }
    std::array<ErrorFound, kMaxErrors> found{};
    int count = 0;
    if (!solve(t, syndromes, found, count)) {
        return Result::Uncorrectable;
    }
    for (int k = 0; k < count; ++k) {
        applyError(sector512, zone16, found[k].pos, found[k].value);
    }
    if (corrected) {
        *corrected = count;
    }
    return Result::Corrected;
}

}  // namespace Tessor::Ecc
