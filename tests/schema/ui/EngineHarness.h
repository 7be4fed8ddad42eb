// The device engine on the simulated device library: a configuration in a
// temporary folder, the manager tree as start-up builds it, a UI manager that
// records every report before its default handling, and device folders to
// plug into the simulated ports.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "schema/base/BaseManager.h"
#include "schema/base/RunAgent.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/PartInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/BaseState.h"
#include "schema/device/UsbDeviceMgr.h"
#include "schema/event/ProgressInfo.h"
#include "schema/event/UiEvent.h"
#include "schema/ui/UiInterfaceMgr.h"
#include "support/CodeTree.h"
#include "support/DeviceIni.h"
#include "support/ManagerDrain.h"
#include "support/TempFolder.h"
#include "support/Waits.h"
#include "usb/ops/UsbProduction.h"

namespace engine_test {

using namespace Tessor::schema;
using Keys = test_support::DeviceKeys;

constexpr auto WAIT_LIMIT = std::chrono::seconds(20);

// Flash parts of the test devices' geometries (4 sectors a page), added to
// the sample flash-chip table.
struct TestPart {
    const char* id;
    const char* number;
    int megabits;
    int blocks;
    int pages;
};

// The engine tests' small device, the scan road's G1 device, the road
// benchmark's 4 GiB device and a 16 GiB one.
constexpr const char* SMALL_FLASH_ID = "EC731095";
constexpr const char* G1_FLASH_ID = "EC751095";
constexpr const char* LARGE_FLASH_ID = "EC7A1095";
constexpr TestPart LARGE_PART = {LARGE_FLASH_ID, "VF32G-ENGINE-TEST", 32768, 16384, 128};
// Four chips, as the four that answer it name it: 64 Mi sectors, more than
// the sector bitmap maps.
constexpr TestPart HUGE_PART = {"EC7C1095QD", "VF64G-ENGINE-TEST", 65536, 32768, 128};
// A triple-level-cell part of 94 real pages a block, rounded up to 128.
constexpr const char* TLC_94_FLASH_ID = "98D79432";
constexpr TestPart TEST_PARTS[] = {{SMALL_FLASH_ID, "VF16M-ENGINE-TEST", 16, 64, 16},
                                   {G1_FLASH_ID, "VF256M-ENGINE-TEST", 256, 256, 64},
                                   LARGE_PART, HUGE_PART,
                                   {TLC_94_FLASH_ID, "(TLC)VF-TLC94-ENGINE-TEST", 1504, 1024, 94}};

struct Report {
    UiSignalType signal;
    int port;  // -1 for a report without device
    int code;
    bool operator==(const Report&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Report& r)
{
    return out << "{signal " << r.signal << ", port " << r.port << ", code 0x" << std::hex << r.code << std::dec
               << "}";
}

// Records every report, then hands it to the default handling when asked to.
class RecordingUiMgr : public UiInterfaceMgr {
public:
    explicit RecordingUiMgr(BaseManager* parent) : UiInterfaceMgr(parent) {}

    void setAnswering(bool answer)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answer = answer;
    }

    std::vector<Report> reports(int port)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return reportsOf(port);
    }

    // Waits until the port's reports are `expected`; false on time-out.
    bool waitReports(int port, const std::vector<Report>& expected)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, WAIT_LIMIT, [&] { return reportsOf(port) == expected; });
    }

    // Waits until the port's last report is `expected`: a state reached is
    // not yet a report read.
    bool waitLastReport(int port, const Report& expected)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, WAIT_LIMIT, [&] {
            const std::vector<Report> got = reportsOf(port);
            return !got.empty() && got.back() == expected;
        });
    }

    // Waits until the port's last report is a `signal` report; its code, or
    // -1 on time-out.
    int waitLastSignal(int port, UiSignalType signal)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        int code = -1;
        m_changed.wait_for(lock, WAIT_LIMIT, [&] {
            const std::vector<Report> got = reportsOf(port);
            code = !got.empty() && got.back().signal == signal ? got.back().code : -1;
            return code != -1;
        });
        return code;
    }

    // The cause the port's last status report gave; empty when none did.
    std::string lastCause(int port)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_causes[port];
    }

    // Every progress report of the port so far.
    std::vector<ProgressInfo> progress(int port)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_progress[port];
    }

    // The port's last report, as the window took it.
    Sptr<BaseEvent> lastReport(int port)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_last[port];
    }

    bool waitLayerReady()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, WAIT_LIMIT, [&] {
            for (const Report& r : m_reports) {
                if (r.signal == UI_SIG_LAYER_READY && r.port == -1) {
                    return true;
                }
            }
            return false;
        });
    }

