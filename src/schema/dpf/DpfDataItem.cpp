#include "schema/dpf/DpfDataItem.h"

#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

void DpfDataItem::debug() { SystemInfo::debug("\tDpf Data File: %s\n", m_fileName.c_str()); }

}  // namespace Tessor::schema
