// The system-area writer and its verifier on a simulated controller: the
// erase of the system block, the rewrite in place of the login and user
// runs, and the codes each failure records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/LogCapture.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/SimulatedDevice.h"
#include "schema/event/DeviceEvent.h"
#include "support/StationFolder.h"
#include "usb/cfg/PartitionSettings.h"
#include "platform/taval/ConfigTableSector.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/CodeCtrl.h"
#include "usb/cfg/FlashCtrl.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/ops/lFormat/UsbOpLfCreateBlockSet.h"
#include "usb/ops/lFormat/UsbOpLfCreateIndexMap.h"
#include "usb/ops/lFormat/UsbOpLfVerifyData.h"
#include "usb/ops/lFormat/UsbOpLfWriteData.h"
#include "usb/task/lFormat/TaskLfCfgTable2Flash.h"
#include "usb/task/lFormat/TaskLfValidateFlashData.h"
#include "usb/task/lFormat/SystemAreaPass.h"
#include "usb/task/init/CfgTableAccess.h"
#include "schema/base/BaseManager.h"
#include "schema/base/RunAgent.h"
#include "schema/event/ProgressInfo.h"
#include "schema/event/UiEvent.h"
#include "schema/ops/BaseOperator.h"
#include "schema/state/BaseState.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/IndexTable.h"
#include "usb/cmd/IndexTableSet.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SetList.h"

namespace Tessor::schema::test {
namespace {

namespace fs = std::filesystem;
using taval::OpKind;
using usb::CfgTable;

// The system block of the device: table, flag table and build information in
// block 5 of chip 0, the code pages in block 6.
constexpr int kSystemBlock = 5;
constexpr int kCodeBlock = 6;
constexpr int kTablePage = 3;
constexpr int kFlagPage = 2;
constexpr int kBuildPage = 9;

// Pages are programmed once between erases, or the program fails.
class SystemArea : public SimulatedDevice {
protected:
    SystemArea() { extraKeys = {{"Device.StrictProgram", "1"}}; }

    void SetUp() override
    {
        SimulatedDevice::SetUp();
        station.emplace(folder);
        UsbConfiguration* c = UsbConfiguration::instance();
        c->setChipSet(variant);
        c->setDpfSupport(false);
        ASSERT_EQ(usb::CodeFactory::init(), 0);
        ASSERT_NE(device->readVersionInfo(), nullptr);
        Sptr<ConfigInfo> run = makeSettings(CHIPS * BLOCKS * PAGES * SECTORS, 4000, {{3000}, {1000}});
        run->setScanConfig(Sptr<ScanConfig>(new ScanConfig(nullptr, "ScanConfig")));
        EXPECT_EQ(device->setConfigInfo(run), 0);
        device->setCfgTable(Sptr<CfgTable>(new CfgTable(device, "ConfigTable", usb::CFG_TABLE_DEVICE)));
        device->getCfgTable()->getCodeCtrl()->record().bSetSectorsPerPage[0] = SECTORS;
        Sptr<usb::PageBitmap> pages(new usb::PageBitmap(device));
        device->setPageBitmap(pages);
        device->setFlagBitmap(Sptr<usb::FlagPageBitmap>(new usb::FlagPageBitmap(pages)));
        device->setExternalCode(Sptr<usb::CmdExternalCode>(new usb::CmdExternalCode("ExternalCode", CODE_TYPE_FLASH)));
        device->getExternalCode()->init();
    }

    void TearDown() override
    {
        station.reset();
        SimulatedDevice::TearDown();
    }

    Sptr<BaseAddress> at(int block, int page) { return Sptr<BaseAddress>(new BaseAddress(device, block, page, 0)); }