protected:
    void myProcessEvent(const Sptr<BaseEvent>& event) override
    {
        if (dynamic_cast<UiEvent*>(event.get()) == nullptr) {
            return;
        }
        Sptr<UiEvent> report(event);
        bool answer = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            BaseDevice* device = report->getDevice();
            const int port = device ? device->getIndex() : -1;
            m_reports.push_back({report->getType(), port, report->getErrorCode()});
            m_last[port] = event;
            if (report->getType() == UI_SIG_STATUS) {
                m_causes[port] = report->getErrorCause();
            }
            if (report->getType() == UI_SIG_PROGRESS && report->getProgressInfo()) {
                m_progress[port].push_back(ProgressInfo(report->getProgressInfo()));
            }
            answer = m_answer;
        }
        m_changed.notify_all();
        if (answer) {
            UiInterfaceMgr::myProcessEvent(event);
        }
    }

private:
    std::vector<Report> reportsOf(int port) const
    {
        std::vector<Report> out;
        for (const Report& r : m_reports) {
            if (r.port == port && r.signal != UI_SIG_PROGRESS) {
                out.push_back(r);
            }
        }
        return out;
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Report> m_reports;
    std::map<int, std::vector<ProgressInfo>> m_progress;
    std::map<int, std::string> m_causes;
    std::map<int, Sptr<BaseEvent>> m_last;
    bool m_answer = false;
};

// Commands the engine gave the library, per port.
class CommandLog {
public:
    static CommandLog& instance()
    {
        static CommandLog log;
        return log;
    }

    // Puts the recorder in front of the library's command entry.
    void attach(DEVICE_INIT_T* init)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_library = init->commandEntry;
        m_commands.clear();
        init->commandEntry = &CommandLog::entry;
    }

    // Waits until the port's commands are `expected`; false on time-out.
    bool waitCommands(int port, const std::vector<int>& expected)
    {
        return test_support::waitUntil([&] { return commands(port) == expected; }, WAIT_LIMIT);
    }

    std::vector<int> commands(int port)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_commands.find(port);
        return it == m_commands.end() ? std::vector<int>() : it->second;
    }

private:
    static int entry(DEVICE_INIT_T* init, _USB_DEVICE_T* record, int kind)
    {
        CommandLog& log = instance();
        DEVICE_COMMAND_ENTRY library = nullptr;
        {
            std::lock_guard<std::mutex> lock(log.m_mutex);
            Tessor::taval::Port* port = Tessor::taval::Port::of(record);
            log.m_commands[port != nullptr ? port->index() : -1].push_back(kind);
            library = log.m_library;
        }
        return library(init, record, kind);
    }

    std::mutex m_mutex;
    DEVICE_COMMAND_ENTRY m_library = nullptr;
    std::map<int, std::vector<int>> m_commands;
};

// Folder, configuration file and configuration shared by every engine test
// of the process.
class EngineEnvironment {
public:
    static EngineEnvironment& instance()
    {
        static EngineEnvironment environment;
        return environment;
    }

    const std::string& folder() const { return m_folder; }

    // Writes a simulated device's folder; keys "Section.Key" override the
    // defaults.
    std::string makeDevice(const std::string& name, const Keys& keys = {}) const
    {
        const std::string device = m_folder + "/devices/" + name;
        std::filesystem::remove_all(device);
        test_support::writeDeviceIni(device,
                                     {{"Device.Variant", "6716"},       {"Device.Chips", "1"},
                                      {"Device.BlocksPerChip", "64"},   {"Device.PagesPerBlock", "16"},
                                      {"Device.SectorsPerPage", "4"},   {"Device.FlashId", SMALL_FLASH_ID},
                                      {"Device.Drive", "SIM" + name.substr(0, 12)}},
                                     keys);
        return device;
    }

private:
    // The table's 1 Gbit part cut down to the test devices' geometries, so a
    // scan agrees with the part the device was identified as.
    void addTestParts(const std::string& table) const
    {
        std::ofstream out(m_folder + "/FlashChip.ini", std::ios::app);
        for (const TestPart& part : TEST_PARTS) {
            std::ifstream in(table);
            out << "\n[" << part.id << "]\n";
            bool inPart = false;
            for (std::string line; std::getline(in, line);) {
                if (!line.empty() && line[0] == '[') {
                    inPart = line == "[ECD35195]";
                    continue;
                }
                if (!inPart) {
                    continue;
                }
                const std::string key = line.substr(0, line.find('='));
                const std::map<std::string, std::string> own = {{"PartNumber", part.number},
                                                                 {"Density", std::to_string(part.megabits)},
                                                                 {"BlockPerChip", std::to_string(part.blocks)},
                                                                 {"PagePerBlock", std::to_string(part.pages)}};
                const auto it = own.find(key);
                out << (it == own.end() ? line : key + "=" + it->second) << "\n";
            }
        }
    }

