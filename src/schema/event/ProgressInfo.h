// One progress report of a device: where it is and how far its state's bar
// has grown.
#pragma once

#include <string>

#include "schema/base/Sptr.h"

namespace Tessor::schema {

class ProgressInfo {
public:
    ProgressInfo() = default;
    explicit ProgressInfo(const Sptr<ProgressInfo>& other);

    // A report of `percent` of the running operator's `operatorWeight`, on
    // top of the `accumulated` progress of the device in its current state.
    // A percent outside 0..100 counts as 10; a state without weights
    // (`stateTotal` 0) reports a total of 1000.
    ProgressInfo(const std::string& stateName, int stateId, int stateTotal, const std::string& operatorName,
                 int operatorWeight, int accumulated, int percent);

    void setStateName(const std::string& name) { m_stateName = name; }
    const std::string& getStateName() const { return m_stateName; }
    int getStateId() const { return m_stateId; }
    void setOperatorName(const std::string& name) { m_operatorName = name; }
    const std::string& getOperatorName() const { return m_operatorName; }
    void setCurrentProgress(int progress) { m_currentProgress = progress; }
    int getCurrentProgress() const { return m_currentProgress; }
    int getTotalProgress() const { return m_totalProgress; }
    void setCurScanMode(int mode) { m_curScanMode = mode; }
    int getCurScanMode() const { return m_curScanMode; }

private:
    std::string m_stateName;
    int m_stateId = 0;
    std::string m_operatorName;
    int m_currentProgress = 0;
    int m_totalProgress = 0;
    int m_curScanMode = 0;
};

}  // namespace Tessor::schema
