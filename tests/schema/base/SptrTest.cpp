#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "schema/base/Sptr.h"

namespace {

std::atomic<int> g_deleted{0};

struct Probe {
    virtual ~Probe() { ++g_deleted; }
};
struct OtherProbe : Probe {};
struct DerivedProbe : Probe {};

TEST(Sptr, LastOfManyCopiesReleasedOnDifferentThreadsDeletesOnce)
{
    g_deleted = 0;
    {
        Sptr<Probe> origin(new Probe());
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([copy = origin]() mutable {
                for (int i = 0; i < 1000; ++i) {
                    Sptr<Probe> local = copy;
                    Sptr<Probe> other;
                    other = local;
                }
            });
        }
        for (auto& t : threads) {
            t.join();
        }
        EXPECT_EQ(origin.useCount(), 1);
        EXPECT_EQ(g_deleted, 0);
    }
    EXPECT_EQ(g_deleted, 1);
}

TEST(Sptr, ConvertingAssignmentToWrongTypeEmptiesTargetAndReleasesOld)
{
    g_deleted = 0;
    Sptr<DerivedProbe> target(new DerivedProbe());
    Sptr<Probe> source(new OtherProbe());
    target = source;
    EXPECT_FALSE(target);
    EXPECT_EQ(g_deleted, 1);
    EXPECT_EQ(source.useCount(), 1);
}

TEST(Sptr, ConvertingAssignmentToRightTypeShares)
{
    Sptr<Probe> source(new DerivedProbe());
    Sptr<DerivedProbe> target;
    target = source;
    ASSERT_TRUE(target);
    EXPECT_EQ(source.useCount(), 2);
}

TEST(Sptr, SelfAndSameObjectAssignmentChangeNothing)
{
    Sptr<Probe> a(new Probe());
    Sptr<Probe> b = a;
    a = a;
    a = b;
    EXPECT_EQ(a.useCount(), 2);
}

TEST(Sptr, CrosswiseAssignmentDoesNotDeadlock)
{
    Sptr<Probe> a(new Probe());
    Sptr<Probe> b(new Probe());
    std::thread t1([&] {
        for (int i = 0; i < 2000; ++i) {
            Sptr<Probe> keep = b;
            a = keep;
        }
    });
    std::thread t2([&] {
        for (int i = 0; i < 2000; ++i) {
            Sptr<Probe> keep = a;
            b = keep;
        }
    });
    t1.join();
    t2.join();
    SUCCEED();
}

}  // namespace
