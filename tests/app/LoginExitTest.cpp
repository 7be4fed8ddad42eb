// The login tool ends once its work is done: the UI manager ends the process
// with status 1 from its own thread, and the exit-time shutdown must not
// wait for that thread.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "schema/base/BaseManager.h"
#include "schema/base/DeviceMgr.h"
#include "schema/base/RunAgent.h"
#include "schema/device/BaseDevice.h"
#include "schema/event/UiEvent.h"
#include "schema/ui/UiInterfaceMgr.h"
#include "support/CodeTree.h"
#include "support/TempFolder.h"
#include "usb/ops/UsbProduction.h"

namespace {

using namespace Tessor::schema;
namespace fs = std::filesystem;

// Start-up as the tool does it, then a build-ok report of the one device.
void runLoginStation(const std::string& folder)
{
    if (chdir(folder.c_str()) != 0) {
        std::exit(2);
    }
    if (!RunAgent::setCfgParm("login.cfg")) {
        std::exit(2);
    }
    Tessor::usb::installUsbProduction();
    RunAgent* agent = RunAgent::instance();
    UiInterfaceMgr* ui = new UiInterfaceMgr(agent->getManager());
    (void)agent->init(ui);  // the exit is what is looked at, whatever the start-up gave
    std::atexit(&RunAgent::shutdown);
    if (agent->run() != 0) {
        std::exit(3);
    }
    Sptr<UiEvent> done(new UiEvent(UI_SIG_BUILD_OK));
    done->setDevice(dynamic_cast<BaseDevice*>(agent->findDeviceMgr(1)->getManager(0)));
    ui->reportEvent(Sptr<BaseEvent>(done));
    for (;;) {
        pause();
    }
}

TEST(LoginExitTest, TheLoginToolEndsWithStatusOneWithoutWaitingForItself)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const test_support::TempFolder station;
    const std::string& folder = station.path();
    const std::string etc = std::string(TESSOR_SAMPLES) + "/releases/usr/etc";
    for (const char* file : {"FlashChip.ini", "UserSetting.ini", "Mp3Config.ini"}) {
        fs::copy_file(etc + "/" + file, folder + "/" + file);
    }
    code_test::makeTree(folder);
    std::ofstream(folder + "/login.cfg") << "Log_Level int 3\n"
                                         << "PlugIn list UsbMgr udisk\n"
                                         << "FlashProfile string FlashChip.ini\n"
                                         << "UserProfile string UserSetting.ini\n"
                                         << "Mp3Profile string Mp3Config.ini\n"
                                         << "CurrentFunction string Kelvo\n"
                                         << "ChipSet string 6716\n"
                                         << "ScanCode list 6716 releases/code/scan_6716.img\n"
                                         << "UdiskCode list 6716 releases/code/udisk_6716.img\n"
                                         << "SampleFile string ScanSample.dat\n";
    EXPECT_EXIT(runLoginStation(folder), ::testing::ExitedWithCode(1), "");
}

}  // namespace
