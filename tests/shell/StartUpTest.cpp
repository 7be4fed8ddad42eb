// The window's start-up as an operator meets it when something is missing:
// the message it shows (headless: standard error) and its exit status.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "support/Waits.h"

namespace {

constexpr int START_FAILED_STATUS = 3;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

using test_support::readFile;

class StartUpTest : public ::testing::Test {
protected:

    // Runs the window tool in the folder with the message boxes logged.
    Outcome start(const std::vector<std::string>& arguments, const char* language = "C")
    {
        const std::string out = m_dir + "/out.txt";
        const std::string err = m_dir + "/err.txt";
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(m_dir.c_str()) != 0 || !freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) {
                _exit(127);
            }
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            setenv("TESSOR_MESSAGE_BOX", "log", 1);
            setenv("LC_ALL", language, 1);
            std::vector<char*> argv{const_cast<char*>(MAVIK_TOOL)};
            for (const std::string& a : arguments) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            execv(MAVIK_TOOL, argv.data());
            _exit(127);
        }
        Outcome run;
        int status = 0;
        if (!test_support::waitUntil([&] { return waitpid(pid, &status, WNOHANG) != 0; }, std::chrono::seconds(20))) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "the tool did not end";
            return run;
        }
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = readFile(out);
        run.err = readFile(err);
        return run;
    }

    // station.cfg: a factory station of `count` ports, and `more` lines.
    void writeStation(const std::string& count, const std::string& more = "")
    {
        std::ofstream(m_dir + "/station.cfg") << "Display_Name string Window Test\n"
                                              << "Log_Level int 3\n"
                                              << "LogFilename string " << m_dir << "/station.log\n"
                                              << "PlugIn list UsbMgr udisk\n"
                                              << "Device_Count int " << count << "\n"
                                              << "CurrentFunction string UDiskFactory\n"
                                              << "ChipSet string 6716\n"
                                              << more;
    }

    test_support::TempFolder m_folder;
    const std::string& m_dir = m_folder.path();
};

TEST_F(StartUpTest, WithoutArgumentsItAsksForTheShortcut)
{
    const Outcome run = start({});
    EXPECT_EQ(run.status, START_FAILED_STATUS);
    EXPECT_NE(run.err.find("No configuration file is found! Please start it with shortcut icon!"), std::string::npos)
        << run.err;
}

TEST_F(StartUpTest, AMissingConfigurationFileEndsTheStart)
{
    const Outcome run = start({"-F", "missing.cfg"});
    EXPECT_EQ(run.status, START_FAILED_STATUS);
    EXPECT_NE(run.err.find("can not open " + m_dir + "/missing.cfg"), std::string::npos) << run.err;
}

// A port count the window cannot show, each on a channel of its own, is
// refused as one the device layer cannot serve.
TEST_F(StartUpTest, AStationTheDeviceLayerRefusesShowsItsMessage)
{
    for (const char* count : {"0", "21", "40"}) {
        SCOPED_TRACE(count);
        writeStation(count);
        const Outcome run = start({"/debug", "-fstation.cfg"});
        EXPECT_EQ(run.status, START_FAILED_STATUS);
        EXPECT_NE(run.err.find("station.cfg: tag Device_Count '" + std::string(count) +
                               "' is not a port count of 1..20"),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.out.find("some error in device management\n"), std::string::npos) << run.out;
        EXPECT_NE(run.err.find("Some Errors found in Device Layer"), std::string::npos) << run.err;
    }
}

// Told in the system's language once the configuration names its texts.
TEST_F(StartUpTest, TheDeviceLayersRefusalIsToldInTheSystemsLanguage)
{
    const struct {
        const char* language;
        const char* tag;
        const char* file;
        const char* message;
    } languages[] = {
        {"zh_CN.UTF-8", "sChinese", "locale_sc.ini", "设备层发现错误"},
        {"zh_TW.UTF-8", "tChinese", "locale_tc.ini", "設備層發現錯誤"},
    };
    for (const auto& l : languages) {
        SCOPED_TRACE(l.language);
        writeStation("21", std::string("LocaleFile list ") + l.tag + " " + TESSOR_SAMPLES + "/releases/usr/etc/" +
                               l.file + "\n");
        const Outcome run = start({"/debug", "-fstation.cfg"}, l.language);
        EXPECT_EQ(run.status, START_FAILED_STATUS);
        EXPECT_NE(run.err.find(l.message), std::string::npos) << run.err;
    }
}

}  // namespace
