// All photo-frame menus, built from the frame's built-in menu table.
#pragma once

#include <string>

#include "schema/dpf/DpfMenuList.h"

namespace Tessor::schema {

class DpfMenuCfg : public BaseData {
public:
    explicit DpfMenuCfg(const std::string& name);
    ~DpfMenuCfg() override = default;

    int init() override { return 0; }
    void debug() override;

    Sptr<DpfMenuList> getMenuListAt(int index);
    Sptr<DpfMenuList> getMenuList(MENU_MAIN_ID_T id);
    Sptr<DpfMenuItem> getSubMenuItem(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId);
};

}  // namespace Tessor::schema
