// A page of channels in one column, each a port-number button beside its
// progress control. It stands in for the production page as the window's
// only page until the main sheet exists.
#pragma once

#include <memory>
#include <vector>

#include "page/MavikChan.h"
#include "page/PageSetting.h"

namespace Tessor::page {

class PageChannels : public PageSetting {
public:
    // Control ids of channel i: LABEL_ID + i and PROGRESS_ID + i.
    static constexpr int LABEL_ID = 1100;
    static constexpr int PROGRESS_ID = 1200;

    PageChannels(int count, QWidget* parent = nullptr);

    MavikChan* getChannel(int index) override;
    void commitPartInfo() override {}

protected:
    bool OnInitDialog() override;

private:
    std::vector<std::unique_ptr<MavikChan>> m_channels;
};

}  // namespace Tessor::page
