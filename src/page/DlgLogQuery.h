// The production log: opens one of its files with the desktop's viewer and
// changes its size limit and level for the rest of the run, in the logger
// as well as in the configuration (the file is not written).
#pragma once

#include <QString>

#include "platform/mfc/Dialog.h"

namespace Tessor::page {

class DlgLogQuery : public mfc::CDialog {
public:
    static constexpr int IDD = 152;
    enum : int {
        IDC_SPIN = 1034,
        IDC_FILE_NAME = 1162,
        IDC_QUERY = 1159,
        IDC_SIZE = 1163,
        IDC_MODIFY_SIZE = 1161,
        IDC_LEVEL = 1164,
        IDC_MODIFY_LEVEL = 1160,
    };

    explicit DlgLogQuery(QWidget* parent = nullptr);

    void OnClickedQuery();
    void OnClickedModifySize();
    void OnClickedModifyLevel();

    // Where the logger writes `name`: an absolute name as it is, any other
    // in the working folder.
    static QString logFilePath(const QString& name);

protected:
    bool OnInitDialog() override;
};

}  // namespace Tessor::page
