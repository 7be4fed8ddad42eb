// The UI side of the engine's manager tree: takes the devices' reports on
// its own thread and hands each to the record of its port, once the channel
// page has finished its initialisation.
#pragma once

#include <QString>
#include <atomic>
#include <mutex>

#include "page/PageHost.h"
#include "schema/ui/UiInterfaceMgr.h"
#include "shell/MavikDevice.h"

namespace Tessor::page {
class PageSetting;
}

namespace Tessor::shell {

class MavikUiMgr : public schema::UiInterfaceMgr, public page::PageHost {
public:
    // The production page has this many channels.
    static constexpr int MAX_DEVICES = 20;

    explicit MavikUiMgr(schema::BaseManager* parent);
    ~MavikUiMgr() override;

    int getPortLimit() const override { return MAX_DEVICES; }

    void forEachDevice(int action) override;
    void distributeConfigInfo(const Sptr<schema::ConfigInfo>& settings) override;
    Sptr<schema::ConfigInfo> getConfigInfo() const override { return UiInterfaceMgr::getConfigInfo(); }
    [[nodiscard]] std::optional<int> deviceSectors(const schema::UsbDevice& device) const override;
    // The application's list.
    std::vector<page::FlashPart> getFlashParts() override;
    QString getCurrentPartNumber() const override { return m_currentPartNumber; }
    void setCurrentPartNumber(const QString& partNumber) override { m_currentPartNumber = partNumber; }

    void setPage(page::PageSetting* page) { m_page.store(page); }
    // No report reaches the page or its channels once this returns; later
    // reports wait until the manager stops.
    void detachPage();
    page::PageSetting* getPage() const { return m_page.load(); }
    int getCount() const override { return m_count; }
    MavikDevice* getDevice(int index) const override;

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
    QString m_currentPartNumber;
};

}  // namespace Tessor::shell
