#include "schema/dpf/DpfMenuItem.h"

#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

DpfMenuItem::DpfMenuItem(const menu_item_t* record)
    : BaseData(record->name),
      m_id(record->id),
      m_state(record->state != 0),
      m_position(record->position),
      m_subFun(record->subFun),
      m_menuName(record->name)
{
}

DpfMenuItem::DpfMenuItem(const Sptr<DpfMenuItem>& other)
    : BaseData(other->m_menuName),
      m_id(other->m_id),
      m_state(other->m_state),
      m_position(other->m_position),
      m_subFun(other->m_subFun),
      m_menuName(other->m_menuName)
{
}

void DpfMenuItem::debug()
{
    SystemInfo::debug("\t\t\tMenuItem : %s\t Position : %d\tState %s\t(ID : %d)\n", getName(), m_position,
                      m_state ? "Enable" : "Disable", m_id);
}

}  // namespace Tessor::schema
