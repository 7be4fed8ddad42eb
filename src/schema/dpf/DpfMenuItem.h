// One entry of a photo-frame menu.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

typedef int MENU_MAIN_ID_T;
typedef int MENU_SUB_ID_T;
typedef int MENU_EXIT_STYLE_T;

struct menu_item_t {
    const char* name;
    int id;
    unsigned char state;
    int position;
    int subFun;
};

class DpfMenuItem : public BaseData {
public:
    explicit DpfMenuItem(const menu_item_t* record);
    explicit DpfMenuItem(const Sptr<DpfMenuItem>& other);
    ~DpfMenuItem() override = default;

    int init() override { return 0; }
    void debug() override;

    MENU_SUB_ID_T getMenuId() const { return m_id; }
    bool getState() const { return m_state; }
    void setState(bool state) { m_state = state; }
    int getPosition() const { return m_position; }
    void setPosition(int position) { m_position = position; }
    int getSubFun() const { return m_subFun; }
    void setSubFun(int subFun) { m_subFun = subFun; }
    std::string& getMenuName() { return m_menuName; }

private:
    MENU_SUB_ID_T m_id;
    bool m_state;
    int m_position;
    int m_subFun;
    std::string m_menuName;
};

}  // namespace Tessor::schema