    EngineEnvironment()
    {
        Tessor::usb::installUsbProduction();
        const std::string etc = std::string(TESSOR_SAMPLES) + "/releases/usr/etc";
        for (const char* file : {"FlashChip.ini", "UserSetting.ini", "Mp3Config.ini"}) {
            std::filesystem::copy_file(etc + "/" + file, m_folder + "/" + file);
        }
        addTestParts(etc + "/FlashChip.ini");
        // The firmware images are named relative to the station's working
        // folder. A test working in a station folder of its own keeps it and
        // puts the images there.
        code_test::makeTree(m_folder);
        if (!std::filesystem::exists("releases")) {
            std::filesystem::current_path(m_folder);
        }
        const std::string config = m_folder + "/engine.cfg";
        std::ofstream out(config);
        out << "Display_Name string Engine Test\n"
            << "Log_Size int 65536\n"
            << "Log_Level int 3\n"
            << "LogFilename string " << m_folder << "/engine.log\n"
            << "PlugIn list UsbMgr udisk\n"
            << "Device_Count int 2\n"
            << "FlashProfile string " << m_folder << "/FlashChip.ini\n"
            << "UserProfile string " << m_folder << "/UserSetting.ini\n"
            << "DpfProfile string " << m_folder << "/DpfConfig.ini\n"
            << "Mp3Profile string " << m_folder << "/Mp3Config.ini\n"
            << "DpfCode list 6716V31 releases/code/dpf_6716V31.img\n"
            << "DpfSupport bool False\n"
            << "CurrentFunction string UDiskFactory\n"
            << "ChipSet string 6716\n"
            << "SampleFile string " << m_folder << "/ScanSample.dat\n";
        // The 6716 family shares its images.
        const std::pair<const char*, const char*> images[] = {{"6706", "6706"},    {"6716", "6716"}, {"6716V31", "6716"},
                                                              {"6716V32", "6716"}, {"6726", "6716"}, {"6605", "6605"}};
        for (const auto& [chipSet, image] : images) {
            out << "ScanCode list " << chipSet << " releases/code/scan_" << image << ".img\n"
                << "UdiskCode list " << chipSet << " releases/code/udisk_" << image << ".img\n";
        }
        out.close();
        UsbConfiguration::instance(config);
        // The seconds a device road waits pass in a few milliseconds.
        sharedSetTimeScale(0.001);
    }

    const test_support::TempFolder m_temp;
    const std::string m_folder = m_temp.path();
};

// The manager tree as start-up builds it: the UI manager `makeUi` makes under
// the root, and the USB manager on the simulated device library, whose
// commands the command log records. Stopped and taken down at the end.
class ManagerTree {
public:
    ManagerTree(int ports, _FUNCTION_T function, const std::function<UiInterfaceMgr*(BaseManager*)>& makeUi)
    {
        UsbConfiguration* config = UsbConfiguration::instance();
        config->setDeviceCount(ports);
        config->setCurrentFunction(function);
        m_root = new BaseManager(nullptr, "AgentMgr");
        Tessor::usb::installUsbProduction();
        UiInterfaceMgr* ui = makeUi(m_root);
        RunAgent::attachUi(ui);
        m_root->addManager(ui);
        m_usb = new UsbDeviceMgr(m_root, "UsbMgr");
        m_initResult = m_usb->init();
        CommandLog::instance().attach(m_usb->getDeviceInit());
        m_usb->execute();
        m_root->addManager(m_usb);
        ui->execute();
    }

    ~ManagerTree()
    {
        RunAgent::detachUi();
        m_root->removeAllManagers();
        delete m_root;
    }

    ManagerTree(const ManagerTree&) = delete;
    ManagerTree& operator=(const ManagerTree&) = delete;

    int initResult() const { return m_initResult; }
    UsbDeviceMgr& usb() { return *m_usb; }
    Tessor::taval::Hub& hub() { return *Tessor::taval::Hub::of(m_usb->getDeviceMgr()); }
    UsbDevice* slot(int port) { return dynamic_cast<UsbDevice*>(m_usb->getManager(port)); }

    std::string stateOf(int port)
    {
        Sptr<BaseState> state = slot(port)->getState();
        return state ? state->getName() : "";
    }

private:
    BaseManager* m_root = nullptr;
    UsbDeviceMgr* m_usb = nullptr;
    int m_initResult = -1;
};

// A running engine whose UI manager records every report.
class Engine {
public:
    Engine(int ports, _FUNCTION_T function)
        : m_tree(ports, function, [this](BaseManager* root) { return m_ui = new RecordingUiMgr(root); })
    {
    }

    int initResult() const { return m_tree.initResult(); }
    DEVICE_INIT_T* deviceInit() { return m_tree.usb().getDeviceInit(); }
    RecordingUiMgr& ui() { return *m_ui; }
    Tessor::taval::Hub& hub() { return m_tree.hub(); }
    UsbDevice* slot(int port) { return m_tree.slot(port); }
    std::string stateOf(int port) { return m_tree.stateOf(port); }

