#include "schema/dpf/DpfMenuList.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

DpfMenuList::DpfMenuList(const menu_list_t* record)
    : BaseData(record->name), m_id(record->id), m_style(record->exitStyle), m_menuName(record->name)
{
    for (const menu_item_t* entry = record->entries; entry && entry->name && entry->id != -1; ++entry) {
        addData(Sptr<BaseData>(new DpfMenuItem(entry)));
    }
}

Sptr<DpfMenuItem> DpfMenuList::getSubMenuItemAt(int index)
{
    Sptr<BaseData> child = getData(index);
    if (!child) {
        CPLOG(4, "SubMenu with Index of %d is not exist in mainMenu %s", index, getName());
        return Sptr<DpfMenuItem>();
    }
    Sptr<DpfMenuItem> item = child;
    TESSOR_ASSERT(item);
    return item;
}

Sptr<DpfMenuItem> DpfMenuList::getSubMenuItem(MENU_SUB_ID_T id)
{
    for (int index = 0;; ++index) {
        Sptr<DpfMenuItem> item = getSubMenuItemAt(index);
        if (!item) {
            CPLOG(4, "SubMenu with ID %d  is not found in main Menu of '%s'", id, getName());
            return item;
        }
        if (item->getMenuId() == id) {
            return item;
        }
    }
}

void DpfMenuList::debug()
{
    SystemInfo::debug("\t\tMainMenu : %s\t ExitStyle : %s\t ID : %d\n", getName(),
                      m_style == 1 ? "Return2PhotoShow" : "Return2LastLevel", m_id);
    for (int index = 0; index < getCount(); ++index) {
        getSubMenuItemAt(index)->debug();
    }
}

}  // namespace Tessor::schema
