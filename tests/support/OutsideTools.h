// Runs the standard disk tools on images cut from a simulated device's
// logical disk, for tests that check what the tool wrote with readers of
// their own.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace test_support {

// Copies `sectors` sectors from `first` of `source` into a new sparse file
// `target`; only the parts of the source that hold data are read, so even
// large sparse disks are cut quickly. Holes read as zeros.
inline bool cutImage(const std::string& source, int64_t first, int64_t sectors, const std::string& target)
{
    const int in = ::open(source.c_str(), O_RDONLY);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = in >= 0 && out >= 0 && ::ftruncate(out, sectors * 512) == 0;
    const off_t begin = off_t(first * 512);
    const off_t end = off_t((first + sectors) * 512);
    std::vector<char> buf(1 << 20);
    for (off_t at = begin; ok && at < end;) {
        const off_t data = ::lseek(in, at, SEEK_DATA);
        if (data < 0 || data >= end) {
            break;
        }
        const off_t hole = std::min<off_t>(::lseek(in, data, SEEK_HOLE), end);
        for (off_t p = data; ok && p < hole;) {
            const size_t n = size_t(std::min<off_t>(hole - p, off_t(buf.size())));
            ok = ::pread(in, buf.data(), n, p) == ssize_t(n) && ::pwrite(out, buf.data(), n, p - begin) == ssize_t(n);
            p += off_t(n);
        }
        at = hole;
    }
    if (in >= 0) {
        ::close(in);
    }
    if (out >= 0) {
        ::close(out);
    }
    return ok;
}

struct ToolResult {
    int status;
    std::string output;
};

// Runs a shell command; its output (both streams) is kept for messages.
inline ToolResult runTool(const std::string& command)
{
    const TempFolder folder;
    const std::string output = folder.file("output");
    // Host names are UTF-8 whatever the test's locale.
    const int raw =
        std::system(("LC_ALL=C.UTF-8 MTOOLS_SKIP_CHECK=1 " + command + " >" + output + " 2>&1").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, command + "\n" + readFile(output)};
}

// fsck.fat 4.2 takes every label byte above 0x7F for a control character
// and refuses the label: true when what it found wrong in `image` is that
// alone. About to write the volume for it, it also counts the free clusters
// a FAT32 volume leaves uncounted.
inline bool onlyLabelRefused(const ToolResult& fsck, const std::string& image)
{
    std::istringstream lines(fsck.output);
    for (std::string line; std::getline(lines, line);) {
        const bool known = line.empty() || line.rfind("fsck.fat", 0) == 0 || line.find(image) != std::string::npos ||
                           line.find("abel") != std::string::npos || line == "Leaving filesystem unchanged." ||
                           line.rfind("Free cluster summary uninitialized", 0) == 0;
        if (!known) {
            return false;
        }
    }
    return true;
}

}  // namespace test_support
