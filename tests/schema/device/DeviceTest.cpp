#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "DeviceFixture.h"
#include "FakeOperations.h"
#include "schema/device/ConfigInfo.h"
#include "schema/base/DeviceMgr.h"
#include "schema/base/RunAgent.h"
#include "schema/event/HwEvent.h"
#include "schema/event/UiEvent.h"
#include "schema/ops/BaseOperator.h"
#include "schema/state/BaseState.h"
#include "schema/state/DeviceStateType.h"
#include "schema/ui/UiInterfaceMgr.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SetList.h"
#include "usb/ops/UsbProduction.h"
#include "usb/scan/ScanMode.h"

using namespace Tessor;
using namespace Tessor::schema;

namespace {

class RecordingUiMgr : public UiInterfaceMgr {
public:
    RecordingUiMgr() : UiInterfaceMgr(nullptr) {}
    void reportEvent(const Sptr<BaseEvent>& event) override { events.push_back(event); }
    std::vector<Sptr<BaseEvent>> events;
};

class Operator : public BaseOperator {
public:
    Operator(const std::string& name, int weight) : BaseOperator(name, weight) {}
    Sptr<BaseState> process(Sptr<BaseEvent> /*event*/) override { return noState; }
    using BaseOperator::sendMgrEvent;
};

class RecordingDeviceMgr : public DeviceMgr {
public:
    explicit RecordingDeviceMgr(BaseManager* parent) : DeviceMgr(parent, "UsbMgr") {}
    int init() override { return 0; }
    void myProcessHwEvent(const Sptr<HwEvent>& /*event*/) override {}
    void reportEvent(const Sptr<BaseEvent>& event) override { events.push_back(event); }
    std::vector<Sptr<BaseEvent>> events;
};

class ScanLikeState : public BaseState {
public:
    ScanLikeState(const Sptr<BaseOperator>& first, const Sptr<BaseOperator>& second)
        : BaseState("StateScan", STATE_SCAN, true)
    {
        addOperator(first);
        addOperator(second);
    }
};

// The run agent hands progress reports to its UI manager. Agent and manager
// live as long as the process: every test gets the same one, emptied.
RecordingUiMgr* startAgentWithRecordingUi()
{
    static RecordingUiMgr* const ui = [] {
        std::string config = ::testing::TempDir() + "device_test.cfg";
        std::ofstream(config) << "# empty\n";
        EXPECT_TRUE(RunAgent::setCfgParm(config.c_str()));
        Tessor::usb::installUsbProduction();
        auto* made = new RecordingUiMgr();
        // The tests look at what the UI manager records, whatever the start-up gives.
        (void)RunAgent::instance()->init(made);
        return made;
    }();
    ui->events.clear();
    return ui;
}

Sptr<ConfigInfo> settingsWithPassword(const std::string& password)
{
    Sptr<ConfigInfo> info(new ConfigInfo());
    info->setNewPassword(password);
    return info;
}

std::string field(const char* p) { return std::string(p, 18); }

}  // namespace

using DeviceTest = DeviceFixture;

