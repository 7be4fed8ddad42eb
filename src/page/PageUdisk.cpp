#include "page/PageUdisk.h"

#include "page/PageProgress.h"

namespace Tessor::page {

PageUdisk::PageUdisk(PageProgress* progress, QWidget* parent) : PageSetting("UdiskTab", parent), m_progress(progress)
{
}

bool PageUdisk::isInitialised() const { return m_progress->isInitialised(); }

MavikChan* PageUdisk::getChannel(int index) { return m_progress->getChannel(index); }

}  // namespace Tessor::page
