#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "IniTestFile.h"
#include "platform/ini/Ini.h"

namespace {

// Writers rewrite both keys to one value at a time; a reader must always
// find a whole file: both keys present and each written by some writer.
TEST(IniConcurrency, ReadersNeverSeeATornFile)
{
    IniTestFile file("[Table]\nA=0\nB=0\n");
    std::atomic<bool> stop(false);
    std::atomic<int> torn(0);
    std::vector<std::thread> threads;
    for (int w = 0; w < 2; ++w) {
        threads.emplace_back([&, w] {
            for (int i = 0; i < 200; ++i) {
                std::string value = std::to_string(w * 1000 + i);
                EXPECT_NE(WritePrivateProfileStringA("Table", "A", value.c_str(), file.path()), 0);
                EXPECT_NE(WritePrivateProfileStringA("Table", "B", value.c_str(), file.path()), 0);
            }
        });
    }
    for (int r = 0; r < 4; ++r) {
        threads.emplace_back([&] {
            while (!stop) {
                char names[64];
                unsigned n = GetPrivateProfileSectionNamesA(names, sizeof names, file.path());
                int a = static_cast<int>(GetPrivateProfileIntA("Table", "A", -1, file.path()));
                int b = static_cast<int>(GetPrivateProfileIntA("Table", "B", -1, file.path()));
                if (n != 6 || a < 0 || b < 0) {
                    ++torn;
                }
            }
        });
    }
    for (int w = 0; w < 2; ++w) {
        threads[w].join();
    }
    stop = true;
    for (size_t i = 2; i < threads.size(); ++i) {
        threads[i].join();
    }
    EXPECT_EQ(0, torn.load());
    for (const char* key : {"A", "B"}) {
        unsigned last = GetPrivateProfileIntA("Table", key, 0, file.path());
        EXPECT_TRUE(last == 199u || last == 1199u) << key << "=" << last;
    }
}

// Devices starting together read a table saved a moment ago, in place and
// at the same size, so neither its size nor, on a coarse clock, its time
// tells the change: each reader finds the values last written, whichever
// reader parsed them.
TEST(IniConcurrency, ReadersStartingTogetherSeeTheTableJustSaved)
{
    const int readers = 8;
    IniTestFile file("[Part]\nBlocks=1000\nPages=1000\n");
    for (int round = 1000; round < 1040; ++round) {
        file.write("[Part]\nBlocks=" + std::to_string(round) + "\nPages=" + std::to_string(round) + "\n");
        std::atomic<int> waiting(readers);
        std::atomic<int> stale(0);
        std::vector<std::thread> threads;
        for (int r = 0; r < readers; ++r) {
            threads.emplace_back([&] {
                --waiting;
                while (waiting.load() > 0) {
                    std::this_thread::yield();
                }
                for (const char* key : {"Blocks", "Pages"}) {
                    if (GetPrivateProfileIntA("Part", key, -1, file.path()) != unsigned(round)) {
                        ++stale;
                    }
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        ASSERT_EQ(0, stale.load()) << "round " << round;
    }
}

}  // namespace
