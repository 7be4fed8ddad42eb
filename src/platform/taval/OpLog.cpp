#include "platform/taval/OpLog.h"

namespace Tessor::taval {

const char* opKindName(OpKind kind) {
    static const char* const kNames[] = {
        "ReadVersion", "TableToRam",  "CodeDownload", "FlashId",      "Erase",     "Program",
        "Read",        "LogicalRead", "LogicalWrite", "Switch",       "Protect",   "EjectCommand",
        "EjectOutcome", "IndexTable", "Reset",        "Volume",       "RawRead",   "RawWrite",
        "ScanWrite",   "ScanRead",    "Vendor",      "Copy",
    };
    static_assert(sizeof(kNames) / sizeof(kNames[0]) == size_t(OpKind::Count));
    const int i = int(kind);
    return i >= 0 && i < int(OpKind::Count) ? kNames[i] : "?";
}

void OpLog::add(OpKind kind, int64_t a0, int64_t a1, int64_t a2, bool ok) {
    if (m_entries.size() == kKept) {
        m_entries.pop_front();
    }
    m_entries.push_back({kind, {a0, a1, a2}, ok});
}

}  // namespace Tessor::taval
