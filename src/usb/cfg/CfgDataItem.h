// Base of the configuration-table items: a data object that knows the table
// that owns it. The table holds its items; the item never deletes the table.
#pragma once

#include <string>

#include "schema/data/BaseData.h"

namespace Tessor::usb {

class CfgTable;

class CfgDataItem : public schema::BaseData {
public:
    CfgDataItem(CfgTable* table, const std::string& name);
    CfgDataItem(const CfgDataItem& other) = default;
    CfgDataItem& operator=(const CfgDataItem& other) = default;
    ~CfgDataItem() override;

    CfgTable* getCfgTable() const { return cfgTable; }

protected:
    CfgTable* cfgTable;
};

}  // namespace Tessor::usb