TEST_F(DeviceTest, ResetLeavesAFreshUnpluggedDevice)
{
    fake::Device fakeDevice;
    device->setDev(fakeDevice.record.get());
    device->setProScanMode(4);
    device->setState(device->findState(STATE_SCAN));
    giveGeometry(1, 64, 16, 4);
    device->setPageBitmap(Sptr<usb::PageBitmap>(new usb::PageBitmap(device)));
    device->setScanMode(Sptr<usb::ScanMode>(new usb::ScanMode(SCAN_BLOCK_ALL, "ScanAllBlock")));
    device->setSetList(Sptr<usb::SetList>(new usb::SetList(device, "SetList")));
    device->setAddress(device->getAddress());
    device->getCurrentPlaneInfo()->setPlanePerChip(2);
    device->reportEvent(Sptr<BaseEvent>(new UiEvent(UI_SIG_CANCEL)));
    ASSERT_TRUE(device->isAddressAllocated());
    Sptr<usb::CfgTable> oldTable = device->getCfgTable();

    ASSERT_EQ(device->reset(), 0);

    EXPECT_STREQ(device->getState()->getName(), "StateUnplug");
    EXPECT_EQ(device->getState()->getStateType(), STATE_UNPLUG);
    EXPECT_EQ(device->getProgressNumber(), 0);
    EXPECT_EQ(device->getProScanMode(), 0);
    EXPECT_EQ(device->checkCancel(), 0);
    EXPECT_EQ(device->getDev(), nullptr);
    EXPECT_EQ(device->getDiskDriver(), "NULL");
    for (const Sptr<PlaneInfo>& plane : {device->getCurrentPlaneInfo(), device->getFlashPlaneInfo()}) {
        EXPECT_EQ(plane->getChipCounts(), 1);
        EXPECT_EQ(plane->getInterleavePerChip(), 1);
        EXPECT_EQ(plane->getPlanePerChip(), 1);
    }
    EXPECT_FALSE(device->getVersion());
    EXPECT_FALSE(device->getDiskInfo());
    EXPECT_FALSE(device->getConfigInfo());
    EXPECT_FALSE(device->getCfgTable() == oldTable);
    EXPECT_STREQ(device->getExternalCode()->getName(), "ExternalCode");
    // Nothing of the previous device survives.
    EXPECT_FALSE(device->isAddressAllocated());
    EXPECT_FALSE(device->getSetList());
    EXPECT_FALSE(device->getFlagBitmap());
    EXPECT_FALSE(device->getIndexTableSet());
    EXPECT_FALSE(device->getCfgTableIndex());
}

TEST_F(DeviceTest, CancelAndEjectRequestsSetTheCancelValueOnThePostingThread)
{
    struct Case {
        UiSignalType signal;
        int cancel;
    };
    for (Case c : {Case{UI_SIG_CANCEL, 0x8029}, Case{UI_SIG_EJECT, 0x8027}, Case{UI_SIG_START, 0}}) {
        SCOPED_TRACE(c.signal);
        device->resetCancel();
        int seen = -1;
        // The device thread never runs: the value can only come from the post.
        std::thread poster([&] {
            device->reportEvent(Sptr<BaseEvent>(new UiEvent(c.signal)));
            seen = device->checkCancel();
        });
        poster.join();
        EXPECT_EQ(seen, c.cancel);
    }
    device->resetCancel();
    EXPECT_EQ(device->checkCancel(), 0);
}

TEST_F(DeviceTest, ProgressGoesToTheUiManagerOnlyFromAWeightedOperatorInAProgressState)
{
    RecordingUiMgr* ui = startAgentWithRecordingUi();
    Sptr<BaseOperator> weighted(new Operator("ScanProcess", 600));
    Sptr<BaseOperator> weightless(new Operator("HwRemove", 0));
    Sptr<BaseState> scan(new ScanLikeState(weighted, Sptr<BaseOperator>(new Operator("ScanSaveBitmap", 400))));
    fake::Device fakeDevice;
    device->setDev(fakeDevice.record.get());
    device->setProScanMode(2);

    device->setState(scan);
    device->setOperator(weightless);
    device->updateProgressInfo(50);
    device->setState(device->findState(STATE_UNPLUG));
    device->setOperator(weighted);
    device->updateProgressInfo(50);
    EXPECT_TRUE(ui->events.empty());

    device->setState(scan);
    device->updateProgressNumber(100);
    device->updateProgressInfo(50);
    ASSERT_EQ(ui->events.size(), 1u);
    Sptr<UiEvent> report(ui->events[0]);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->getType(), UI_SIG_PROGRESS);
    EXPECT_EQ(report->getErrorCode(), 0);
    EXPECT_EQ(report->getDevice(), device);
    EXPECT_EQ(report->getPrivate(), fakeDevice.record.get());
    Sptr<ProgressInfo> progress = report->getProgressInfo();
    EXPECT_EQ(progress->getCurrentProgress(), 100 + 300);
    EXPECT_EQ(progress->getTotalProgress(), 1000);
    EXPECT_EQ(progress->getOperatorName(), "ScanProcess");
    EXPECT_EQ(progress->getCurScanMode(), 2);
    EXPECT_EQ(weighted->getCurrentPrecent(), 50);
}

