// The table of known flash chips, edited section by section: a sorted list
// of part numbers and flash ids, and the values of the chosen chip in
// edits, check boxes and a type list. Add, Modify and Delete write the
// flash-chip file at once.
#pragma once

#include <QString>
#include <string>

#include "page/PageConfig.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace Tessor::page {

class CFlashConfigPage : public PageConfig {
public:
    enum : int {
        IDD = 166,
        IDC_LIST = 1214,
        IDC_MODEL = 1217,
        IDC_FLASH_ID = 1218,
        IDC_ADD = 1094,
        IDC_DELETE = 1300,
        IDC_MODIFY = 1299,
        IDC_RETURN = 1301,
    };
    // Longest flash id and part number taken; identification compares part
    // numbers of up to 31 characters.
    static constexpr int ID_LIMIT = 12;
    static constexpr int MODEL_LIMIT = 31;

    explicit CFlashConfigPage(QWidget* parent = nullptr);

    void fillList();
    void loadProfile(const QString& section);
    void writeProfile(const QString& section);

    void OnClickedAdd();
    void OnClickedDelete();
    void OnClickedModify();
    void OnClickList();
    // Preselects the row of the part number the main sheet currently works with.
    bool OnSetActive() override;

    QTreeWidget* list() const { return m_list; }

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;

private:
    // Inserts a row where the list's ascending order puts it.
    QTreeWidgetItem* insertRow(const QString& model, const QString& id);
    void writePartNumber(const QString& section, const QString& model);
    QString readPartNumber(const QString& section);
    // Refuses an id or model over its limit with the message; false then.
    [[nodiscard]] bool checkLengths(const QString& id, const QString& model);
    // Every number edit the operator sees holds a number the table's reader
    // takes; the first that does not is named and refused.
    [[nodiscard]] bool checkNumbers();

    QTreeWidget* m_list;
    std::string m_fileName;
};

}  // namespace Tessor::page
