// E-book texts cut into the frame's display lines.
#include <gtest/gtest.h>

#include <string>

#include "utils/EbookReflow.h"

namespace {

using Tessor::utils::reflowEbookText;

std::string reflow(const std::string& text)
{
    std::vector<unsigned char> out;
    reflowEbookText(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int32_t>(text.size()), &out);
    return std::string(out.begin(), out.end());
}

const std::string M = "\x7F";
const std::string kChar = "\xD6\xD0";  // one double-byte character

std::string times(const std::string& piece, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += piece;
    }
    return s;
}

TEST(EbookReflow, CutsLinesAsTheFrameShowsThem)
{
    const std::string letters45 = times("abcdefghijklmno", 3);
    const struct {
        const char* what;
        std::string in;
        std::string out;
    } cases[] = {
        {"20 bytes or less unchanged", "short line", "short line"},
        {"exactly 20", times("x", 20), times("x", 20)},
        {"a word longer than a line is cut", letters45,
         letters45.substr(0, 20) + M + letters45.substr(20, 20) + M + letters45.substr(40)},
        {"the 21st byte is a space: no word moves", "Hello world, this is a test",
         "Hello world, this is" + M + " a test"},
        {"a 12-letter word moves whole", "abcdefghij abcdefghijkl", "abcdefghij " + M + "abcdefghijkl"},
        {"a double-byte character is not split", times("a", 19) + kChar + "tail", times("a", 19) + M + kChar + "tail"},
        {"ten double-byte characters fill a line", times(kChar, 10) + "more text", times(kChar, 10) + M + "more text"},
        {"an own line end is kept", "abc\r\n" + times("z", 30), "abc\r\n" + times("z", 20) + M + times("z", 10)},
        {"a line end at the 21st byte", times("y", 20) + "\r\n" + times("q", 5), times("y", 20) + "\r\n" + times("q", 5)},
        {"an empty line stays empty", "\r\n\r\n" + times("w", 21), "\r\n\r\n" + times("w", 20) + M + "w"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.out, reflow(c.in)) << c.what;
    }
}

// Two blanks and a 19-letter word, over and over: every word moves to a
// line of its own, so a marker follows every two bytes of some lines.
TEST(EbookReflow, OutputStaysWithinItsBoundOnAdversarialText)
{
    const std::string unit = "  abcdefghijklmnopqrs";
    std::string text;
    while (text.size() < 1000000) {
        text += unit;
    }
    text.resize(1000000);
    const std::string out = reflow(text);
    size_t markers = 0;
    for (char c : out) {
        markers += c == M[0];
    }
    EXPECT_EQ(text.size() + markers, out.size());
    EXPECT_EQ(1071428u, out.size());
    EXPECT_LE(out.size(), text.size() + text.size() / 2 + 2);
    // More than the old fixed buffer of size + size / 15 + 512 would hold.
    EXPECT_GT(out.size(), text.size() + text.size() / 15 + 512);
}

}  // namespace
