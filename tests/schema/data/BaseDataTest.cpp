#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "schema/data/BaseData.h"

using Tessor::schema::BaseData;
using Tessor::schema::BaseDevice;

namespace {

class Item : public BaseData {
public:
    explicit Item(const std::string& name, int result = 0) : BaseData(name), m_result(result) {}
    int init() override { return 0; }
    int result() const { return m_result; }

private:
    int m_result;
};

// Records the children it is walked over and returns each child's result.
class Walker : public BaseData {
public:
    Walker() : BaseData("Walker") {}
    int init() override { return 0; }
    int processEveryOne(BaseDevice* /*device*/, Sptr<BaseData> child) override
    {
        visited.push_back(child->getName());
        return static_cast<Item*>(child.get())->result();
    }
    std::vector<std::string> visited;
};

Sptr<BaseData> item(const std::string& name, int result = 0) { return Sptr<BaseData>(new Item(name, result)); }

}  // namespace

TEST(BaseData, EmptyObjectHasNoChildren)
{
    Walker walker;
    EXPECT_EQ(walker.getCount(), 0);
    EXPECT_FALSE(walker.getData(0));
    EXPECT_FALSE(walker.getNextData(Sptr<BaseData>()));
    EXPECT_EQ(walker.runAll(nullptr), 0);
    EXPECT_TRUE(walker.visited.empty());
}

TEST(BaseData, ChildrenAreIndexedInOrderAndWalkedByIndex)
{
    Walker parent;
    Sptr<BaseData> a = item("a"), b = item("b"), c = item("c");
    parent.addData(a);
    parent.addData(b);
    parent.addData(c);

    EXPECT_EQ(a->getIndex(), 0);
    EXPECT_EQ(b->getIndex(), 1);
    EXPECT_EQ(c->getIndex(), 2);
    EXPECT_TRUE(parent.getData(2) == c);
    EXPECT_FALSE(parent.getData(3));
    EXPECT_FALSE(parent.getData(-1));
    EXPECT_TRUE(parent.getNextData(Sptr<BaseData>()) == a);
    EXPECT_TRUE(parent.getNextData(a) == b);
    EXPECT_FALSE(parent.getNextData(c));

    parent.clearData();
    EXPECT_EQ(parent.getCount(), 0);
    Sptr<BaseData> d = item("d");
    parent.addData(d);
    EXPECT_EQ(d->getIndex(), 0);
}

TEST(BaseData, WalkStopsAtFirstFailure)
{
    Walker parent;
    parent.addData(item("first"));
    parent.addData(item("second", -5));
    parent.addData(item("third"));
    EXPECT_EQ(parent.runAll(nullptr), -5);
    EXPECT_EQ(parent.visited, (std::vector<std::string>{"first", "second"}));
}

// An assigned object used to keep its own children and gain only the source's
// first one, so a walk over it met the wrong children.
TEST(BaseData, AssignmentTakesOverEveryChildAndTheSourceState)
{
    Walker source;
    Sptr<BaseData> a = item("a"), b = item("b");
    source.addData(a);
    source.addData(b);
    Walker target;
    Sptr<BaseData> stale = item("stale");
    target.addData(stale);

    target = source;
    ASSERT_EQ(target.getCount(), 2);
    EXPECT_TRUE(target.getData(0) == a);
    EXPECT_TRUE(target.getData(1) == b);
    EXPECT_FALSE(target.getNextData(b));
    EXPECT_EQ(target.runAll(nullptr), 0);
    EXPECT_EQ(target.visited, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(source.getCount(), 2);

    Item renamed("renamed");
    static_cast<BaseData&>(renamed) = *a;
    EXPECT_STREQ(renamed.getName(), "a");
}

TEST(BaseData, CheckSumFoldsWordsIntoTheLast)
{
    struct Case {
        int len;
        int sumWord;  // -1: nothing may change
    };
    const Case cases[] = {{16, 3}, {4, 0}, {18, 3}, {3, -1}, {0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.len);
        uint32_t words[6] = {0x11111111, 0x22222222, 0x44444444, 0xDEADBEEF, 0xCAFEBABE, 0x01020304};
        uint32_t before[6];
        std::memcpy(before, words, sizeof(words));
        Item data("sum");
        data.checkSum(reinterpret_cast<unsigned char*>(words), c.len);
        for (int i = 0; i < 6; ++i) {
            if (i == c.sumWord) {
                uint32_t expected = 0;
                for (int k = 0; k < c.sumWord; ++k) {
                    expected ^= before[k];
                }
                EXPECT_EQ(words[i], expected);
            } else {
                EXPECT_EQ(words[i], before[i]) << "word " << i;
            }
        }
    }
}

TEST(BaseData, CheckSumWithoutLengthCovers4096Bytes)
{
    std::vector<uint32_t> words(1024 + 1, 0);
    for (size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<uint32_t>(i * 2654435761u);
    }
    uint32_t expected = 0;
    for (int i = 0; i < 1023; ++i) {
        expected ^= words[i];
    }
    uint32_t guard = words[1024];
    Item data("sum");
    data.checkSum(reinterpret_cast<unsigned char*>(words.data()));
    EXPECT_EQ(words[1023], expected);
    EXPECT_EQ(words[1024], guard);
}
