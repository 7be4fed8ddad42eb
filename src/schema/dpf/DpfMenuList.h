// One photo-frame menu: its exit style and its entries as children.
#pragma once

#include <string>

#include "schema/dpf/DpfMenuItem.h"

namespace Tessor::schema {

struct menu_list_t {
    const char* name;
    int id;
    int exitStyle;
    const menu_item_t* entries;
};

class DpfMenuList : public BaseData {
public:
    explicit DpfMenuList(const menu_list_t* record);
    ~DpfMenuList() override = default;

    int init() override { return 0; }
    void debug() override;

    MENU_MAIN_ID_T getMenuId() const { return m_id; }
    MENU_EXIT_STYLE_T getStyle() const { return m_style; }
    void setStyle(MENU_EXIT_STYLE_T style) { m_style = style; }
    std::string& getMenuName() { return m_menuName; }
    Sptr<DpfMenuItem> getSubMenuItemAt(int index);
    Sptr<DpfMenuItem> getSubMenuItem(MENU_SUB_ID_T id);

private:
    MENU_MAIN_ID_T m_id;
    MENU_EXIT_STYLE_T m_style;
    std::string m_menuName;
};

}  // namespace Tessor::schema
