#include "schema/event/ProgressInfo.h"

#include "schema/base/Log.h"

namespace Tessor::schema {

namespace {
constexpr int kPercentOutOfRange = 10;
constexpr int kTotalWithoutWeights = 1000;
}  // namespace

ProgressInfo::ProgressInfo(const Sptr<ProgressInfo>& other)
{
    if (other) {
        *this = *other;
    }
}

ProgressInfo::ProgressInfo(const std::string& stateName, int stateId, int stateTotal,
                           const std::string& operatorName, int operatorWeight, int accumulated, int percent)
    : m_stateName(stateName), m_stateId(stateId), m_operatorName(operatorName)
{
    CPLOG(7, "set op name as %s", operatorName.c_str());
    if (percent < 0 || percent > 100) {
        percent = kPercentOutOfRange;
    }
    m_currentProgress = accumulated + operatorWeight * percent / 100;
    CPLOG(7, "current progress : %d", m_currentProgress);
    m_totalProgress = stateTotal;
    if (m_totalProgress == 0) {
        CPLOG(4, "Total Progress Info in State of %s is 0", stateName.c_str());
        m_totalProgress = kTotalWithoutWeights;
    }
}

}  // namespace Tessor::schema
