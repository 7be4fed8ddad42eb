// User mode's only page: one plugged disk, its channel, the partition
// editor, and Apply (start the disk with the edited partitions), Eject and
// Exit.
#pragma once

#include "page/MavikChan.h"
#include "page/PageSetting.h"

class QMouseEvent;

namespace Tessor::page {

class PageUserTool : public PageSetting {
public:
    enum : int {
        IDD = 151,
        IDC_STATUS_GROUP = 1116,
        IDC_PORT_BUTTON = 1014,
        IDC_PROGRESS = 1153,
        IDC_APPLY = 1015,
        IDC_EJECT = 1021,
        IDC_EXIT = 1022,
    };

    explicit PageUserTool(QWidget* parent = nullptr);

    MavikChan* getChannel(int index) override;
    void reloadScanConfig() override;

    void OnClickedApply();
    void OnClickedEject();
    void OnClickedExit();

protected:
    bool OnInitDialog() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MavikChan m_channel;
};

}  // namespace Tessor::page