    // The addresses a device's own table gives in the user and login runs,
    // recorded in the table too, so a table read back gives them again.
    void placeInSystemBlock()
    {
        usb::CodeCtrl& record = device->getCfgTable()->getCodeCtrl()->record();
        record.wCfgTblBlkAddr = kSystemBlock;
        record.bCfgTblPage = kTablePage;
        record.bFlagTblPage = kFlagPage;
        std::fill(record.wExtCodePage, record.wExtCodePage + usb::CodeCtrl::kExtCodePages, 0xFFFF);
        for (int page = 0; page < PAGES; ++page) {
            record.wExtCodePage[page] = static_cast<uint16_t>((kCodeBlock - kSystemBlock) * PAGES + page);
        }
        record.bCeCount = CHIPS;
        usb::FlashCtrl& flash = device->getCfgTable()->getFlashCtrl()->record();
        flash.bBlockPerChipExp = 6;
        flash.wPagesPerBlock = PAGES;
        flash.bSectorsPerPage = SECTORS;
        flash.Chip1Sel2 = 1;
        device->getCfgTable()->setAddress(at(kSystemBlock, kTablePage));
        device->getCfgTable()->getBuildInfo()->setAddress(at(kSystemBlock, kBuildPage));
        device->getFlagBitmap()->setAddress(at(kSystemBlock, kFlagPage));
        Sptr<BaseAddress> code = at(kCodeBlock, 0);
        for (int page = 0; page < PAGES; ++page) {
            code->addData(at(kCodeBlock, page));
        }
        device->getExternalCode()->setAddress(code);
    }

    int run(BaseTask& task)
    {
        event = Sptr<BaseEvent>(new DeviceEvent(DEV_SIG_WRITE_DATA));
        event->setDevice(device);
        return task.startup(device, event);
    }

    std::vector<OpKind> kinds()
    {
        std::vector<OpKind> out;
        for (const taval::OpRecord& r : opLog()) {
            if (r.kind == OpKind::Erase || r.kind == OpKind::Program) {
                out.push_back(r.kind);
            }
        }
        return out;
    }


    // The table the controller booted from, taken as the device's own.
    void adoptBootTable()
    {
        replug();
        ASSERT_EQ(hub->device(0)->bootSector(), (kSystemBlock * PAGES + kTablePage) * SECTORS);
        const unsigned char* block = device->readVersionInfo();
        ASSERT_NE(block, nullptr);
        ASSERT_TRUE(usb::adoptCfgTable(device, block));
    }

    // The written objects read back as written.
    void expectSystemAreaValid()
    {
        EXPECT_EQ(device->getCfgTable()->validateFlash(device), 0);
        EXPECT_EQ(device->getExternalCode()->validateFlash(device), 0);
        EXPECT_EQ(device->getFlagBitmap()->validateFlash(device), 0);
    }

    std::optional<code_test::StationFolder> station;
    Sptr<BaseEvent> event;
    TaskLfCfgTable2Flash writer{TASK_CFG_TABLE_DOWNLOAD, "LF::WriteData"};
};

// Login (password change) and user runs without address sets rewrite the
// erased system block where the device's table puts it, twice over, and the
// device boots from it each time.
TEST_F(SystemArea, LoginAndUserRunsRewriteTheSystemBlockWhereItIs)
{
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_LOGIN);
    placeInSystemBlock();
    for (const char* password : {"first", "second"}) {
        Sptr<ConfigInfo> change(new ConfigInfo(device->getConfigInfo()));
        change->setNewPassword(password);
        EXPECT_EQ(device->setConfigInfo(change), 0);
        ASSERT_EQ(run(writer), 0);
        EXPECT_EQ(event->getErrorCode(), 0);
        EXPECT_EQ(kinds().front(), OpKind::Erase);
        expectSystemAreaValid();
        adoptBootTable();
        EXPECT_STREQ(device->getCfgTable()->getCfgTblInfo()->password, password);
    }
    // the user run starts from the table it read back
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_USER);
    Sptr<usb::CmdExternalCode> code(new usb::CmdExternalCode("ExternalCode", CODE_TYPE_FLASH));
    code->init();
    code->setAddress(device->getExternalCode()->getAddress());
    device->setExternalCode(code);
    ASSERT_EQ(run(writer), 0);
    expectSystemAreaValid();
    adoptBootTable();
}

