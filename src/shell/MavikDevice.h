// The UI side of one production port: its UI state, the engine's device of
// the port, the channel that shows it and the settings of its next start.
// Operator actions run on the GUI thread, the engine's reports on the UI
// manager's thread; everything they show on the page is handed to the GUI
// thread in order.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "page/PortRecord.h"
#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/UiEvent.h"

namespace Tessor::shell {

class MavikDevice : public page::PortRecord {
public:
    explicit MavikDevice(const Sptr<schema::ConfigInfo>& settings);
    ~MavikDevice() override = default;
    MavikDevice(const MavikDevice&) = delete;
    MavikDevice& operator=(const MavikDevice&) = delete;

    // Binds the record to the event's device on first use, then shows the state.
    void setState(int state, const Sptr<schema::UiEvent>& event) override;
    void showState();
    void onUserAction(int action) override;
    // Posts `request` to the port's device; a start fits the partitions to
    // the device first and may be refused with a message.
    void sendToDevice(int request, const Sptr<schema::UiEvent>& event) override;
    // Eject confirmation of a right click on the port's button.
    void btnRightClick() override;

    void onNewDevice(const Sptr<schema::UiEvent>& event);
    void onReady(const Sptr<schema::UiEvent>& event);
    void onProgress(const Sptr<schema::UiEvent>& event);
    void onStatus(const Sptr<schema::UiEvent>& event);
    void onBuildOk(const Sptr<schema::UiEvent>& event);
    void onPlugOff(const Sptr<schema::UiEvent>& event);
    void onCancelOk(const Sptr<schema::UiEvent>& event);

    int getState() const override { return m_state.load(); }
    bool isBusy() const override { return m_busy.load() != 0; }
    schema::UsbDevice* getDevice() const override { return m_device.load(); }
    page::MavikChan* getChannel() const override { return channel; }
    Sptr<schema::ConfigInfo> getRunSettings() const;
    void setRunSettings(const Sptr<schema::ConfigInfo>& settings) override;
    std::string getStatusText() const;
    QString getPartNumber() const;
    int getCapacityMb() const { return m_capacityMb.load(); }
    int getReadyCount() const { return m_readyCount.load(); }
    uint32_t getStartTick() const { return m_startTick.load(); }
    // Lets tests and the station's clock set when the run began.
    void setStartTick(uint32_t tick) { m_startTick.store(tick); }

    // Set when the page wires its channels, before any report is handled.
    page::MavikChan* channel = nullptr;

private:
    std::string deviceName() const;
    int deviceIndex() const;
    // The status line: kept, and shown in the channel's progress control.
    void writeStatusLine(const std::string& text);
    void setStatusText(const std::string& text);
    void showIdentity(schema::UsbDevice& device);

    std::atomic<uint32_t> m_startTick{0};
    std::atomic<uint32_t> m_endTick{0};
    std::atomic<uint32_t> m_elapsed{0};
    std::atomic<int> m_busy{0};
    std::atomic<int> m_state{0};
    std::atomic<schema::UsbDevice*> m_device{nullptr};
    // The plug generation of the device the port shows: the operator's
    // requests go to that device only, never to one plugged after it.
    std::atomic<unsigned> m_generation{0};
    std::atomic<int> m_capacityMb{0};
    std::atomic<int> m_readyCount{0};
    mutable std::mutex m_mutex;
    Sptr<schema::ConfigInfo> m_runSettings;
    std::string m_statusText;
    QString m_partNumber;
    // Of the last report: the device's own record is the library's.
    std::string m_driveText = "NULL";
};

}  // namespace Tessor::shell
