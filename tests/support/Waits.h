// Waiting for what other threads bring about: a condition polled until it
// holds, or a thread seen blocked in a wait.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace test_support {

// Polls `done` until it holds; false once `limit` has passed without it.
template <typename Done>
[[nodiscard]] bool waitUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The calling thread, as waitBlocked knows it.
inline pid_t threadId()
{
    return ::gettid();
}

// Waits until thread `id` of this process sleeps in the kernel, as a thread
// blocked on a lock, a condition, a join or a timed wait does; false after
// `limit`.
[[nodiscard]] inline bool waitBlocked(pid_t id, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const std::string stat = "/proc/self/task/" + std::to_string(id) + "/stat";
    return waitUntil(
        [&] {
            std::ifstream in(stat);
            std::string line;
            std::getline(in, line);
            // The state follows the name, which is in parentheses.
            const size_t close = line.rfind(')');
            return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'S';
        },
        limit);
}

}  // namespace test_support
