// Serial numbers across a station's ends: a station killed once its devices
// took serial numbers, and started again, never hands one of them out again,
// whether the console tool or the window ran it, and after the operator's
// Save. Every device's number is read back from the configuration table on
// its flash.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "page/PageUdisk.h"
#include "platform/ini/Ini.h"
#include "shell/MavikApp.h"
#include "shell/WndMavikMain.h"
#include "support/CodeTree.h"
#include "support/DeviceIni.h"
#include "support/SystemAreaReader.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"
#include "support/Waits.h"

namespace {

using namespace Tessor;
namespace fs = std::filesystem;
using test_support::ToolProcess;

constexpr int DEVICES_PER_RUN = 2;
// Generous, for the sanitizer builds on a loaded machine: only a fault waits this long.
constexpr std::chrono::seconds RUN_LIMIT(240);
const char* const BUILT = "Next State is 'StateBuildOk'";
const char* const SAVED = "saved";

// How often `text` stands in the file.
int occurrences(const std::string& file, const std::string& text)
{
    const std::string content = test_support::readFile(file);
    int count = 0;
    for (size_t at = content.find(text); at != std::string::npos; at = content.find(text, at + 1)) {
        ++count;
    }
    return count;
}

// The window of the station in the working folder, as the window tool runs
// it; once `devices` devices are built, the operator saves the production
// settings on their page and the file SAVED is made.
int windowSavingAfterDevices(int devices)
{
    int argc = 3;
    char* argv[] = {const_cast<char*>("mavik"), const_cast<char*>("-f"), const_cast<char*>("tessor.cfg"), nullptr};
    QApplication application(argc, argv);
    shell::MavikApp app;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (occurrences("tessor.log", BUILT) < devices) {
            return;
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* sheet = dynamic_cast<shell::WndMavikMain*>(widget)) {
                poll.stop();
                sheet->SetActivePage(1);
                QTest::mouseClick(sheet->GetPage(1)->GetDlgItem(page::PageUdisk::IDC_SAVE), Qt::LeftButton);
                std::ofstream(SAVED) << "by the operator\n";
            }
        }
    });
    poll.start(50);
    return app.InitInstance(argc, argv);
}

enum class Front { CONSOLE, WINDOW, WINDOW_SAVED };

// A station laid out from the samples, counting serial numbers up from 1 and
// starting each device as it is found, in a folder of its own.
class SerialStation {
public:
    SerialStation()
    {
        fs::copy(TESSOR_SAMPLES, m_folder.path(), fs::copy_options::recursive);
        code_test::makeTree(m_folder.path());
        fs::create_directories(m_folder.path() + "/ports");
        const std::string settings = m_folder.path() + "/releases/usr/etc/UserSetting.ini";
        EXPECT_NE(0, WritePrivateProfileStringA("SettingInformation", "autoStart", "1", settings.c_str()));
        EXPECT_EQ(2u, GetPrivateProfileIntA("SettingInformation", "SNGenMode", 0, settings.c_str()));
    }

    // Runs the station with `front`, plugs DEVICES_PER_RUN new devices, waits
    // until they are built (and saved, for WINDOW_SAVED), then kills it.
    void runAndKill(Front front)
    {
        const std::string& folder = m_folder.path();
        const ToolProcess::Environment environment = {
            {"TAVAL_PORTS", folder + "/ports"}, {"QT_QPA_PLATFORM", "offscreen"}, {"TESSOR_MESSAGE_BOX", "log"}};
        const std::vector<std::string> arguments = {"-f", "tessor.cfg"};
        ToolProcess tool(folder, environment,
                         front == Front::CONSOLE  ? ToolProcess::program(TESSOR_TOOL, arguments)
                         : front == Front::WINDOW ? ToolProcess::program(MAVIK_TOOL, arguments)
                                                  : [] { return windowSavingAfterDevices(DEVICES_PER_RUN); });
        for (int port = 0; port < DEVICES_PER_RUN; ++port) {
            const std::string device = folder + "/devices/disk" + std::to_string(m_devices.size());
            test_support::writeDeviceIni(device, {{"Device.Variant", "6716"},
                                                  {"Device.FlashId", "ECD35195"},
                                                  {"Device.BlocksPerChip", "1024"},
                                                  {"Device.PagesPerBlock", "64"},
                                                  {"Device.SectorsPerPage", "4"}});
            fs::create_directory_symlink(device, folder + "/ports/port" + std::to_string(port));
            m_devices.push_back(device);
        }
        const std::string log = folder + "/tessor.log";
        EXPECT_TRUE(tool.waitUntil([&] { return occurrences(log, BUILT) >= DEVICES_PER_RUN; }, RUN_LIMIT))
            << tool.errors() << test_support::readFile(log);
        if (front == Front::WINDOW_SAVED) {
            EXPECT_TRUE(tool.waitUntil([&] { return fs::exists(folder + "/" + SAVED); }, RUN_LIMIT)) << tool.errors();
        }
        tool.signal(SIGKILL);
        EXPECT_EQ(-1, tool.wait());
        EXPECT_EQ(std::string::npos, tool.errors().find("Sanitizer")) << tool.errors();
        for (int port = 0; port < DEVICES_PER_RUN; ++port) {
            fs::remove(folder + "/ports/port" + std::to_string(port));
        }
        // The next run counts its own devices.
        fs::rename(log, folder + "/run" + std::to_string(m_devices.size()) + ".log");
    }

    // The serial text of every device built, as its configuration table on
    // the flash holds it.
    std::vector<std::string> serialNumbers() const
    {
        // Where a 6716 table keeps the text: 18 bytes, zero-ended.
        constexpr size_t SERIAL_TEXT = 0x136;
        constexpr size_t SERIAL_SIZE = 18;
        std::vector<std::string> serials;
        for (const std::string& device : m_devices) {
            const system_area::SystemArea area = system_area::read(device);
            EXPECT_EQ("", area.error) << device;
            if (area.copies.empty()) {
                ADD_FAILURE() << device << " holds no configuration table";
                continue;
            }
            const auto* text = reinterpret_cast<const char*>(area.copies.front().table.data()) + SERIAL_TEXT;
            serials.emplace_back(text, strnlen(text, SERIAL_SIZE));
        }
        return serials;
    }

private:
    test_support::TempFolder m_folder;
    std::vector<std::string> m_devices;
};

TEST(SerialRestart, NoSerialNumberIsHandedOutTwiceAcrossAKill)
{
    struct Case {
        const char* name;
        Front first;
        Front second;
    } cases[] = {
        {"console tool", Front::CONSOLE, Front::CONSOLE},
        {"window", Front::WINDOW, Front::WINDOW},
        {"window, Save before the kill", Front::WINDOW_SAVED, Front::WINDOW},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SerialStation station;
        station.runAndKill(c.first);
        station.runAndKill(c.second);
        const std::vector<std::string> serials = station.serialNumbers();
        ASSERT_EQ(size_t(2 * DEVICES_PER_RUN), serials.size());
        for (const std::string& serial : serials) {
            EXPECT_EQ(12u, serial.size()) << serial;
            EXPECT_EQ(0u, serial.rfind("DEMO", 0)) << serial;
        }
        EXPECT_EQ(serials.size(), std::set<std::string>(serials.begin(), serials.end()).size())
            << ::testing::PrintToString(serials);
    }
}

}  // namespace
