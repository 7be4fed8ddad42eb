#include "schema/event/UiEvent.h"

#include "schema/base/Log.h"

namespace Tessor::schema {

void UiEvent::setProgressInfo(const Sptr<ProgressInfo>& progress)
{
    if (progress) {
        CPLOG(7, "getProScanMode() %d", progress->getCurScanMode());
    }
    m_progressInfo = progress;
}

Sptr<ProgressInfo> UiEvent::getProgressInfo() const
{
    return m_progressInfo;
}

}  // namespace Tessor::schema
