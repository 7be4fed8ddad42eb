// Sends the process log to a fresh file for one test and reads it back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "schema/base/Log.h"
#include "support/TempFolder.h"

namespace test_support {

class LogCapture {
public:
    explicit LogCapture(int level = Tessor::schema::LOG_DBUG) : m_path(m_folder.file("test.log"))
    {
        EXPECT_EQ(Tessor::schema::openLogFile(m_path.c_str()), 1) << m_path;
        Tessor::schema::setLogLevel(level);
    }
    ~LogCapture()
    {
        Tessor::schema::setLogLevel(Tessor::schema::LOG_ERR);
        (void)Tessor::schema::openLogFile("/dev/null");  // the next capture opens its own file
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::string& dir() const { return m_folder.path(); }
    const std::string& path() const { return m_path; }
    std::string text() const
    {
        Tessor::schema::flushLog();
        return readFile(m_path);
    }
    bool contains(const std::string& part) const { return text().find(part) != std::string::npos; }

private:
    TempFolder m_folder;
    std::string m_path;
};

}  // namespace test_support
