// The manager "UiMgr" between the devices and the user interface: it takes
// the devices' reports and holds the station's production settings. Its
// default handling runs the devices unattended; the window replaces it.
#pragma once

#include "schema/base/BaseManager.h"
#include "schema/event/UiEvent.h"

namespace Tessor::schema {

class ConfigInfo;
class SettingsStore;

class UiInterfaceMgr : public BaseManager {
public:
    explicit UiInterfaceMgr(BaseManager* parent);
    ~UiInterfaceMgr() override;

    [[nodiscard]] int startup() override { return 0; }
    // The most production ports this front end can show; a station
    // configured with more does not start.
    virtual int getPortLimit() const;
    void myMainLoop(void* arg) override;

    Sptr<ConfigInfo> getConfigInfo() const { return m_configInfo; }
    void setConfigInfo(const Sptr<ConfigInfo>& info) { m_configInfo = info; }
    // Writes the current settings into the station's store.
    int updateConfig();

protected:
    // Sends `event` back to its device as the request `signal`; only the
    // device's thread touches the event afterwards.
    void replyDeviceEvent(const Sptr<UiEvent>& event, UiSignalType signal);
    void myProcessEvent(const Sptr<BaseEvent>& event) override;
    // The settings a ready device is started with.
    virtual Sptr<ConfigInfo> runSettings(const Sptr<UiEvent>& ready);

private:
    // Exit of the login tool once its work is done.
    void endLogin();

    Sptr<SettingsStore> m_store;
    Sptr<ConfigInfo> m_configInfo;
};

}  // namespace Tessor::schema
