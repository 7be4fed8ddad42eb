// One photo-frame menu as the menu pages edit it, without widgets: which
// optional entries are shown, their order (the order list, top to bottom),
// the exit style, and the sub-function numbers the confirm button computes.
// The menu's word table mirrors the model's states and positions row by row.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/dpf/DpfConfig.h"
#include "utils/MenuItemRecord.h"

namespace Tessor::page {

struct DpfMenuDescription {
    schema::MENU_MAIN_ID_T listId;
    utils::MenuItemRecord* table;  // the menu's word table
    int rows;
    std::vector<schema::MENU_SUB_ID_T> entries;  // the entry of each row
    std::vector<int> optionalRows;     // 0-based rows of the check list
    int governingRow;                  // the row that governs the sub-menu's group; -1 none
};

// The entries first, first + 1, ... of `rows` rows.
std::vector<schema::MENU_SUB_ID_T> consecutiveEntries(schema::MENU_SUB_ID_T first, int rows);

class DpfMenuEditor {
public:
    explicit DpfMenuEditor(const DpfMenuDescription& description) : m_description(description) {}

    const DpfMenuDescription& description() const { return m_description; }
    // Captions of the language: Chinese for 0, English for any other value.
    std::wstring caption(int row, int language) const;
    std::vector<std::wstring> checkCaptions(int language) const;

    // Copies the model's states and positions into the table (rows always
    // shown get state 1) and rebuilds the checks and the order list.
    void rebuild(const Sptr<schema::DpfConfig>& dpf, int language);
    // The check list's new states, one per optional row: a newly checked
    // entry goes to the top of the order list, an unchecked one leaves it;
    // then every entry's position follows the order list.
    void checksChanged(const Sptr<schema::DpfConfig>& dpf, const std::vector<int>& checks, int language);
    // The order list after the operator dragged its rows.
    void orderChanged(const Sptr<schema::DpfConfig>& dpf, const std::vector<std::wstring>& order, int language);
    void setExitStyle(const Sptr<schema::DpfConfig>& dpf, int comboIndex) const;
    // Slot r of the menu names the row shown at its place r.
    void updateSubFunctions(const Sptr<schema::DpfConfig>& dpf) const;

    const std::vector<int>& checks() const { return m_checks; }
    const std::vector<std::wstring>& order() const { return m_order; }
    // The captions of the table rows shown, by position.
    std::vector<std::wstring> shownCaptions(int language) const;
    // Whether the governing row is shown (its sub-menu can be edited).
    bool governsOn() const;

private:
    Sptr<schema::DpfMenuItem> entry(const Sptr<schema::DpfConfig>& dpf, int row) const;
    bool isOptional(int row) const;
    void positionsFromOrder(const Sptr<schema::DpfConfig>& dpf, int language);

    DpfMenuDescription m_description;
    std::vector<int> m_checks;
    std::vector<std::wstring> m_order;
};

}  // namespace Tessor::page
