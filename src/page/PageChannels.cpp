#include "page/PageChannels.h"

#include <QGridLayout>
#include <QPushButton>

#include "utils/MavikLang.h"

namespace Tessor::page {

namespace {
constexpr int LABEL_WIDTH = 150;
constexpr int CHANNEL_HEIGHT = 22;
constexpr int PROGRESS_WIDTH = 620;
}  // namespace

PageChannels::PageChannels(int count, QWidget* parent) : PageSetting("ProgressTab", parent)
{
    auto* layout = new QGridLayout(this);
    layout->setSpacing(4);
    for (int i = 0; i < count; ++i) {
        auto channel = std::make_unique<MavikChan>();
        auto* label = new QPushButton(utils::MavikLang::text("NoDisk"), this);
        label->setFixedSize(LABEL_WIDTH, CHANNEL_HEIGHT);
        label->setEnabled(false);
        channel->progress->setParent(this);
        channel->progress->setFixedSize(PROGRESS_WIDTH, CHANNEL_HEIGHT);
        channel->labelWindow = label;
        channel->labelId = LABEL_ID + i;
        channel->progressId = PROGRESS_ID + i;
        channel->page = this;
        addControl(channel->labelId, label);
        addControl(channel->progressId, channel->progress);
        layout->addWidget(label, i, 0);
        layout->addWidget(channel->progress, i, 1);
        m_channels.push_back(std::move(channel));
    }
}

MavikChan* PageChannels::getChannel(int index)
{
    return index >= 0 && index < static_cast<int>(m_channels.size()) ? m_channels[static_cast<size_t>(index)].get()
                                                                      : nullptr;
}

bool PageChannels::OnInitDialog()
{
    setInitialised();
    return true;
}

}  // namespace Tessor::page
