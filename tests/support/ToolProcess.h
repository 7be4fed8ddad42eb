// A tool run as an operator runs it: a separate process working in a folder
// of its own, with its standard output and error read back while it runs,
// stopped with a signal or left to end.
//
//     ToolProcess tool(folder, {{"TAVAL_PORTS", ports}}, ToolProcess::program(TESSOR_TOOL, {"-f", "station.cfg"}));
//     ASSERT_TRUE(tool.waitFor("Ready\n")) << tool.output();
//     tool.signal(SIGKILL);
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/Waits.h"

namespace test_support {

class ToolProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // Runs `body` in a child process working in `folder` with `environment`
    // added; what it returns is the exit status. `fileLimit` bytes, when
    // given, are the most any file it writes may hold, as on a disk that is
    // full. The calling process must have no other thread when `body` is
    // not an exec.
    ToolProcess(const std::string& folder, const Environment& environment, const std::function<int()>& body,
                rlim_t fileLimit = 0)
    {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0) {
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            close(out[0]);
            close(err[0]);
            if (chdir(folder.c_str()) != 0) {
                _exit(127);
            }
            for (const auto& [name, value] : environment) {
                setenv(name.c_str(), value.c_str(), 1);
            }
            if (fileLimit != 0) {
                const rlimit limit = {fileLimit, fileLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
                // A write past the limit then fails as on a full disk.
                ::signal(SIGXFSZ, SIG_IGN);
            }
            _exit(body());
        }
        close(out[1]);
        close(err[1]);
        m_out = out[0];
        m_err = err[0];
        fcntl(m_out, F_SETFL, O_NONBLOCK);
        fcntl(m_err, F_SETFL, O_NONBLOCK);
    }

    ~ToolProcess()
    {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_out);
        close(m_err);
    }

    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    // A body that runs the program at `path` with `arguments`.
    static std::function<int()> program(const std::string& path, const std::vector<std::string>& arguments)
    {
        return [path, arguments] {
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(path.c_str()));
            for (const std::string& a : arguments) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            execv(path.c_str(), argv.data());
            return 127;
        };
    }

    // Reads standard output until a line holds `text`; false on time-out or
    // end of output.
    bool waitFor(const std::string& text, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (m_output.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            pollfd fd = {m_out, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
                return false;
            }
            char buffer[4096];
            const ssize_t n = read(m_out, buffer, sizeof(buffer));
            if (n <= 0) {
                return false;
            }
            m_output.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }

    // Polls `ready` while the tool runs, reading what it says meanwhile;
    // false once the tool has ended or `limit` has passed without it.
    bool waitUntil(const std::function<bool()>& ready, std::chrono::seconds limit)
    {
        bool held = false;
        // Ended or out of time alike: what counts is whether `ready` held.
        (void)test_support::waitUntil(
            [&] {
                drain();
                held = ready();
                return held || waitpid(m_pid, nullptr, WNOHANG) != 0;
            },
            limit);
        return held;
    }

    void signal(int number) { kill(m_pid, number); }

    // The exit status, or -1 when the tool did not end normally in time.
    int wait(std::chrono::seconds limit = std::chrono::seconds(60))
    {
        int status = 0;
        const bool ended = test_support::waitUntil(
            [&] {
                // A tool that says much must not block on a full pipe.
                drain();
                return waitpid(m_pid, &status, WNOHANG) != 0;
            },
            limit);
        if (!ended) {
            return -1;
        }
        m_ended = true;
        drain();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& output() const { return m_output; }
    const std::string& errors() const { return m_errors; }

private:
    void drain()
    {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(m_out, buffer, sizeof(buffer))) > 0) {
            m_output.append(buffer, static_cast<size_t>(n));
        }
        while ((n = read(m_err, buffer, sizeof(buffer))) > 0) {
            m_errors.append(buffer, static_cast<size_t>(n));
        }
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    bool m_ended = false;
    std::string m_output;
    std::string m_errors;
};

}  // namespace test_support
