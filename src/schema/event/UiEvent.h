// Event between the window and the devices.
#pragma once

#include <string>

#include "schema/event/BaseEvent.h"
#include "schema/event/ProgressInfo.h"
#include "schema/event/UiSignalType.h"

namespace Tessor::schema {

class ConfigInfo;

class UiEvent : public BaseEvent {
public:
    UiEvent() = default;
    explicit UiEvent(UiSignalType type) : m_type(type) {}

    const char* name() const override { return "UI-EVENT"; }

    void setType(UiSignalType type) { m_type = type; }
    UiSignalType getType() const { return m_type; }
    void setConfigInfo(const Sptr<ConfigInfo>& info) { m_configInfo = info; }
    // The drive text of the device reported, copied while its library record
    // was held: the record may be freed before any reader sees the report.
    void setDriveText(const std::string& text) { m_driveText = text; }
    const std::string& getDriveText() const { return m_driveText; }
    Sptr<ConfigInfo> getConfigInfo() const { return m_configInfo; }

    // The device fills the record, scan mode included, on its own thread when
    // it reports; readers on other threads get it as it was reported.
    void setProgressInfo(const Sptr<ProgressInfo>& progress);
    Sptr<ProgressInfo> getProgressInfo() const;

private:
    UiSignalType m_type = static_cast<UiSignalType>(0);
    Sptr<ConfigInfo> m_configInfo;
    std::string m_driveText = "NULL";
    Sptr<ProgressInfo> m_progressInfo;
};

}  // namespace Tessor::schema
