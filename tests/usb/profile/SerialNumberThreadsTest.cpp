#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "usb/profile/uniSerialNO.h"

using Tessor::schema::uniSerialNO;

namespace {

TEST(SerialNumberThreads, TenThreadsGetDistinctNumbers)
{
    uniSerialNO::instance(1);
    std::vector<uint32_t> drawn(10 * 100);
    std::vector<std::thread> threads;
    for (int t = 0; t < 10; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                EXPECT_EQ(uniSerialNO::Taken::NEW,
                          uniSerialNO::instance()->takeSerialNO(&drawn[static_cast<size_t>(t * 100 + i)]));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<uint32_t> unique(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn.size(), unique.size());
    EXPECT_EQ(1u, *unique.begin());
    EXPECT_EQ(1000u, *unique.rbegin());
}

}  // namespace
