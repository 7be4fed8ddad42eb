#include "usb/cfg/CfgDataItem.h"

namespace Tessor::usb {

CfgDataItem::CfgDataItem(CfgTable* table, const std::string& name) : BaseData(name), cfgTable(table) {}

CfgDataItem::~CfgDataItem() = default;

}  // namespace Tessor::usb
