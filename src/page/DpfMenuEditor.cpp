#include "page/DpfMenuEditor.h"

#include <algorithm>
#include <cwctype>

namespace Tessor::page {

namespace {

// The first item that starts with `text`, letter case aside; -1 when none.
int findString(const std::vector<std::wstring>& items, const std::wstring& text)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].size() >= text.size() &&
            std::equal(text.begin(), text.end(), items[i].begin(),
                       [](wchar_t a, wchar_t b) { return std::towlower(wint_t(a)) == std::towlower(wint_t(b)); })) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

std::vector<schema::MENU_SUB_ID_T> consecutiveEntries(schema::MENU_SUB_ID_T first, int rows)
{
    std::vector<schema::MENU_SUB_ID_T> entries;
    for (int row = 0; row < rows; ++row) {
        entries.push_back(first + row);
    }
    return entries;
}

std::wstring DpfMenuEditor::caption(int row, int language) const
{
    const utils::MenuItemRecord& record = m_description.table[row];
    return language == 0 ? record.chineseCaption : record.englishCaption;
}

std::vector<std::wstring> DpfMenuEditor::checkCaptions(int language) const
{
    std::vector<std::wstring> captions;
    for (int row : m_description.optionalRows) {
        captions.push_back(caption(row, language));
    }
    return captions;
}

Sptr<schema::DpfMenuItem> DpfMenuEditor::entry(const Sptr<schema::DpfConfig>& dpf, int row) const
{
    return dpf->getMenuCfg()->getSubMenuItem(m_description.listId, m_description.entries[size_t(row)]);
}

bool DpfMenuEditor::isOptional(int row) const
{
    return std::find(m_description.optionalRows.begin(), m_description.optionalRows.end(), row) != m_description.optionalRows.end();
}

std::vector<std::wstring> DpfMenuEditor::shownCaptions(int language) const
{
    std::vector<utils::MenuItemRecord> shown;
    for (int row = 0; row < m_description.rows; ++row) {
        if (m_description.table[row].state != 0) {
            shown.push_back(m_description.table[row]);
        }
    }
    std::stable_sort(shown.begin(), shown.end(), utils::compareMenuRecords);
    std::vector<std::wstring> captions;
    for (const utils::MenuItemRecord& record : shown) {
        captions.push_back(language == 0 ? record.chineseCaption : record.englishCaption);
    }
    return captions;
}

void DpfMenuEditor::rebuild(const Sptr<schema::DpfConfig>& dpf, int language)
{
    m_checks.clear();
    for (int row = 0; row < m_description.rows; ++row) {
        Sptr<schema::DpfMenuItem> item = entry(dpf, row);
        utils::MenuItemRecord& record = m_description.table[row];
        if (!isOptional(row)) {
            record.state = 1;
            record.position = item->getPosition();
        } else if (item->getState()) {
            m_checks.push_back(1);
            record.state = 1;
            record.position = item->getPosition();
        } else {
            m_checks.push_back(0);
            record.state = 0;
        }
    }
    m_order = shownCaptions(language);
}

void DpfMenuEditor::positionsFromOrder(const Sptr<schema::DpfConfig>& dpf, int language)
{
    for (int row = 0; row < m_description.rows; ++row) {
        const int index = findString(m_order, caption(row, language));
        if (index >= 0) {
            entry(dpf, row)->setPosition(index + 1);
            m_description.table[row].position = index + 1;
        }
    }
}

void DpfMenuEditor::checksChanged(const Sptr<schema::DpfConfig>& dpf, const std::vector<int>& checks, int language)
{
    const auto edit = schema::DpfConfig::lockEdits();
    for (size_t i = 0; i < m_description.optionalRows.size() && i < checks.size(); ++i) {
        if (i < m_checks.size() && (checks[i] != 0) == (m_checks[i] != 0)) {
            continue;
        }
        const int row = m_description.optionalRows[i];
        const bool on = checks[i] != 0;
        if (on) {
            m_order.insert(m_order.begin(), caption(row, language));
        } else if (const int index = findString(m_order, caption(row, language)); index >= 0) {
            m_order.erase(m_order.begin() + index);
        }
        entry(dpf, row)->setState(on);
        m_description.table[row].state = on ? 1 : 0;
    }
    positionsFromOrder(dpf, language);
    m_checks = checks;
}

void DpfMenuEditor::orderChanged(const Sptr<schema::DpfConfig>& dpf, const std::vector<std::wstring>& order,
                                 int language)
{
    const auto edit = schema::DpfConfig::lockEdits();
    m_order = order;
    positionsFromOrder(dpf, language);
}

void DpfMenuEditor::setExitStyle(const Sptr<schema::DpfConfig>& dpf, int comboIndex) const
{
    const auto edit = schema::DpfConfig::lockEdits();
    dpf->getMenuCfg()->getMenuList(m_description.listId)->setStyle(comboIndex == 0 ? 0 : 1);
}

void DpfMenuEditor::updateSubFunctions(const Sptr<schema::DpfConfig>& dpf) const
{
    const auto edit = schema::DpfConfig::lockEdits();
    for (int row = 0; row < m_description.rows; ++row) {
        Sptr<schema::DpfMenuItem> item = entry(dpf, row);
        if (isOptional(row) && !item->getState()) {
            continue;
        }
        const int position = item->getPosition();
        const int k = row + 1;
        if (position >= 1 && position <= m_description.rows) {
            entry(dpf, position - 1)->setSubFun(k);
        } else {
            item->setSubFun(k);
        }
    }
}

bool DpfMenuEditor::governsOn() const
{
    return m_description.governingRow < 0 || m_description.table[m_description.governingRow].state != 0;
}

}  // namespace Tessor::page