// A table that cannot be finished for its address set fails the write and
// the read-back with the table's code.
TEST_F(SystemArea, UnfinishedTableFailsWithTheTableCode)
{
    placeInSystemBlock();
    Sptr<usb::AllocatAddress> set(new usb::AllocatAddress());
    set->setCfgTableAddress(device->getCfgTable()->getAddress());
    set->setExternalCodeAddress(device->getExternalCode()->getAddress());
    set->setFlagTableAddress(device->getFlagBitmap()->getAddress());
    set->setBuildInfoAddress(device->getCfgTable()->getBuildInfo()->getAddress());
    device->getAllocatAddress()->addData(set);
    UsbConfiguration::instance()->setChipSet("no such chip set");
    device->setCfgTable(Sptr<CfgTable>(new CfgTable(device, "ConfigTable", usb::CFG_TABLE_DEVICE)));
    EXPECT_EQ(run(writer), -0x8009);
    EXPECT_EQ(event->getErrorCode(), 0x8009);
    TaskLfValidateFlashData verifier(TASK_VALIDATE_DATA, "LF::ValidateData");
    EXPECT_EQ(run(verifier), -0x8009);
    EXPECT_EQ(event->getErrorCode(), 0x8009);
}

// Progress reports of the device, as "current/total".
class ProgressSink : public BaseManager {
public:
    ProgressSink() : BaseManager(nullptr, "UiMgr") {}

    void reportEvent(const Sptr<BaseEvent>& event) override
    {
        Sptr<UiEvent> report(event);
        if (report && report->getProgressInfo()) {
            Sptr<ProgressInfo> progress = report->getProgressInfo();
            reports.push_back({progress->getCurrentProgress(), progress->getTotalProgress()});
        }
    }

    std::vector<std::pair<int, int>> reports;
};

// The low-format operators' pass on a login run: block sets, index map, the
// rewrite and its check, each operator once; the bar ends at its total and
// never goes past it, on this run and the next.
TEST_F(SystemArea, LowFormatPassEndsItsBarAtTheTotal)
{
    ProgressSink sink;
    RunAgent::attachUi(&sink);
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_LOGIN);
    placeInSystemBlock();
    device->setSectorBitmap(Sptr<usb::SectorBitmap>(new usb::SectorBitmap(device, "SectorBitmap")));
    for (int b = 0; b < CHIPS * BLOCKS; ++b) {
        device->getPageBitmap()->releaseBlock(b);
    }
    // the operators of the state, in its order
    const std::vector<Sptr<BaseOperator>> steps = {Sptr<BaseOperator>(new usb::UsbOpLfCreateBlockSet()),
        Sptr<BaseOperator>(new usb::UsbOpLfCreateIndexMap()), Sptr<BaseOperator>(new usb::UsbOpLfWriteData()),
        Sptr<BaseOperator>(new usb::UsbOpLfVerifyData())};
    const Sptr<ScanConfig> scan = device->getConfigInfo()->getScanConfig();
    for (int run = 0; run < 2; ++run) {
        // Each run starts from the station's settings, whose units keep the
        // sizes given (no real capacity to scale them from).
        Sptr<ConfigInfo> settings = makeSettings(0, 0, {{3000}, {1000}});
        settings->setScanConfig(scan);
        EXPECT_EQ(device->setConfigInfo(settings), 0);
        Sptr<usb::SetList> list(new usb::SetList(device, "SetList"));
        Sptr<usb::BlockSet> set(new usb::BlockSet(device, "BlockSet"));
        // room for the settings' 4000 sectors once its tables are taken out
        for (int i = 0; i < 110; ++i) {
            set->addBlock(i, 10 + i);
        }
        list->addData(set);
        device->setSetList(list);
        Sptr<BaseEvent> start(new DeviceEvent(DEV_SIG_CREATE_BLOCK_SET));
        start->setDevice(device);
        device->setState(device->findState(STATE_LOW_FORMAT));
        sink.reports.clear();
        Sptr<BaseState> next;
        for (const Sptr<BaseOperator>& op : steps) {
            op->resetCurrentPrecent();
        }
        for (const Sptr<BaseOperator>& op : steps) {
            device->setOperator(op);
            if ((next = op->process(start))) {
                break;
            }
        }
        ASSERT_TRUE(next);
        EXPECT_EQ(next->getStateType(), STATE_BUILD_OK);
        EXPECT_EQ(start->getErrorCode(), 0);
        ASSERT_TRUE(device->getIndexTableSet());
        EXPECT_EQ(device->getIndexTableSet()->getCount(), 1);
        ASSERT_FALSE(sink.reports.empty());
        const int weights = 250;  // of the four operators
        for (const auto& report : sink.reports) {
            EXPECT_LE(report.first, weights);
        }
        EXPECT_EQ(sink.reports.back().first, weights);
    }
    RunAgent::detachUi();
}

