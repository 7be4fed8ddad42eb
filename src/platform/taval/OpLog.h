// Operations a simulated device ran, with their arguments and results, for
// tests to read back. Keeps the latest entries only, so memory stays flat.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace Tessor::taval {

enum class OpKind {
    ReadVersion,
    TableToRam,
    CodeDownload,
    FlashId,
    Erase,
    Program,
    Read,
    LogicalRead,
    LogicalWrite,
    Switch,
    Protect,
    EjectCommand,
    EjectOutcome,
    IndexTable,
    Reset,
    Volume,
    RawRead,
    RawWrite,
    ScanWrite,
    ScanRead,
    Vendor,
    Copy,
    Count
};

const char* opKindName(OpKind kind);

struct OpRecord {
    OpKind kind;
    int64_t args[3];
    bool ok;
};

class OpLog {
public:
    static constexpr size_t kKept = 4096;

    void add(OpKind kind, int64_t a0, int64_t a1, int64_t a2, bool ok);
    std::vector<OpRecord> entries() const { return {m_entries.begin(), m_entries.end()}; }

private:
    std::deque<OpRecord> m_entries;
};

}  // namespace Tessor::taval