// The root holds the UI manager first, as the running station does.
TEST_F(DeviceTest, ManagerEventsGoToTheDeviceManagerUnderTheRoot)
{
    startAgentWithRecordingUi();
    BaseManager* root = RunAgent::instance()->getManager();
    BaseManager ui(root, "UiMgr");
    root->addManager(&ui);
    RecordingDeviceMgr devices(root);
    root->addManager(&devices);
    Sptr<BaseEvent> event(new HwEvent(HW_CMD_CLOSE_DEVICE));
    Operator("Any", 0).sendMgrEvent(event);
    ASSERT_EQ(devices.events.size(), 1u);
    EXPECT_EQ(devices.events[0], event);
}

// The window and the console read a device's records on their own threads
// while the device's thread replaces them (a new device, an eject, a reset):
// what a reader holds stays whole.
TEST_F(DeviceTest, ReadersOnOtherThreadsHoldWhatTheDeviceReplaces)
{
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done.load()) {
            if (Sptr<ConfigInfo> settings = device->getConfigInfo()) {
                EXPECT_EQ(settings->getRealCapacity(), 4096);
            }
            if (Sptr<VersionInfo> version = device->getVersion()) {
                EXPECT_TRUE(version->checkCfgTable());
            }
            if (Sptr<DiskInfo> disk = device->getDiskInfo()) {
                EXPECT_EQ(disk->getChipsPerDisk(), 2);
            }
            if (Sptr<usb::FlashInfo> flash = device->getFlashInfo()) {
                EXPECT_EQ(flash->getChipInfo()->BlockPerChip, 64);
            }
            EXPECT_TRUE(device->getCfgTable());
            EXPECT_LE(device->getProScanMode(), 3);
        }
    });
    for (int round = 0; round < 100; ++round) {
        giveGeometry(2, 64, 16, 4);
        device->setVersion(Sptr<VersionInfo>(new VersionInfo(VERSION_6706, 0, true)));
        Sptr<ConfigInfo> settings(new ConfigInfo());
        settings->setRealCapacity(4096);
        EXPECT_EQ(device->setConfigInfo(settings), 0);
        device->setProScanMode(round % 4);
        EXPECT_EQ(device->reset(), 0);
    }
    done.store(true);
    reader.join();
}

TEST_F(DeviceTest, PasswordsChangeOnlyInTheHighFormatAndLeaveNothingOld)
{
    UsbConfiguration::instance()->setChipSet("6716");
    Sptr<usb::CfgTable> table(new usb::CfgTable(device, "ConfigTable", usb::CFG_TABLE_DEVICE));
    device->setCfgTable(table);
    EXPECT_EQ(device->setConfigInfo(settingsWithPassword("abcdefgh")), 0);
    EXPECT_EQ(field(table->getCfgTblInfo()->password), std::string(18, '\0'));

    device->setState(device->findState(STATE_HIGH_FORMAT));
    EXPECT_EQ(device->setConfigInfo(settingsWithPassword("abcdefgh")), 0);
    EXPECT_EQ(device->setConfigInfo(settingsWithPassword("xyz")), 0);
    EXPECT_EQ(field(table->getCfgTblInfo()->password), std::string("xyz") + std::string(15, '\0'));
    EXPECT_EQ(field(table->getBuildInfo()->getPassword()), std::string("xyz") + std::string(15, '\0'));

    EXPECT_EQ(device->setConfigInfo(settingsWithPassword("ABCDEFGHIJKLMNOPQRST")), 0);
    EXPECT_EQ(field(table->getBuildInfo()->getPassword()), std::string("ABCDEFGHIJKLMNOPQ") + '\0');
    EXPECT_EQ(field(table->getCfgTblInfo()->password), std::string("ABCDEFGHIJKLMNOPQ") + '\0');
}