// A factory run on a 1024-block device: the copies placed by the allocation,
// the index tables built, everything written once after its block was erased
// and read back; then a reader of the flash's own finds every copy's table,
// and the controller boots from one after a re-plug.
class FactoryRun : public SystemArea, public ::testing::WithParamInterface<const char*> {
protected:
    FactoryRun()
    {
        const std::string part = GetParam();
        tlc = part.rfind("TLC ", 0) == 0;
        variant = tlc ? part.substr(4) : part;
        chips = 1;
        blocksPerChip = 1024;
        if (tlc) {
            // 94 real pages in blocks of 128
            pagesPerBlock = 128;
            extraKeys["Device.RealPagesPerBlock"] = "94";
        }
    }

    void SetUp() override
    {
        SystemArea::SetUp();
        UsbConfiguration* c = UsbConfiguration::instance();
        c->setCurrentFunction(FUNCTION_FACTORY);
        c->setCfgTableCount(2);
        c->addUdiskCodeImage(variant, "releases/code/udisk_6716.img");
        delete usb::CodeFactory::instance();
        ASSERT_EQ(usb::CodeFactory::init(), 0);
        device->setExternalCode(Sptr<usb::CmdExternalCode>(new usb::CmdExternalCode("ExternalCode", CODE_TYPE_FLASH)));
        if (tlc) {
            device->getFlashInfo()->getChipInfo()->TLC = 1;
            device->getFlashInfo()->getChipInfo()->RealPagePerBlock = 94;
            device->getFlashInfo()->getChipInfo()->RealBlockPerChip = blocksPerChip;
            device->setPageBitmap(Sptr<usb::PageBitmap>(new usb::PageBitmap(device)));
            device->setFlagBitmap(Sptr<usb::FlagPageBitmap>(new usb::FlagPageBitmap(device->getPageBitmap())));
        }
        device->setSectorBitmap(Sptr<usb::SectorBitmap>(new usb::SectorBitmap(device, "SectorBitmap")));
        for (int b = 0; b < blocksPerChip; ++b) {
            device->getPageBitmap()->releaseBlock(b);
        }
        // The index pages are chosen before the block sets are cut, and
        // their blocks are kept out of the sets.
        Sptr<usb::AddressFactory> factory = device->getAddress();
        std::set<int> indexBlocks;
        if (SystemAreaPass::isIndexPointerFirmware(device)) {
            Sptr<BaseAddress> pages = factory->allocateIndexPointerAddr(device);
            ASSERT_TRUE(pages);
            for (int i = 0; i < pages->getCount(); ++i) {
                indexBlocks.insert(Sptr<BaseAddress>(pages->getData(i))->getBlockNo());
            }
            device->setPerAllocateCfgIndexPtr(pages);
        }
        set0 = Sptr<usb::BlockSet>(new usb::BlockSet(device, "BlockSet"));
        for (int b = 1; b < blocksPerChip; ++b) {
            if (indexBlocks.count(b) == 0) {
                set0->addBlock(set0->getBlocksCount(), b);
            }
        }
        Sptr<usb::SetList> list(new usb::SetList(device, "SetList"));
        list->addData(set0);
        device->setSetList(list);
        ASSERT_TRUE(factory->allocateUDiskAddresses(set0));
        device->setAddress(factory);
        Sptr<usb::IndexTableSet> tables(new usb::IndexTableSet(device));
        tables->addBlockSet(set0);
        device->setIndexTableSet(tables);
    }

