// The UI side of the engine's manager tree: takes the devices' reports on
// its own thread and hands each to the record of its port, once the channel
// page has finished its initialisation.
#pragma once

#include <atomic>
#include <mutex>

#include "schema/ui/UiInterfaceMgr.h"

namespace Tessor::page {
class PageSetting;
}

namespace Tessor::shell {

class MavikDevice;

class MavikUiMgr : public schema::UiInterfaceMgr {
public:
    // The production page has this many channels.
    static constexpr int MAX_DEVICES = 20;

    explicit MavikUiMgr(schema::BaseManager* parent);
    ~MavikUiMgr() override;

    int getPortLimit() const override { return MAX_DEVICES; }

    // An operator action on every port, in port order (GUI thread).
    void forEachDevice(int action);
    // Every port gets its own copy of `settings` for its next start.
    void distributeConfigInfo(const Sptr<schema::ConfigInfo>& settings);

    void setPage(page::PageSetting* page) { m_page.store(page); }
    // No report reaches the page or its channels once this returns; later
    // reports wait until the manager stops.
    void detachPage();
    page::PageSetting* getPage() const { return m_page.load(); }
    int getCount() const { return m_count; }
    MavikDevice* getDevice(int index) const;

protected:
    void myProcessEvent(const Sptr<schema::BaseEvent>& event) override;

private:
    // Waits until the channel page is initialised; false when the manager
    // is stopped first.
    [[nodiscard]] bool waitForPage();

    std::atomic<page::PageSetting*> m_page{nullptr};
    // Held while a report is handed to a record.
    std::mutex m_dispatch;
    MavikDevice* m_devices[MAX_DEVICES] = {};
    int m_count = 0;
};

}  // namespace Tessor::shell
