#include "usb/cmd/IndexItem.h"

#include <cstring>

namespace Tessor::usb {

IndexItem::IndexItem() : BaseData("IndexItem")
{
    init();
}

int IndexItem::init()
{
    m_blockNo = 0;
    std::memset(m_table, 0, sizeof(m_table));
    return 0;
}

}  // namespace Tessor::usb