    Sptr<usb::BlockSet> set0;
    bool tlc = false;
};

TEST_P(FactoryRun, EveryCopyIsWrittenOnceAndBootsTheDevice)
{
    ASSERT_EQ(SystemAreaPass::setCount(device), 2);
    ASSERT_EQ(run(writer), 0);
    TaskLfValidateFlashData verifier(TASK_VALIDATE_DATA, "LF::ValidateData");
    ASSERT_EQ(run(verifier), 0);
    EXPECT_EQ(event->getErrorCode(), 0);
    std::vector<int64_t> tables;
    for (int i = 0; i < 2; ++i) {
        Sptr<BaseAddress> at = SystemAreaPass::set(device, i)->getCfgTableAddress();
        const unsigned char* sector = device->readFlashSectors(at, 1);
        ASSERT_NE(sector, nullptr);
        EXPECT_TRUE(taval::isValidTable(sector)) << "copy " << i;
        tables.push_back(at->getPhyAddress());
    }
    // the index tables, as the level-1 table's magic and set number show
    const auto& items = device->getIndexTableSet()->getIndexTable(0)->getItems();
    ASSERT_FALSE(items.empty());
    for (const Sptr<usb::IndexItem>& item : items) {
        const unsigned char* sector = device->readFlashSectors(item->getAddress(), 1);
        ASSERT_NE(sector, nullptr);
        EXPECT_EQ(std::memcmp(sector, item->getTable(), 512), 0);
    }
    const unsigned char magic[] = {0x12, 0x35, 0x47, 0x68};
    EXPECT_EQ(std::memcmp(items[0]->getTable() + 508, magic, 4), 0);
    replug();
    EXPECT_NE(std::find(tables.begin(), tables.end(), hub->device(0)->bootSector()), tables.end());
}

INSTANTIATE_TEST_SUITE_P(ChipSets, FactoryRun, ::testing::Values("6716", "6716V31", "6605", "TLC 6716"));

// One page of a factory run's first copy that the flash refuses to program
// or reads back changed, and the code the writer or the verifier gives.
struct PageFault {
    const char* object;
    bool onRead;
    int code;
};

class FactoryFaults : public FactoryRun {
protected:
    // The first page the object takes on the flash.
    Sptr<BaseAddress> firstPage(const std::string& object)
    {
        Sptr<usb::AllocatAddress> set = SystemAreaPass::set(device, 0);
        std::map<std::string, Sptr<BaseAddress>> pages = {
            {"table", set->getCfgTableAddress()},
            {"index", set->getCfgTableIndexAddress()},
            {"code", set->getExternalCodeAddress()->getData(0)},
            {"flag", set->getFlagTableAddress()},
            {"page bitmap", set->getPageBitmapAddress()->getData(0)},
            {"index tables", device->getIndexTableSet()->getIndexTable(0)->getItems()[1]->getAddress()},
        };
        return pages.at(object);
    }

    // The flash keeps its data; the controller takes the new fault rule.
    void replugWith(const std::string& rule)
    {
        test_support::writeDeviceIni(folder.string(), test_support::readDeviceIni(folder.string()),
                                     test_support::faultRule(rule));
        replug();
    }
};