    // Waits until the slot has ended every pass asked of it so far: a pass
    // sets its state before it ends.
    bool waitSlotIdle(int port) { return test_support::waitDrained(*slot(port), WAIT_LIMIT); }

    // Waits until the window has taken every report sent so far.
    bool waitUiIdle() { return test_support::waitDrained(*m_ui, WAIT_LIMIT); }

    bool waitState(int port, const std::string& name)
    {
        return test_support::waitUntil([&] { return stateOf(port) == name; }, WAIT_LIMIT);
    }

    // A request as the window sends it: straight into the slot's queue,
    // without the library's record unless it answers `report`; a start
    // carries the station settings, at `scanLevel` and `scanPriority` when
    // they are given.
    void request(int port, UiSignalType signal, int scanLevel = -1, int scanPriority = -1,
                 const Sptr<BaseEvent>& report = Sptr<BaseEvent>())
    {
        Sptr<UiEvent> event(new UiEvent(signal));
        event->setDevice(slot(port));
        if (report) {
            event->setTarget(*report);
        }
        if (signal == UI_SIG_START) {
            Sptr<ConfigInfo> settings(new ConfigInfo(m_ui->getConfigInfo()));
            if (scanLevel >= 0) {
                settings->getScanConfig()->setScanLevel(scanLevel);
            }
            if (scanPriority >= 0) {
                settings->getScanConfig()->setScanPriority(scanPriority);
            }
            event->setConfigInfo(settings);
        }
        slot(port)->reportEvent(Sptr<BaseEvent>(event));
    }

    // A start as the window sends it, with `settings` as they are.
    void start(int port, const Sptr<ConfigInfo>& settings)
    {
        Sptr<UiEvent> event(new UiEvent(UI_SIG_START));
        event->setDevice(slot(port));
        event->setConfigInfo(settings);
        slot(port)->reportEvent(Sptr<BaseEvent>(event));
    }

    // Waits until the port's device has ended its run, built or failed; the
    // state it is in then.
    std::string waitRunEnded(int port, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        std::string state;
        EXPECT_TRUE(test_support::waitUntil(
            [&] {
                state = stateOf(port);
                return state == "StateBuildOk" || state == "StateError";
            },
            limit))
            << "port " << port << " still in " << state;
        return state;
    }

    // A start as the window sends it: the station's partitions cut to half
    // the device's flash, so the whole road fits; false when the settings
    // cannot be fitted.
    bool startFitted(int port, int scanLevel = -1, int scanPriority = -1)
    {
        UsbDevice* device = slot(port);
        const Sptr<DiskInfo> disk = device->getDiskInfo();
        const int capacity = disk->getChipsPerDisk() * disk->getBlocksPerChip() * disk->getSectorsPerBlock();
        Sptr<ConfigInfo> settings(new ConfigInfo(m_ui->getConfigInfo()));
        for (int i = 0; i < settings->getPartCount(); ++i) {
            settings->getPartInfo(i)->setCapacity(unsigned(capacity / 2 / settings->getPartCount()));
        }
        settings->setRealCapacity(capacity);
        Sptr<ConfigInfo> fitted = settings->update(capacity);
        if (!fitted) {
            return false;
        }
        if (scanLevel >= 0) {
            fitted->getScanConfig()->setScanLevel(scanLevel);
        }
        if (scanPriority >= 0) {
            fitted->getScanConfig()->setScanPriority(scanPriority);
        }
        start(port, fitted);
        return true;
    }

    // The progress reports of `state` since report `from`, once the window
    // has them all: each within the state's total, the last one at it.
    void expectBarEndsAtTotal(int port, size_t from, const std::string& state, int total)
    {
        std::vector<ProgressInfo> reports;
        int last = -1;
        EXPECT_TRUE(test_support::waitUntil(
            [&] {
                reports = m_ui->progress(port);
                for (size_t i = from; i < reports.size(); ++i) {
                    if (reports[i].getStateName() == state) {
                        last = reports[i].getCurrentProgress();
                    }
                }
                return last == total;
            },
            WAIT_LIMIT))
            << state << " ended at " << last << " of " << total;
        for (size_t i = from; i < reports.size(); ++i) {
            if (reports[i].getStateName() == state) {
                EXPECT_EQ(reports[i].getTotalProgress(), total);
                EXPECT_LE(reports[i].getCurrentProgress(), total) << reports[i].getOperatorName();
            }
        }
    }

private:
    // Set while the tree is built, so declared before it.
    RecordingUiMgr* m_ui = nullptr;
    ManagerTree m_tree;
};

}  // namespace engine_test
