// Copies host files into a simulated device's FAT volume with mtools, which
// reads and writes the device's logical disk file at the volume's offset.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/taval/VirtualDevice.h"

extern char** environ;

namespace Tessor::taval {

namespace {

constexpr int kPartitionEntry = 446;

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

bool isBootSector(const uint8_t* s) {
    return (s[0] == 0xEB || s[0] == 0xE9) && s[11] == 0x00 && s[12] == 0x02;
}

// Runs a program and waits for it; true when it exits with 0.
bool run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    env.emplace_back("MTOOLS_SKIP_CHECK=1");
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        CPLOG(3, "cannot start %s: %s", argv[0], std::strerror(error));
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
                CPLOG(3, "unit %d of %s holds no FAT volume", m_activeUnit, m_description.driveText.c_str());
                return false;
            }
            volume += le32(entry + 8);
        }
        std::error_code ec;
        std::vector<std::string> args = {"mcopy", "-s", "-o", "-Q", "-i",
                                         m_logical.path() + "@@" + std::to_string(volume * SECTOR_BYTES)};
        const size_t fixed = args.size();
        uint64_t bytes = 0;
        if (std::filesystem::is_directory(source, ec)) {
            for (const auto& e : std::filesystem::directory_iterator(source, ec)) {
                args.push_back(e.path().string());
            }
            std::sort(args.begin() + long(fixed), args.end());
            for (const auto& e : std::filesystem::recursive_directory_iterator(source, ec)) {
                bytes += e.is_regular_file() ? e.file_size() : 0;
            }
        } else if (std::filesystem::is_regular_file(source, ec)) {
            args.push_back(source);
            bytes = std::filesystem::file_size(source, ec);
        } else {
            CPLOG(3, "nothing to copy at %s", source.c_str());
            return false;
        }
        if (args.size() == fixed) {
            return true;
        }
        args.emplace_back("::/");
        if (!run(args)) {
            CPLOG(3, "copy of %s into unit %d of %s failed", source.c_str(), m_activeUnit,
                  m_description.driveText.c_str());
            return false;
        }
        m_timing.charge(0, 0, 0, int64_t(bytes));
        return true;
    });
}

}  // namespace Tessor::taval
