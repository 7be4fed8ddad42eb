#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "schema/data/BaseCmdData.h"

using Tessor::schema::BaseCmdData;
using Tessor::schema::UsbDevice;

namespace {

class Command : public BaseCmdData {
public:
    Command(const std::string& name, int length) : BaseCmdData(name), m_wanted(length) { init(); }
    int myInit() override
    {
        m_length = m_wanted;
        return 0;
    }
    int myInitLater() override
    {
        ++laterCalls;
        return 0;
    }
    int writeFlash(UsbDevice* /*device*/) override { return 0; }
    using BaseCmdData::writeFlash;

    int laterCalls = 0;

private:
    int m_wanted;
};

int countOf(const char* p, int n, unsigned char value)
{
    int count = 0;
    for (int i = 0; i < n; ++i) {
        count += static_cast<unsigned char>(p[i]) == value;
    }
    return count;
}

}  // namespace

TEST(BaseCmdData, BufferIsWholeSectorsOfFF)
{
    struct Case {
        int length;
        int allocated;
    };
    for (Case c : {Case{1000, 1024}, Case{512, 512}, Case{1, 512}, Case{513, 1024}}) {
        SCOPED_TRACE(c.length);
        Command cmd("cmd", c.length);
        ASSERT_NE(cmd.getBuffer(), nullptr);
        EXPECT_EQ(cmd.getLength(), c.length);
        // The whole allocation, tail of the last sector included.
        EXPECT_EQ(countOf(cmd.getBuffer(), c.allocated, 0xFF), c.allocated);
        cmd.setAsGood();
        EXPECT_EQ(countOf(cmd.getBuffer(), c.length, 0x00), c.length);
        EXPECT_EQ(countOf(cmd.getBuffer() + c.length, c.allocated - c.length, 0xFF), c.allocated - c.length);
        EXPECT_EQ(cmd.laterCalls, 1);
    }
}

TEST(BaseCmdData, ZeroLengthHasNoBuffer)
{
    Command cmd("empty", 0);
    EXPECT_EQ(cmd.getBuffer(), nullptr);
    EXPECT_EQ(cmd.laterCalls, 1);
    EXPECT_EQ(cmd.init(), 0);
}

TEST(BaseCmdData, CopiesOwnTheirBuffers)
{
    Command source("source", 600);
    source.setAsGood();
    Command copied(source);
    Command assigned("assigned", 10);
    assigned = source;
    for (Command* c : {&copied, &assigned}) {
        ASSERT_NE(c->getBuffer(), nullptr);
        EXPECT_NE(c->getBuffer(), source.getBuffer());
        EXPECT_EQ(c->getLength(), 600);
        EXPECT_EQ(countOf(c->getBuffer(), 600, 0x00), 600);
    }
    EXPECT_EQ(assigned.getFileName(), "source");
    source.setAsBad();
    EXPECT_EQ(countOf(copied.getBuffer(), 600, 0x00), 600);
}

TEST(BaseCmdData, WriteFlashWithoutDeviceFails)
{
    Command cmd("nodevice", 16);
    EXPECT_EQ(cmd.writeFlash(), -1);
}

TEST(BaseCmdData, WriteStoresLengthBytesInTheFile)
{
    std::string path = ::testing::TempDir() + "cmd_write.bin";
    std::remove(path.c_str());
    Command cmd("file", 700);
    cmd.setAsGood();
    ASSERT_EQ(cmd.write(path), 0);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string(700, '\0'));
    std::remove(path.c_str());
}
