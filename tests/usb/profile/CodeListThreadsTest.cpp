#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "schema/base/UsbConfiguration.h"

using Tessor::schema::UsbConfiguration;

namespace {

// Device threads ask for code lists of chip sets nobody named yet.
TEST(CodeListThreads, ConcurrentGettersShareOneListPerChipSet)
{
    UsbConfiguration::instance(std::string());
    UsbConfiguration* configuration = UsbConfiguration::instance();
    std::vector<std::vector<UsbConfiguration::CodeList*>> seen(8);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int chipSet = 0; chipSet < 64; ++chipSet) {
                seen[t].push_back(configuration->getUdiskCodeList(chipSet));
                configuration->getScanCodeList(chipSet);
                configuration->getDpfCodeList(chipSet);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (size_t t = 1; t < seen.size(); ++t) {
        EXPECT_EQ(seen[0], seen[t]);
    }
}

}  // namespace
