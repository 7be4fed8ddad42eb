// A photo frame's configuration table read back from a device: the books of
// its directory and its photos read from the flash and saved as files of the
// reader's folders. Whatever the table holds, every file it makes lies in
// the folder of its kind. The first bytes give the flash's geometry, the
// next 512 are the table, the rest answer the flash reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/orrin/HostPath.h"
#include "platform/orrin/Sector.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDataFactory.h"
#include "schema/dpf/DpfDevice.h"
#include "schema/state/DeviceStateType.h"
#include "support/DpfTree.h"
#include "support/FuzzDevice.h"
#include "usb/ops/UsbProduction.h"
#include "usb/profile/FlashInfo.h"

namespace {

namespace fs = std::filesystem;

// The process's resource tree, which the photo-frame slot takes its menus
// from, and the reader's folders beside it.
const fs::path& readerRoot()
{
    static const fs::path root = [] {
        static const test_support::TempFolder folder;
        const fs::path tree = fs::path(folder.path()) / "tree";
        dpf_test::makeTree(tree);
        fs::current_path(tree);
        if (Tessor::schema::DpfDataFactory::instance()->init() != 0) {
            std::abort();
        }
        return fs::path(folder.path()) / "reader";
    }();
    return root;
}

// Aborts, naming it, when a file the reader listed or made lies outside the
// folder of its kind.
void expectInside(const fs::path& folder, const std::string& file)
{
    const fs::path host = fs::weakly_canonical(Tessor::HostPath::toHost(file));
    if (host.parent_path() != fs::weakly_canonical(folder)) {
        std::fprintf(stderr, "%s lies outside %s\n", host.c_str(), folder.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Tessor::schema;
    fuzz_support::enterStation();
    const fs::path& root = readerRoot();
    fuzz_support::InputBytes input(data, size);
    UsbConfiguration::instance()->setDpfSupport(true);

    Sptr<Tessor::usb::FlashInfo> flash(new Tessor::usb::FlashInfo());
    flash->setChipsPerDisk(1 + input.byte() % 2);
    flash->getChipInfo()->BlockPerChip = 64 << (input.byte() % 5);
    flash->getChipInfo()->PagePerBlock = 4 << (input.byte() % 6);
    flash->getChipInfo()->SectorPerPage = 1 << (input.byte() % 4);
    const std::vector<uint8_t> table = input.take(Tessor::SECTOR_BYTES);

    Tessor::usb::installUsbProduction();
    UsbDevice device(nullptr, 0, "UDISK-0");
    fuzz_support::ScriptedFlash answers(input);
    device.setDev(answers.record());
    device.setFlashInfo(flash);
    // A slot takes photo-frame settings only while it waits for a start.
    device.setState(device.findState(STATE_WAIT));
    fs::remove_all(root);
    const fs::path books = root / "books";
    const fs::path photos = root / "photos";
    fs::create_directories(books);
    fs::create_directories(photos);
    Sptr<DpfConfig> reader(new DpfConfig("Reader"));
    reader->setHome4EBook(books.string());
    reader->setHome4Photo(photos.string());
    DpfDevice* dpf = device.getDpfDevice();
    dpf->setDpfConfig(reader);
    // A table refused is an answer too; the lists of one read whole name
    // files of their folders.
    if (dpf->parsePhotoCfg(table) == 0) {
        const Sptr<DpfConfig> read = dpf->getDpfConfig();
        for (int k = 0; k < read->getEBookCfg()->getCount(); ++k) {
            expectInside(books, read->getOneBook(k)->getFileName());
        }
        for (int j = 0; j < read->getCurrentImagesCount(); ++j) {
            expectInside(photos, read->getOnePhoto(j)->getFileName());
        }
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path parent = entry.path().parent_path();
        if (entry.path() != books && entry.path() != photos && parent != books && parent != photos) {
            std::fprintf(stderr, "%s made outside the reader's folders\n", entry.path().c_str());
            std::abort();
        }
    }
    return 0;
}
