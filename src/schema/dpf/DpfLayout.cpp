#include "schema/dpf/DpfLayout.h"

#include "schema/base/SystemInfo.h"

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

void DpfLayout::debug()
{
    SystemInfo::debug("\t\t %s : Top : %d\t Left : %d\tRight : %d\t Bottom : %d\n", getName(), m_coordinate.Top,
                      m_coordinate.Left, m_coordinate.Right, m_coordinate.Bottom);
}

}  // namespace Tessor::schema
