// A photo-frame page on its own, headless: the run settings held by a
// configuration holder whose working folder is a fresh temporary resource
// tree, and the message boxes and file dialogs answered by the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/mfc/FileDialog.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/UsbConfiguration.h"
#include "support/QtApp.h"
#include "support/TempFolder.h"
#include "page/MavikConfig.h"

namespace dpf_page_test {

namespace fs = std::filesystem;

inline void writeBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Pictures for the conversions: a one-pixel red GIF (Qt writes none) and
// any format Qt writes.
inline void writeTinyGif(const fs::path& path)
{
    static const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00"
                              "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    writeBytes(path, std::string(gif, sizeof(gif) - 1));
}

inline void writePicture(const fs::path& path, Qt::GlobalColor colour, const char* format = nullptr)
{
    fs::create_directories(path.parent_path());
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(colour);
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), format));
}

class DpfPageFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }
    void SetUp() override
    {
        m_previous = fs::current_path();
        fs::current_path(m_dir.path());
        for (const char* folder :
             {"releases/res", "releases/code", "releases/usr/etc", "releases/dpf/ebook", "releases/dpf/movie",
              "releases/dpf/photo", "releases/dpf/menu/chinese/mainMenu", "releases/dpf/menu/chinese/subMenu",
              "releases/dpf/menu/english/mainMenu", "releases/dpf/menu/english/subMenu",
              "releases/dpf/menu/english/weekNum", "releases/dpf/menu/english/logo"}) {
            fs::create_directories(root() / folder);
        }
        Tessor::schema::UsbConfiguration::instance("");
        Tessor::schema::UsbConfiguration::instance()->setCurrentFunction(Tessor::schema::FUNCTION_USER);
        m_holder = std::make_unique<Tessor::page::MavikConfig>(nullptr);
        Tessor::mfc::setMessageBoxService(m_boxes);
        Tessor::mfc::setFileDialogService(m_files);
    }
    void TearDown() override
    {
        Tessor::mfc::setMessageBoxService(nullptr);
        Tessor::mfc::setFileDialogService(nullptr);
        fs::current_path(m_previous);
    }
    fs::path root() const { return fs::path(m_dir.path()); }

    test_support::TempFolder m_dir;
    fs::path m_previous;
    std::unique_ptr<Tessor::page::MavikConfig> m_holder;
    std::shared_ptr<Tessor::mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<Tessor::mfc::HeadlessMessageBoxes>();
    std::shared_ptr<Tessor::mfc::ScriptedFileDialogs> m_files = std::make_shared<Tessor::mfc::ScriptedFileDialogs>();
};

}  // namespace dpf_page_test
