#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/TempFolder.h"
#include "schema/base/UsbConfiguration.h"

using Tessor::schema::UsbConfiguration;

namespace {

TEST(ConfigFuzz, RandomBytesNeverBreakTheReader)
{
    test_support::TempFolder folder;
    std::mt19937 random(99);
    const std::string longWord(2000, 'w');
    const char* words[] = {"Log_Size", "PlugIn", "ScanCode", "LocaleFile", "Version", "ChipSet", "#",
                           " ",        "\t",     "\n",       "\r\n",       "int",     "x",       longWord.c_str()};
    testing::internal::CaptureStdout();
    for (int round = 0; round < 200; ++round) {
        std::string content;
        int pieces = static_cast<int>(random() % 300);
        for (int i = 0; i < pieces; ++i) {
            if (round % 2) {
                content += static_cast<char>(random() & 0xFF);
            } else {
                content += words[random() % (sizeof words / sizeof words[0])];
                content += ' ';
            }
        }
        UsbConfiguration::instance(folder.write("fuzz.cfg", content));
    }
    testing::internal::GetCapturedStdout();
}

}  // namespace