TEST_F(DeviceTest, UserSettingsTheTableCannotHoldAreRefused)
{
    UsbConfiguration::instance()->setChipSet("6716");
    device->setCfgTable(Sptr<usb::CfgTable>(new usb::CfgTable(device, "ConfigTable", usb::CFG_TABLE_DEVICE)));
    Sptr<ConfigInfo> settings(new ConfigInfo());
    settings->setRealCapacity(4096);
    settings->addPartInfo(Sptr<PartInfo>(new PartInfo(8192)));
    EXPECT_EQ(device->setConfigInfo(settings), 0) << "a factory run lays out its LUNs in the low format";
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_USER);
    EXPECT_EQ(device->setConfigInfo(settings), -0x8020);
    settings->setRealCapacity(8192);
    EXPECT_EQ(device->setConfigInfo(settings), 0);
}

TEST_F(DeviceTest, RunSettingsShareTheFlashPlaneRecord)
{
    EXPECT_EQ(device->setConfigInfo(Sptr<ConfigInfo>(new ConfigInfo())), 0);
    EXPECT_TRUE(device->getCurrentPlaneInfo() == device->getFlashPlaneInfo());
    Sptr<PlaneInfo> held = device->getFlashPlaneInfo();

    EXPECT_EQ(device->setCurrentPlaneInfo(Sptr<PlaneInfo>()), -1);
    EXPECT_EQ(held->getTotalPlanes(), 1);
    EXPECT_EQ(device->setCurrentPlaneInfo(Sptr<PlaneInfo>(new PlaneInfo(2, 2, 2))), 0);
    EXPECT_EQ(held->getTotalPlanes(), 8);
}

TEST_F(DeviceTest, FlashIdentificationChangesThePlaneRecordInPlace)
{
    EXPECT_EQ(device->setConfigInfo(Sptr<ConfigInfo>(new ConfigInfo())), 0);
    Sptr<PlaneInfo> held = device->getFlashPlaneInfo();
    giveGeometry(2, 1024, 64, 4, 2);
    EXPECT_EQ(device->getDiskInfo()->getTotalBlocks(), 2048);
    EXPECT_EQ(held->getChipCounts(), 2);
    EXPECT_EQ(held->getPlanePerChip(), 2);
    EXPECT_EQ(held->getInterleavePerChip(), 1);
    EXPECT_TRUE(device->getCurrentPlaneInfo() == held);
}

TEST_F(DeviceTest, UserFunctionTakesTheGeometryFromTheTable)
{
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_USER);
    UsbConfiguration::instance()->setChipSet("6716");
    Sptr<usb::CfgTable> table(new usb::CfgTable(device, "ConfigTable", usb::CFG_TABLE_DEVICE));
    table->getCodeCtrl()->record().bCeCount = 2;
    table->getFlashCtrl()->record().bBlockPerChipExp = 10;
    table->getFlashCtrl()->record().wPagesPerBlock = 64;
    table->getFlashCtrl()->record().bSectorsPerPage = 4;
    device->setCfgTable(table);
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_FACTORY);
    ASSERT_TRUE(device->getDiskInfo());
    EXPECT_EQ(device->getDiskInfo()->getTotalBlocks(), 2048);
    device->setCfgTable(Sptr<usb::CfgTable>(new usb::CfgTable(device, "ConfigTable", usb::CFG_TABLE_DEVICE)));
    EXPECT_EQ(device->getDiskInfo()->getTotalBlocks(), 2048);
}
