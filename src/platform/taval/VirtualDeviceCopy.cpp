// Copies host files into a simulated device's FAT volume with mtools, which
// reads and writes the device's logical disk file at the volume's offset; a
// copy succeeds only when the volume then holds what was given.
#include <fcntl.h>
#include <iconv.h>
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
#include "platform/orrin/CeilDivide.h"

extern char** environ;

namespace Tessor::taval {

namespace {

constexpr int kPartitionEntry = 446;

bool isBootSector(const uint8_t* s) {
    return (s[0] == 0xEB || s[0] == 0xE9) && s[11] == 0x00 && s[12] == 0x02;
}

// Runs a program and waits for it; true when it exits with 0. What it says
// on its standard error is kept in `errors`. The program dies with the
// thread that started it, so a station killed amid a copy leaves nothing
// running.
bool run(const std::vector<std::string>& args, std::string& errors) {
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
    int said[2];
    if (::pipe2(said, O_CLOEXEC) != 0) {
        PLATFORM_LOG(3, "cannot start %s: %s", argv[0], std::strerror(errno));
        ::close(failure[0]);
        ::close(failure[1]);
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
        ::dup2(said[1], 2);
        ::execvpe(argv[0], argv.data(), envp.data());
        const int error = errno;
        (void)!::write(failure[1], &error, sizeof error);
        ::_exit(127);
    }
    int error = pid < 0 ? errno : 0;
    ::close(failure[1]);
    ::close(said[1]);
    if (pid > 0) {
        // Closed unread by the exec; the errno of a failed exec otherwise.
        ssize_t n = 0;
        while ((n = ::read(failure[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
        error = n == ssize_t(sizeof error) ? error : 0;
    }
    ::close(failure[0]);
    errors.clear();
    char chunk[512];
    for (ssize_t n = 0; (n = ::read(said[0], chunk, sizeof chunk)) != 0;) {
        if (n > 0) {
            errors.append(chunk, size_t(n));
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(said[0]);
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (error != 0) {
        PLATFORM_LOG(3, "cannot start %s: %s", argv[0], std::strerror(error));
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Why the tree under `folder` cannot be copied: it holds anything but files
// and folders (a FIFO or a device would hold the copy for good), or cannot
// be read. Empty when it can, with its files' bytes added to `bytes`.
std::string notOnlyFilesUnder(const std::string& folder, uint64_t& bytes) {
    std::error_code ec;
    std::filesystem::recursive_directory_iterator walk(folder, ec);
    for (; !ec && walk != std::filesystem::recursive_directory_iterator(); walk.increment(ec)) {
        if (walk->is_regular_file(ec)) {
            bytes += walk->file_size(ec);
        } else if (!walk->is_directory(ec)) {
            return walk->path().string() + " is not a regular file";
        }
    }
    return ec ? "the folder " + folder + " cannot be read: " + ec.message() : std::string();
}

// The copy tool keeps a name of the 8.3 form whose characters all lie in its
// code page (850) as a short name alone, in that code page: readers of the
// system's code page (GBK) would show other characters. Such a name with a
// character beyond ASCII is refused; one with a character 850 lacks gets a
// long name and a plain short one.
bool shortNameInCodePage850(const std::string& name) {
    iconv_t cd = iconv_open("CP850", "UTF-8");
    if (cd == iconv_t(-1)) {
        return false;
    }
    std::string in = name;
    std::string out(name.size(), '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const bool converts = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    const size_t dot = out.rfind('.');
    const size_t base = dot == std::string::npos ? out.size() : dot;
    const size_t extension = dot == std::string::npos ? 0 : out.size() - dot - 1;
    const bool shortForm = base >= 1 && base <= 8 && extension <= 3 && out.find('.') == dot &&
                           out.find_first_of(" \"*+,/:;<=>?[\\]|") == std::string::npos;
    return converts && shortForm && std::any_of(out.begin(), out.end(), [](char c) { return c & 0x80; });
}

// Why a name under `source` cannot be kept in the system's code page; empty
// when every name can.
std::string nameOutsideCodePage(const std::string& source) {
    const std::filesystem::path root(source);
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) {
        return shortNameInCodePage850(root.filename().string()) ? root.filename().string() : std::string();
    }
    for (std::filesystem::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (shortNameInCodePage850(it->path().filename().string())) {
            return std::filesystem::relative(it->path(), root, ec).string();
        }
    }
    return {};
}

// Bytes the files of a FAT volume may take: its clusters, from its boot sector.
uint64_t volumeDataBytes(const uint8_t* boot) {
    const uint64_t clusterSectors = boot[13];
    const uint64_t total = fieldAt<Le16>(boot + 19) != 0 ? fieldAt<Le16>(boot + 19) : fieldAt<Le32>(boot + 32);
    const uint64_t fatSectors = fieldAt<Le16>(boot + 22) != 0 ? fieldAt<Le16>(boot + 22) : fieldAt<Le32>(boot + 36);
    const uint64_t rootSectors = ceilDivide<uint64_t>(uint64_t(fieldAt<Le16>(boot + 17)) * 32, SECTOR_BYTES);
    const uint64_t system = fieldAt<Le16>(boot + 14) + boot[16] * fatSectors + rootSectors;
    return clusterSectors == 0 || total <= system ? 0 : (total - system) / clusterSectors * clusterSectors * SECTOR_BYTES;
}

// Why FAT keeps the entry at `relative` (UTF-8) otherwise than it was given.
std::string whyNotStored(const std::string& relative) {
    const bool beyondPlane = std::any_of(relative.begin(), relative.end(),
                                         [](char c) { return (static_cast<unsigned char>(c) & 0xF8) == 0xF0; });
    return relative + (beyondPlane ? ": its name holds a character beyond U+FFFF, which FAT names cannot hold"
                                   : ": this volume cannot store its name as given (FAT does not tell names apart by "
                                     "letter case alone, nor keep accented small letters in a short name)");
}

// The tools store some names otherwise than they were given (characters
// beyond U+FFFF, names that differ only in letter case, accented small
// letters of a short name): the volume's root is read back into `folder`
// and held against the source. Why the copy does not hold the source as it
// was given, or empty.
std::string readsBackAs(const std::string& source, const std::string& image, const std::string& folder) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (!std::filesystem::create_directory(folder, ec)) {
        return "no folder to read the volume back into: " + ec.message();
    }
    std::string errors;
    std::string differs;
    if (!run({"mcopy", "-s", "-n", "-Q", "-i", image, "::/", folder + "/"}, errors)) {
        differs = "the volume cannot be read back: " + errors;
    } else if (const std::string entry = CopiedTree::firstDifference(source, folder); !entry.empty()) {
        differs = whyNotStored(entry);
    }
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

bool VirtualDevice::copyIn(const std::string& source, std::string* refusal) {
    refusal->clear();
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
                *refusal = "unit " + std::to_string(m_activeUnit) + " holds no FAT volume";
                return false;
            }
            volume += fieldAt<Le32>(entry + 8);
            if (!m_logical.read(volume, 1, sector)) {
                return false;
            }
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
            *refusal = notOnlyFilesUnder(source, bytes);
        } else if (std::filesystem::is_regular_file(source, ec)) {
            args.push_back(source);
            bytes = std::filesystem::file_size(source, ec);
        } else {
            *refusal = "nothing to copy at " + source;
        }
        if (const std::string name = refusal->empty() ? nameOutsideCodePage(source) : ""; !name.empty()) {
            *refusal = name + ": this volume would keep its name as a short name of code page 850, which reads "
                              "otherwise in GBK; a name of plain letters, or a longer one, is kept as given";
        }
        if (!refusal->empty()) {
            return false;
        }
        if (args.size() == fixed) {
            return true;
        }
        args.emplace_back("::/");
        std::string errors;
        if (!run(args, errors)) {
            const uint64_t room = volumeDataBytes(sector);
            *refusal = errors.find("Disk full") != std::string::npos
                           ? "its " + std::to_string(bytes) + " bytes of files do not fit on unit " +
                                 std::to_string(m_activeUnit) + ", whose volume holds at most " +
                                 std::to_string(room) + " bytes"
                           : "the volume of unit " + std::to_string(m_activeUnit) + " refuses it: " + errors;
            return false;
        }
        *refusal = readsBackAs(source, image, m_description.folder + "/" + READ_BACK_FOLDER);
        if (!refusal->empty()) {
            return false;
        }
        m_timing.charge(0, 0, 0, int64_t(bytes));
        return true;
    });
}

}  // namespace Tessor::taval
