// usbsim: the control tool for simulated USB flash devices.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DeviceFolderCommands.h"
#include "PortCommands.h"
#include "platform/taval/PrintableText.h"

namespace {

const char kHelp[] =
    "usbsim - make, plug, pull and export simulated USB flash devices\n"
    "\n"
    "A device lives in one folder: device.ini (its description), flash.bin\n"
    "(the flash array, sparse) and logical.bin (the logical disk, sparse).\n"
    "\n"
    "usbsim create DIR [options]\n"
    "    Makes a new device folder. Options:\n"
    "      --preset NAME      start from a ready-made device (later options change it):\n"
    "                           G1     6716, 1 chip x 256 blocks x 64 pages x 4 sectors\n"
    "                           G2     6716, 2 chips x 512 x 128 x 8, two planes\n"
    "                           G3     6706 (small-page firmware), 1 x 1024 x 32 x 1\n"
    "                           G4     6716V31 TLC, 1 x 256 (200 real) x 256 (192 real) x 16\n"
    "                           G4-94  6716V31 TLC, 1 x 256 (200 real) x 128 (94 real) x 16\n"
    "                           G5     6716, 3 chips x 1000 x 64 x 4\n"
    "      --variant NAME     6706, 6716, 6716V31, 6716V32, 6726 or 6605 (default 6716)\n"
    "      --chips N          flash chips 1..4 (default 1)\n"
    "      --answering N      chips that answer the flash id read (default: all)\n"
    "      --id HEX8          flash id bytes, byte 0 first (default ECD35195)\n"
    "      --dual             dual-channel flash (each id byte answered twice)\n"
    "      --blocks N         blocks per chip (default 256)\n"
    "      --pages N          pages per block (default 64)\n"
    "      --sectors N        512-byte sectors per page, a power of two up to 32 (default 4)\n"
    "      --real-blocks N    triple-level cells: blocks per chip that exist\n"
    "      --real-pages N     triple-level cells: pages per block that exist\n"
    "      --planes N         planes minus 1 the flash-chip table gives (default 0)\n"
    "      --interleaves N    interleaves minus 1 the flash-chip table gives (default 0)\n"
    "      --logical N        sectors of the logical disk (default: as many as the flash)\n"
    "      --fill N           byte that unwritten logical sectors read as (0 or 255; default 0)\n"
    "      --drive TEXT       drive text the tool shows (default SIM); devices plugged\n"
    "                         at the same time need texts of their own\n"
    "      --strict           refuse reprogramming a sector with other data\n"
    "      --timing off|realistic\n"
    "                         take the time a real device would (page read 25 us,\n"
    "                         program 200 us, erase 2 ms, USB 35 MB/s)\n"
    "      --firmware X.YZ    the firmware version the device reports (version block\n"
    "                         bytes 4..7; default the variant's, e.g. 3.00)\n"
    "      --table            write a configuration table onto the flash, as a produced\n"
    "                         disk carries (table on block 1, page 1); with no --lun\n"
    "                         one unit spans the logical disk\n"
    "      --lun N[:hidden][:protected]\n"
    "                         a unit of N sectors in the table (repeatable, at most 4;\n"
    "                         implies --table)\n"
    "      --seed N           seed of every drawn fault\n"
    "      --fault KEY=VALUE  a fault rule (repeatable):\n"
    "          BadBlocks=LIST            factory-bad blocks, e.g. 3,7,10-12 (device-wide)\n"
    "          BadBlockFraction=F        that fraction of blocks bad, drawn from the seed\n"
    "          EraseFailBlocks=LIST      blocks whose erase fails\n"
    "          ProgramFailPages=LIST     pages whose program fails (device-wide page numbers)\n"
    "          ChangedPages=LIST         pages that read back other than written\n"
    "          ReadErrorSectors=S:N,...  sector S reads with N bad symbols (5 are corrected)\n"
    "          ReadErrorFraction=F       that fraction of sectors reads with errors ...\n"
    "          ReadErrorSymbols=N        ... of N symbols each\n"
    "          Fail<Kind>=N|always       the N-th call of an operation kind fails; kinds:\n"
    "                                    ReadVersion TableToRam CodeDownload FlashId Erase\n"
    "                                    Program Read LogicalRead LogicalWrite Switch Protect\n"
    "                                    EjectCommand EjectOutcome\n"
    "          TableToRamChangedByte=N   byte N of every table sent to RAM arrives changed\n"
    "          CodeChangedByte=N         byte N of every code piece downloaded arrives changed\n"
    "          RemoveAfter=N             the device is pulled after N operations\n"
    "          ErrorAfter=N, ErrorCode=C after N operations the library reports error C\n"
    "        Faults the scan firmware and flash reads meet (sectors and blocks device-wide):\n"
    "          BadSectors=LIST           sectors that always fail\n"
    "          MostlyBadBlocks=B:N,...   the last N sectors of block B fail\n"
    "          FirstPageBadBlocks=LIST   page 0 of these blocks fails\n"
    "          WeakSectors=LIST          sectors that fail now and then ...\n"
    "          WeakSectorFraction=F      ... or that fraction of sectors, drawn from the seed\n"
    "          WeakProbability=P         a weak sector fails a reading with chance P; 0 (default):\n"
    "                                    on every odd-numbered program of its page\n"
    "          WeakWrongBytes=N          bytes a weak failure gets wrong (default 8; the scan\n"
    "                                    command tolerates its first pattern byte)\n"
    "          WeakSectorsPerPage=N      sectors weak in each page of the page rules (default 1)\n"
    "          WeakBlockPages=LIST       these pages of every block are weak\n"
    "          UpperHalfWeak=all|LIST    the upper half of the pages of these blocks is weak\n"
    "          CPagesWeak=all|LIST       triple-level cells: the C pages are weak\n"
    "          AdjacentBlockDisturb=all|LIST  odd blocks are weak while their even neighbour\n"
    "                                    holds programmed pages\n"
    "          PairedPages=X:Y,...       page X is weak when page Y of its block was programmed\n"
    "                                    since the erase\n"
    "          MinCycle=N                RAM-table cycle bytes below N corrupt writes and reads\n"
    "          VendorFailAfter=N         after N good vendor commands the next fails ...\n"
    "          VendorFailAttempts=K      ... K times (0, the default: for good)\n"
    "          CancelAfter=N, CancelCode=C  after N operations the operator stops the run:\n"
    "                                    C 0x8029 (the default) cancels it, 0x8027 ejects\n"
    "                                    the device\n"
    "\n"
    "usbsim ini-section DIR\n"
    "    Prints the flash-chip-table INI section that matches the device.\n"
    "\n"
    "usbsim plug PORTS N DIR\n"
    "usbsim unplug PORTS N\n"
    "    Plugs the device of DIR into port N of a running tool, or pulls it out.\n"
    "    PORTS is the folder the tool watches: start the tool with the\n"
    "    environment variable TAVAL_PORTS=PORTS. A device is checked before it\n"
    "    is plugged; a malformed one, a port the running tool does not have, a\n"
    "    device plugged in already and one whose drive text a plugged device has\n"
    "    are refused and nothing is plugged. What\n"
    "    the tool itself refuses it tells on its console.\n"
    "\n"
    "usbsim export DIR OUT [--force]\n"
    "    Writes OUT/logical.img (the logical disk, for fsck.fat, mtools, ...) and\n"
    "    OUT/flash.raw (the flash: per sector 512 data and 16 spare bytes with the\n"
    "    error-correcting code; an erased sector reads as zeros) and, for a device\n"
    "    whose flash holds a configuration table, OUT/lun<N>.img for each logical\n"
    "    unit it lists; DIR is only read. The copies are sparse files: what the\n"
    "    device never wrote takes no room on the disk.\n"
    "    A device plugged into a running\n"
    "    tool is refused: pull it out first, or take a copy of it as it is now\n"
    "    with --force.\n"
    "\n"
    "usbsim help\n"
    "    Prints this text.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usbsim: a command is needed\n\n%s", kHelp);
        return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    const std::string command = argv[1];
    if (command == "create") return createDevice(args);
    if (command == "ini-section") return printIniSection(args);
    if (command == "export") return exportDevice(args);
    if (command == "plug") return plugDevice(args);
    if (command == "unplug") return unplugDevice(args);
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    std::fprintf(stderr, "usbsim: unknown command '%s'\n\n%s", Tessor::taval::printableText(command).c_str(), kHelp);
    return 2;
}
