// Temporary files and a captured log for the configuration and profile tests.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "schema/base/Log.h"

class TempFolder {
public:
    TempFolder()
    {
        char dir[] = "/tmp/tessor-cfg-XXXXXX";
        m_dir = mkdtemp(dir);
    }
    ~TempFolder()
    {
        std::string command = "rm -rf '" + m_dir + "'";
        if (system(command.c_str()) != 0) {
            perror("rm");
        }
    }
    std::string write(const std::string& name, const std::string& content) const
    {
        std::string path = m_dir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << content;
        return path;
    }
    std::string path(const std::string& name) const { return m_dir + "/" + name; }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string m_dir;
};

// Sends the log to a fresh file at level 7; the logger keeps writing to that
// file afterwards, so it lives beside the test's folders, one per process.
class CapturedLog {
public:
    explicit CapturedLog(const TempFolder& /*folder*/)
        : m_path("/tmp/tessor-test-" + std::to_string(getpid()) + ".log")
    {
        m_level = Tessor::schema::getLogLevel();
        Tessor::schema::openLogFile(m_path.c_str());
        Tessor::schema::setLogLevel(7);
    }
    ~CapturedLog() { Tessor::schema::setLogLevel(m_level); }
    std::string text() const
    {
        Tessor::schema::flushLog();
        return TempFolder::read(m_path);
    }
    bool contains(const std::string& part) const { return text().find(part) != std::string::npos; }

private:
    std::string m_path;
    int m_level;
};
