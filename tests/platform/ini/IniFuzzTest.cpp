#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "IniTestFile.h"
#include "platform/ini/Ini.h"

namespace {

TEST(IniFuzz, RandomBytesNeverBreakTheReader)
{
    IniTestFile file;
    std::mt19937 random(1234);
    const char alphabet[] = "[]=;\r\n \t\"abcK0x9-\xEF\xBB\xBF\xFF";
    for (int round = 0; round < 300; ++round) {
        std::string content;
        int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            content += (round % 2) ? static_cast<char>(random() & 0xFF)
                                   : alphabet[random() % (sizeof alphabet - 1)];
        }
        file.write(content);
        char buffer[16];
        GetPrivateProfileStringA("a", "K", "d", buffer, sizeof buffer, file.path());
        EXPECT_LT(strlen(buffer), sizeof buffer);
        (void)GetPrivateProfileIntA("abc", "k0x9", 0, file.path());  // any value; it must not crash
        unsigned n = GetPrivateProfileSectionNamesA(buffer, sizeof buffer, file.path());
        ASSERT_LE(n, sizeof buffer - 2);
        // Walking the names stops inside the buffer, truncated or not.
        size_t at = 0;
        while (at < sizeof buffer && buffer[at] != '\0') {
            at += strnlen(buffer + at, sizeof buffer - at) + 1;
        }
        EXPECT_LT(at, sizeof buffer);
        EXPECT_NE(0, WritePrivateProfileStringA("a", "K", "v", file.path()));
        GetPrivateProfileStringA("a", "K", "d", buffer, sizeof buffer, file.path());
        EXPECT_STREQ("v", buffer);
    }
}

}  // namespace
