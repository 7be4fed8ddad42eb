// A temporary INI file that a test fills and removes again.
#pragma once

#include <fstream>
#include <string>

#include "support/TempFolder.h"

class IniTestFile {
public:
    explicit IniTestFile(const std::string& content = std::string(), bool create = true)
        : m_path(m_folder.file("test.ini"))
    {
        if (create) {
            write(content);
        }
    }
    void write(const std::string& content) const
    {
        std::ofstream out(m_path, std::ios::binary);
        out << content;
    }
    std::string read() const { return test_support::readFile(m_path); }
    const char* path() const { return m_path.c_str(); }
    const std::string& dir() const { return m_folder.path(); }

private:
    test_support::TempFolder m_folder;
    std::string m_path;
};
