// A temporary INI file that a test fills and removes again.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

class IniTestFile {
public:
    explicit IniTestFile(const std::string& content = std::string(), bool create = true)
    {
        char dir[] = "/tmp/tessor-ini-XXXXXX";
        m_dir = mkdtemp(dir);
        m_path = m_dir + "/test.ini";
        if (create) {
            write(content);
        }
    }
    ~IniTestFile()
    {
        std::string command = "rm -rf '" + m_dir + "'";
        if (system(command.c_str()) != 0) {
            perror("rm");
        }
    }
    void write(const std::string& content) const
    {
        std::ofstream out(m_path, std::ios::binary);
        out << content;
    }
    std::string read() const
    {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    const char* path() const { return m_path.c_str(); }
    const std::string& dir() const { return m_dir; }

private:
    std::string m_dir;
    std::string m_path;
};
