// The e-book reader's settings; its children are the e-book files.
#pragma once

#include <cstdint>

#include "schema/dpf/DpfDataItem.h"

namespace Tessor::schema {

class DpfEBookCfg : public DpfDataItem {
public:
    explicit DpfEBookCfg(const std::string& name) : DpfDataItem(name) { init(); }
    ~DpfEBookCfg() override = default;

    int init() override;
    void debug() override;

    uint8_t MaxBookCount;
    uint8_t SelectedBookId;
    int32_t CursorOffset;
};

}  // namespace Tessor::schema
