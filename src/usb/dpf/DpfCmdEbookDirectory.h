// The e-book directory (area 34): number, title, logical sector and size of
// every book, then the flash block of every logical block of the e-book
// area.
#pragma once

#include <string>
#include <vector>

#include "platform/orrin/Sector.h"
#include "usb/dpf/DpfCmd.h"
#include "usb/dpf/EbookEntryRecord.h"

namespace Tessor::usb {

class DpfCmdEbookDirectory : public DpfCmd {
public:
    static constexpr int ENTRY_SIZE = sizeof(EbookEntryRecord);
    static constexpr int ENTRIES = 64;
    static constexpr int INDEX_OFFSET = ENTRY_SIZE * ENTRIES;
    static constexpr int TITLE_SIZE = EbookEntryRecord::TITLE_SIZE;
    static constexpr int MAX_INDEX_SECTORS = 20;

    DpfCmdEbookDirectory(schema::UsbDevice* device, const std::string& name)
        : DpfCmd(device, name, schema::ADDRESS_BOOK_DIRECTORY)
    {
    }
    DpfCmdEbookDirectory(schema::UsbDevice* device, const unsigned char* raw) : DpfCmd(device, raw, schema::ADDRESS_BOOK_DIRECTORY) {}
    ~DpfCmdEbookDirectory() override = default;

    [[nodiscard]] int finish(schema::UsbDevice* device) override;
    // A directory that finish refused is not written: the write fails.
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    int getSectorLength() override { return m_indexSectors + INDEX_OFFSET / SECTOR_BYTES; }
    const unsigned char* getCmdBuffer() override { return m_table.data(); }

    // The title of a book's host path: its file name without the extension,
    // cut to at most 10 bytes without splitting a double-byte character.
    static std::string titleOf(const std::string& path);

private:
    [[nodiscard]] int setEbookAddress(int sectorsPerBlock);

    int m_indexSectors = 0;
    bool m_refused = true;
    std::vector<unsigned char> m_table;
};

}  // namespace Tessor::usb
