// The e-book reader's settings; its children are the e-book files.
#pragma once

#include <cstdint>

#include "schema/dpf/DpfDataItem.h"

namespace Tessor::schema {

class DpfEBookCfg : public DpfDataItem {
public:
    explicit DpfEBookCfg(const std::string& name) : DpfDataItem(name) { init(); }
    // Named "DpfEBookCfg", with the other's three settings.
    explicit DpfEBookCfg(const Sptr<DpfEBookCfg>& other)
        : DpfDataItem("DpfEBookCfg"),
          MaxBookCount(other->MaxBookCount),
          SelectedBookId(other->SelectedBookId),
          CursorOffset(other->CursorOffset)
    {
    }
    ~DpfEBookCfg() override = default;

    int init() override;
    void debug() override;

    uint8_t MaxBookCount;
    uint8_t SelectedBookId;
    int32_t CursorOffset;
};

}  // namespace Tessor::schema
