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

// A base without a virtual destructor: only the type the object was handed
// over as knows how to destroy it.
struct PlainBase {
    int value = 0;
};
struct CountedDerived : PlainBase {
    ~CountedDerived() { ++g_deleted; }
};

struct Node {
    Sptr<Node> next;
    ~Node() { ++g_deleted; }
};

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

TEST(Sptr, CopiesHeldOnlyByThreadsAreDeletedOnceWhenTheLastEnds)
{
    g_deleted = 0;
    std::vector<std::thread> threads;
    {
        Sptr<Probe> origin(new Probe());
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([copy = origin]() mutable { copy = Sptr<Probe>(); });
        }
    }
    for (auto& t : threads) {
        t.join();
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

TEST(Sptr, MovingHandsTheReferenceOverAndEmptiesTheSource)
{
    g_deleted = 0;
    Sptr<Probe> source(new Probe());
    Sptr<Probe> moved(std::move(source));
    EXPECT_FALSE(source);
    EXPECT_EQ(moved.useCount(), 1);
    Sptr<Probe> target(new Probe());
    target = std::move(moved);
    EXPECT_FALSE(moved);
    EXPECT_EQ(target.useCount(), 1);
    EXPECT_EQ(g_deleted, 1);
}

TEST(Sptr, HandleOfABaseDestroysTheObjectAsItsOwnType)
{
    g_deleted = 0;
    {
        Sptr<PlainBase> base = Sptr<CountedDerived>(new CountedDerived());
        EXPECT_TRUE(base);
    }
    EXPECT_EQ(g_deleted, 1);
}

TEST(Sptr, AssigningFromAHandleInsideTheReleasedObjectIsSafe)
{
    g_deleted = 0;
    Sptr<Node> head(new Node());
    head->next = Sptr<Node>(new Node());
    head->next->next = Sptr<Node>(new Node());
    head = head->next;  // drops the old head, and with it the handle assigned from
    EXPECT_EQ(g_deleted, 1);
    ASSERT_TRUE(head);
    EXPECT_TRUE(head->next);
    EXPECT_EQ(head.useCount(), 1);
}

TEST(Sptr, CrosswiseAssignmentOnTwoThreadsDoesNotDeadlock)
{
    Sptr<Probe> a(new Probe());
    Sptr<Probe> b(new Probe());
    Sptr<Probe> c(new Probe());
    std::thread t1([&] {
        for (int i = 0; i < 5000; ++i) {
            a = b;
            a = c;
        }
    });
    std::thread t2([&] {
        for (int i = 0; i < 5000; ++i) {
            b = a;
            b = c;
        }
    });
    t1.join();
    t2.join();
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
}

TEST(Sptr, HandleReadWhileAnotherThreadAssignsItSeesOneObjectOrTheOther)
{
    Sptr<Probe> first(new Probe());
    Sptr<Probe> second(new Probe());
    Sptr<Probe> shared = first;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            shared = (i % 2 == 0) ? second : first;
        }
        done = true;
    });
    int seen = 0;
    while (!done) {
        Probe* object = shared.get();
        ASSERT_TRUE(object == first.get() || object == second.get());
        ASSERT_TRUE(static_cast<bool>(shared));
        seen += (shared == first) ? 1 : 0;
    }
    writer.join();
    EXPECT_GE(seen, 0);
}

}  // namespace
