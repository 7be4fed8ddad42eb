// Copies host files into a simulated device's FAT volume with mtools, which
// reads and writes the device's logical disk file at the volume's offset; a
// copy succeeds only when the volume then holds what was given.
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/taval/CopiedTree.h"
#include "platform/taval/VirtualDevice.h"

#include "platform/orrin/ByteOrder.h"

extern char** environ;

namespace Tessor::taval {

namespace {

constexpr int kPartitionEntry = 446;

bool isBootSector(const uint8_t* s) {
    return (s[0] == 0xEB || s[0] == 0xE9) && s[11] == 0x00 && s[12] == 0x02;
}

// Runs a program and waits for it; true when it exits with 0. The program
// dies with the thread that started it, so a station killed amid a copy
// leaves nothing running.
bool run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    // Host names are UTF-8 whatever locale the station runs in.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "LC_ALL=", 7) != 0) {
            env.emplace_back(*e);
        }
    }
    env.emplace_back("MTOOLS_SKIP_CHECK=1");
    env.emplace_back("LC_ALL=C.UTF-8");
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    int failure[2];
    if (::pipe2(failure, O_CLOEXEC) != 0) {
        PLATFORM_LOG(3, "cannot start %s: %s", argv[0], std::strerror(errno));
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only calls that are safe between fork and exec from here on. The
        // station's threads leave the stop signals to one waiting thread;
        // the program takes them as any program does.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, 1);
        }
        ::execvpe(argv[0], argv.data(), envp.data());
        const int error = errno;
        (void)!::write(failure[1], &error, sizeof error);
        ::_exit(127);
    }
    int error = pid < 0 ? errno : 0;
    ::close(failure[1]);
    if (pid > 0) {
        // Closed unread by the exec; the errno of a failed exec otherwise.
        ssize_t n = 0;
        while ((n = ::read(failure[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
        error = n == ssize_t(sizeof error) ? error : 0;
    }
    ::close(failure[0]);
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (error != 0) {
        PLATFORM_LOG(3, "cannot start %s: %s", argv[0], std::strerror(error));
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// False, after saying which, when the tree under `folder` holds anything but
// files and folders: a FIFO or a device would hold the copy for good.
bool onlyFilesUnder(const std::string& folder, uint64_t& bytes) {
    std::error_code ec;
    std::filesystem::recursive_directory_iterator walk(folder, ec);
    for (; !ec && walk != std::filesystem::recursive_directory_iterator(); walk.increment(ec)) {
        if (walk->is_regular_file(ec)) {
            bytes += walk->file_size(ec);
        } else if (!walk->is_directory(ec)) {
            PLATFORM_LOG(3, "%s is not a regular file: the folder %s is not copied", walk->path().c_str(), folder.c_str());
            return false;
        }
    }
    if (ec) {
        PLATFORM_LOG(3, "cannot read the folder %s: %s", folder.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

// The tools store some names otherwise than they were given (characters
// beyond U+FFFF, names that differ only in letter case, accented small
// letters of a short name): the volume's root is read back into `folder`
// and held against the source. The first entry that differs, or empty.
std::string readsBackAs(const std::string& source, const std::string& image, const std::string& folder) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (!std::filesystem::create_directory(folder, ec)) {
        return "(no folder to read the volume back into: " + ec.message() + ")";
    }
    std::string differs = run({"mcopy", "-s", "-n", "-Q", "-i", image, "::/", folder + "/"})
                              ? CopiedTree::firstDifference(source, folder)
                              : "(the volume cannot be read back)";
    std::filesystem::remove_all(folder, ec);
    return differs;
}

}  // namespace

RamLunTable VirtualDevice::servedUnits() const {
    if (!m_ram.table().empty()) {
        return m_ram.units();
    }
    if (m_boot.sector >= 0) {
        return RamLunTable::read(*m_description.variant, m_boot.table);
    }
    // Without a table the controller shows its whole logical disk as one unit.
    RamLunTable whole;
    whole.slot[0].capacity = uint32_t(m_logical.sectors());
    return whole;
}

bool VirtualDevice::copyIn(const std::string& source) {
    return perform(OpKind::Copy, m_activeUnit, 0, 0, [&] {
        if (!servesDisk(OpKind::Copy)) {
            return false;
        }
        const RamLun unit = servedUnits().slot[m_activeUnit];
        const int64_t start = unit.capacity > 0 ? unit.start : 0;
        uint8_t sector[SECTOR_BYTES];
        if (!m_logical.read(start, 1, sector)) {
            return false;
        }
        int64_t volume = start;
        if (!isBootSector(sector)) {
            const uint8_t* entry = sector + kPartitionEntry;
            if (sector[510] != 0x55 || sector[511] != 0xAA || entry[4] == 0) {
                PLATFORM_LOG(3, "unit %d of %s holds no FAT volume", m_activeUnit, m_description.driveText.c_str());
                return false;
            }
            volume += fieldAt<Le32>(entry + 8);
        }
        std::error_code ec;
        const std::string image = m_logical.path() + "@@" + std::to_string(volume * SECTOR_BYTES);
        std::vector<std::string> args = {"mcopy", "-s", "-o", "-Q", "-i", image};
        const size_t fixed = args.size();
        uint64_t bytes = 0;
        if (std::filesystem::is_directory(source, ec)) {
            for (const auto& e : std::filesystem::directory_iterator(source, ec)) {
                args.push_back(e.path().string());
            }
            std::sort(args.begin() + long(fixed), args.end());
            if (!onlyFilesUnder(source, bytes)) {
                return false;
            }
        } else if (std::filesystem::is_regular_file(source, ec)) {
            args.push_back(source);
            bytes = std::filesystem::file_size(source, ec);
        } else {
            PLATFORM_LOG(3, "nothing to copy at %s", source.c_str());
            return false;
        }
        if (args.size() == fixed) {
            return true;
        }
        args.emplace_back("::/");
        if (!run(args)) {
            PLATFORM_LOG(3, "copy of %s into unit %d of %s failed", source.c_str(), m_activeUnit,
                  m_description.driveText.c_str());
            return false;
        }
        const std::string differs =
            readsBackAs(source, image, m_description.folder + "/" + READ_BACK_FOLDER);
        if (!differs.empty()) {
            PLATFORM_LOG(3, "copy of %s into unit %d of %s: %s does not read back as it was given", source.c_str(),
                         m_activeUnit, m_description.driveText.c_str(), differs.c_str());
            return false;
        }
        m_timing.charge(0, 0, 0, int64_t(bytes));
        return true;
    });
}

}  // namespace Tessor::taval