TEST_P(FactoryFaults, EachPageGivesItsObjectsCode)
{
    const std::vector<PageFault> faults = {
        {"index", false, 0x8043}, {"table", false, 0x8009}, {"code", false, 0x800A}, {"flag", false, 0x8011},
        {"page bitmap", false, 0x8011}, {"index tables", false, 0x802B}, {"index", true, 0x8043},
        {"table", true, 0x8009}, {"code", true, 0x800A}, {"flag", true, 0x8011}, {"page bitmap", true, 0x8011},
        {"index tables", true, 0x802B},
    };
    const test_support::DeviceKeys clean = test_support::readDeviceIni(folder.string());
    for (const PageFault& fault : faults) {
        SCOPED_TRACE(std::string(fault.object) + (fault.onRead ? " read" : " program"));
        const Sptr<BaseAddress> page = firstPage(fault.object);
        const int64_t pageNo = page->getPhyAddress() / SECTORS;
        replugWith(std::string(fault.onRead ? "ChangedPages=" : "ProgramFailPages=") + std::to_string(pageNo));
        TaskLfValidateFlashData verifier(TASK_VALIDATE_DATA, "LF::ValidateData");
        if (fault.onRead) {
            ASSERT_EQ(run(writer), 0);
            EXPECT_EQ(run(verifier), -fault.code);
        } else {
            EXPECT_EQ(run(writer), -fault.code);
        }
        EXPECT_EQ(event->getErrorCode(), fault.code);
        // the next case starts from a device without faults
        test_support::writeDeviceIni(folder.string(), clean);
    }
}

// The table and firmware each pass loads into the controller first: refused,
// nothing is written or checked through what the controller had before.
TEST_P(FactoryFaults, RefusedReloadFailsThePass)
{
    const struct {
        const char* rule;
        int code;
    } refusals[] = {{"FailTableToRam=1", 0x8009}, {"FailCodeDownload=1", 0x8005}};
    const test_support::DeviceKeys clean = test_support::readDeviceIni(folder.string());
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.rule);
        replugWith(refusal.rule);
        EXPECT_EQ(run(writer), -refusal.code);
        EXPECT_EQ(event->getErrorCode(), refusal.code);
        const std::vector<OpKind> writes = kinds();
        EXPECT_EQ(std::count(writes.begin(), writes.end(), OpKind::Program), 0);

        test_support::writeDeviceIni(folder.string(), clean);
        replug();
        ASSERT_EQ(run(writer), 0);
        replugWith(refusal.rule);
        TaskLfValidateFlashData verifier(TASK_VALIDATE_DATA, "LF::ValidateData");
        EXPECT_EQ(run(verifier), -refusal.code);
        EXPECT_EQ(event->getErrorCode(), refusal.code);
        test_support::writeDeviceIni(folder.string(), clean);
    }
}

INSTANTIATE_TEST_SUITE_P(IndexPointer, FactoryFaults, ::testing::Values("6716V31"));

// One refused command of the in-place road, and the code it leaves.
struct Refusal {
    std::string fault;
    int code;
};

class RefusedSystemArea : public SystemArea, public ::testing::WithParamInterface<Refusal> {
protected:
    RefusedSystemArea() { extraKeys.merge(test_support::faultRule(GetParam().fault)); }
};

TEST_P(RefusedSystemArea, FailureEndsTheTaskWithItsCode)
{
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_LOGIN);
    placeInSystemBlock();
    EXPECT_EQ(run(writer), -GetParam().code);
    EXPECT_EQ(event->getErrorCode(), GetParam().code);
}

// 16 pages per block, as the simulated device has.
std::string pageOf(int block, int page) { return std::to_string(block * 16 + page); }

INSTANTIATE_TEST_SUITE_P(Commands, RefusedSystemArea,
    ::testing::Values(Refusal{"FailErase=1", 0x802A},
        Refusal{"ProgramFailPages=" + pageOf(kSystemBlock, kTablePage), 0x8009},
        Refusal{"ProgramFailPages=" + pageOf(kCodeBlock, 0), 0x800A},
        Refusal{"ProgramFailPages=" + pageOf(kSystemBlock, kFlagPage), 0x8011}));

}  // namespace
}  // namespace Tessor::schema::test
