#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "schema/base/Log.h"
#include "support/LogCapture.h"
#include "support/Waits.h"

namespace {

using namespace Tessor::schema;

bool exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Highest line number written into a log generation.
int lastLineNumber(const std::string& text)
{
    int last = -1;
    for (auto pos = text.find("line "); pos != std::string::npos; pos = text.find("line ", pos + 1)) {
        int number = 0;
        if (std::sscanf(text.c_str() + pos, "line %d", &number) == 1) {
            last = number;
        }
    }
    return last;
}

// The file as it is on disk, without asking the logger to write what it holds.
std::string onDisk(const std::string& path)
{
    return test_support::readFile(path);
}

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) {
        ++count;
    }
    return count;
}

class LogToFile : public testing::Test {
protected:
    void TearDown() override { setLogSizeLimit(6291456); }
    test_support::LogCapture log{LOG_DBUG};
};

TEST_F(LogToFile, LineCarriesLabelLevelFileAndLine)
{
    setLogLabel("UDISK-0");
    CPLOG(LOG_ERR, "value %d", 42);
    const int expectedLine = __LINE__ - 1;
    setLogLabel("");
    EXPECT_EQ(log.text(), "[UDISK-0] ERR  " + std::string(__FILE__) + ":" + std::to_string(expectedLine) + " value 42\n");
}

TEST_F(LogToFile, LineAboveTheLevelWritesNothing)
{
    setLogLevel(LOG_WARN);
    CPLOG(LOG_DBUG, "hidden");
    cpLogNoLocation(-1, "never");
    cpLogNoLocation(LOG_WARN, "shown");
    EXPECT_EQ(log.text(), "[] WARN :0 shown\n");
}

TEST_F(LogToFile, EachThreadLogsUnderItsOwnLabelOrTheDefault)
{
    setDefaultLogLabel("AGENT");
    std::thread manager([] {
        setLogLabel("UiMgr");
        CPLOG(LOG_ERR, "from manager");
    });
    manager.join();
    std::thread other([] { CPLOG(LOG_ERR, "from other"); });
    other.join();
    setDefaultLogLabel("");
    const std::string text = log.text();
    EXPECT_NE(text.find("[UiMgr] ERR "), std::string::npos);
    EXPECT_NE(text.find("[AGENT] ERR "), std::string::npos);
}

TEST_F(LogToFile, RotatesAtTheSizeLimitKeepingSixGenerationsNewestFirst)
{
    setLogSizeLimit(1024);
    for (int i = 0; i < 600; ++i) {
        CPLOG(LOG_ERR, "line %d padding the log file up to its limit", i);
    }
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(exists(log.path() + "." + std::to_string(i))) << i;
    }
    EXPECT_FALSE(exists(log.path() + ".7"));
    // The line that reached the limit went into .1, so the new file may still be empty.
    const std::string current = log.text();
    int newer = current.empty() ? std::numeric_limits<int>::max() : lastLineNumber(current);
    for (int i = 1; i <= 6; ++i) {
        const std::string generation = test_support::readFile(log.path() + "." + std::to_string(i));
        EXPECT_GE(generation.size(), 1024u);
        const int older = lastLineNumber(generation);
        EXPECT_LT(older, newer) << "generation " << i;
        newer = older;
    }
    EXPECT_LT(std::filesystem::file_size(log.path()), 1024u);
}

TEST_F(LogToFile, LinesOfManyThreadsNeverMix)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) {
                CPLOG(LOG_ERR, "thread %d line %d end", t, i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::string text = log.text();
    const std::string start = "[] ERR  " + std::string(__FILE__) + ":";
    int lines = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line); ++lines) {
        int sourceLine = 0;
        int thread = 0;
        int number = 0;
        char end[8] = {};
        ASSERT_EQ(line.rfind(start, 0), 0u) << line;
        ASSERT_EQ(std::sscanf(line.c_str() + start.size(), "%d thread %d line %d %7s", &sourceLine, &thread, &number, end), 4)
            << line;
        ASSERT_STREQ(end, "end") << line;
    }
    EXPECT_EQ(lines, 800);
}

TEST_F(LogToFile, ErrorLineIsOnDiskAtOnceWithTheLinesBeforeIt)
{
    CPLOG(LOG_DBUG, "detail line");
    CPLOG(LOG_ERR, "error line");
    const std::string text = onDisk(log.path());
    EXPECT_NE(text.find("detail line\n"), std::string::npos);
    EXPECT_NE(text.find("error line\n"), std::string::npos);
}

TEST_F(LogToFile, DetailLineReachesTheDiskUnasked)
{
    CPLOG(LOG_DBUG, "detail line");
    EXPECT_TRUE(test_support::waitUntil(
        [&] { return onDisk(log.path()).find("detail line\n") != std::string::npos; }, std::chrono::seconds(10)))
        << onDisk(log.path());
}

// A child that exits writes the lines it logged, and not the ones its parent
// still held when it was forked.
TEST_F(LogToFile, ExitWritesEveryLineOnceAcrossAFork)
{
    CPLOG(LOG_DBUG, "parent line");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CPLOG(LOG_DBUG, "child line");
        std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string text = log.text();
    EXPECT_EQ(occurrences(text, "parent line\n"), 1) << text;
    EXPECT_EQ(occurrences(text, "child line\n"), 1) << text;
}

TEST(LogFallback, UnopenableFileSendsEveryLaterLineToStandardError)
{
    setLogLevel(LOG_ERR);
    testing::internal::CaptureStderr();
    EXPECT_EQ(openLogFile("/nonexistent-dir/tessor.log"), 0);
    CPLOG(LOG_ERR, "after the failure");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("\nCRITICAL LOGGING ERROR:\ncpLog: Cannot open log file /nonexistent-dir/tessor.log:  "),
              std::string::npos);
    EXPECT_NE(err.find("\ncpLog has reverted to logging to standard error...\n\n"), std::string::npos);
    EXPECT_NE(err.find("after the failure\n"), std::string::npos);
    EXPECT_EQ(getLogFileName(), "");
}

// A FIFO would take the log until its buffer filled and then hold every
// thread that logs; a folder cannot be written at all.
TEST(LogFallback, NamedFileThatIsNoFileIsRefusedAtOnce)
{
    const test_support::TempFolder folder;
    std::filesystem::create_directories(folder.file("folder"));
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {fifo, folder.file("folder")}) {
        SCOPED_TRACE(name);
        setLogLevel(LOG_ERR);
        testing::internal::CaptureStderr();
        EXPECT_EQ(openLogFile(name.c_str()), 0);
        CPLOG(LOG_ERR, "after the refusal");
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("CRITICAL LOGGING ERROR:\ncpLog: Cannot open log file " + name + ":  "), std::string::npos)
            << err;
        EXPECT_NE(err.find("after the refusal\n"), std::string::npos);
        EXPECT_EQ(getLogFileName(), "");
    }
}

TEST(LogFallback, FileThatCannotBeWrittenFallsBackWithoutLosingTheLine)
{
    setLogLevel(LOG_ERR);
    ASSERT_EQ(openLogFile("/dev/full"), 1);
    testing::internal::CaptureStderr();
    CPLOG(LOG_ERR, "kept line");
    CPLOG(LOG_ERR, "next line");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("CRITICAL LOGGING ERROR:\ncpLog could not write its log file /dev/full"), std::string::npos);
    EXPECT_NE(err.find("kept line\n"), std::string::npos);
    EXPECT_NE(err.find("next line\n"), std::string::npos);
    EXPECT_EQ(getLogFileName(), "");
}

}  // namespace
