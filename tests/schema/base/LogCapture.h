// Sends the process log to a fresh file for one test and reads it back.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "schema/base/Log.h"

class LogCapture {
public:
    explicit LogCapture(int level = Tessor::schema::LOG_DBUG)
    {
        char pattern[] = "/tmp/tessor-log-XXXXXX";
        m_dir = mkdtemp(pattern);
        m_path = m_dir + "/test.log";
        Tessor::schema::openLogFile(m_path.c_str());
        Tessor::schema::setLogLevel(level);
    }
    ~LogCapture()
    {
        Tessor::schema::setLogLevel(Tessor::schema::LOG_ERR);
        Tessor::schema::openLogFile("/dev/null");
        std::filesystem::remove_all(m_dir);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::string& dir() const { return m_dir; }
    const std::string& path() const { return m_path; }

    std::string text() const { return read(m_path); }

    static std::string read(const std::string& path)
    {
        Tessor::schema::flushLog();
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

private:
    std::string m_dir;
    std::string m_path;
};
