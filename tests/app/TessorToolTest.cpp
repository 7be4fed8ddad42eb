// The console tool as an operator runs it: started with a configuration
// file, a device plugged through the simulator's ports folder, stopped with
// a signal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tessor-tool-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// The tool running in a folder of its own, with its standard output read
// line by line.
class Tool {
public:
    Tool(const std::string& folder, const std::vector<std::string>& arguments)
    {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0) {
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            close(out[0]);
            close(err[0]);
            if (chdir(folder.c_str()) != 0) {
                _exit(127);
            }
            setenv("TAVAL_PORTS", (folder + "/ports").c_str(), 1);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(TESSOR_TOOL));
            for (const std::string& a : arguments) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            execv(TESSOR_TOOL, argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }

    ~Tool()
    {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_out);
        close(m_err);
    }

    // Reads standard output until a line holds `text`; false on time-out or
    // end of output.
    bool waitFor(const std::string& text, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (m_output.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            pollfd fd = {m_out, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
                return false;
            }
            char buffer[4096];
            const ssize_t n = read(m_out, buffer, sizeof(buffer));
            if (n <= 0) {
                return false;
            }
            m_output.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }

    void signal(int number) { kill(m_pid, number); }

    // The exit status, or -1 when the tool did not end normally in time.
    int wait(std::chrono::seconds limit = std::chrono::seconds(60))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                return -1;
            }
            usleep(10000);
        }
        m_ended = true;
        drain();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& output() const { return m_output; }
    const std::string& errors() const { return m_errors; }

private:
    void drain()
    {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(m_out, buffer, sizeof(buffer))) > 0) {
            m_output.append(buffer, static_cast<size_t>(n));
        }
        while ((n = read(m_err, buffer, sizeof(buffer))) > 0) {
            m_errors.append(buffer, static_cast<size_t>(n));
        }
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    bool m_ended = false;
    std::string m_output;
    std::string m_errors;
};

// A factory station of two ports on the 6716 controller, its profiles taken
// from the samples.
void writeStation(const std::string& folder)
{
    const std::string etc = std::string(TESSOR_SAMPLES) + "/releases/usr/etc";
    for (const char* file : {"FlashChip.ini", "UserSetting.ini", "Mp3Config.ini"}) {
        fs::copy_file(etc + "/" + file, folder + "/" + file);
    }
    std::ofstream(folder + "/scan.img", std::ios::binary) << std::string(2048, '\x5A');
    std::ofstream(folder + "/station.cfg") << "Display_Name string Tool Test\n"
                                           << "Log_Level int 3\n"
                                           << "LogFilename string tessor.log\n"
                                           << "PlugIn list UsbMgr udisk\n"
                                           << "Device_Count int 2\n"
                                           << "FlashProfile string FlashChip.ini\n"
                                           << "UserProfile string UserSetting.ini\n"
                                           << "Mp3Profile string Mp3Config.ini\n"
                                           << "ScanCode list 6716 scan.img\n"
                                           << "UdiskCode list 6716 scan.img\n"
                                           << "CurrentFunction string UDiskFactory\n"
                                           << "ChipSet string 6716\n"
                                           << "SampleFile string ScanSample.dat\n";
    fs::create_directories(folder + "/ports");
    fs::create_directories(folder + "/device");
    std::ofstream(folder + "/device/device.ini") << "[Device]\nVariant=6716\nChips=1\nBlocksPerChip=64\n"
                                                 << "PagesPerBlock=16\nSectorsPerPage=4\nFlashId=ECD35195\n";
}

TEST(TessorToolTest, RunsAStationUntilStoppedAndEndsCleanly)
{
    TempFolder folder;
    writeStation(folder.path());
    Tool tool(folder.path(), {"-f", "station.cfg"});
    ASSERT_TRUE(tool.waitFor("Ready\n")) << tool.output();
    ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output();
    fs::create_directory_symlink(folder.path() + "/device", folder.path() + "/ports/port0");
    EXPECT_TRUE(tool.waitFor("UDISK-0 FOUND code=0x0\n")) << tool.output();
    EXPECT_TRUE(tool.waitFor("UDISK-0 READY code=0x0\n")) << tool.output();
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(), 0) << tool.errors();
    EXPECT_NE(tool.output().find("shutdown procedure is called"), std::string::npos);
}

TEST(TessorToolTest, StartFailuresEndWithAFailureStatus)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{}, "No configuration file is found!"},
        {{"-fmissing.cfg"}, "can not open "},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        Tool tool(folder.path(), c.arguments);
        EXPECT_EQ(tool.wait(), EXIT_FAILURE);
        EXPECT_NE(tool.errors().find(c.message), std::string::npos) << tool.errors();
    }
}

}  // namespace
