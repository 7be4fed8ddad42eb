#include "usb/profile/dpf/DpfLayout.h"

namespace Tessor::schema {

DpfLayout::DpfLayout(const std::string& name, DPF_COORD_ITEM_T type) : BaseData(name), m_type(type)
{
    init();
}

int DpfLayout::init()
{
    m_coordinate = ItemCoordinate{0, 0, 0, 0};
    return 0;
}

}  // namespace Tessor::schema
