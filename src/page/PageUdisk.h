// The production-settings page of factory mode. It owns no channels of its
// own: it stands for the production page towards the UI manager, which
// waits for that page's initialisation and shows the ports on its channels.
#pragma once

#include "page/PageSetting.h"

namespace Tessor::page {

class PageProgress;

class PageUdisk : public PageSetting {
public:
    static constexpr int IDD = 142;

    explicit PageUdisk(PageProgress* progress, QWidget* parent = nullptr);

    bool isInitialised() const override;
    MavikChan* getChannel(int index) override;

private:
    PageProgress* m_progress;
};

}  // namespace Tessor::page
