#include "usb/dpf/DpfCmdEbookDirectory.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfDevice.h"
#include "usb/dpf/DpfLimits.h"
#include "platform/orrin/CodePage.h"

namespace Tessor::usb {

namespace {

constexpr int kExtension = 4;  // ".txt"

}  // namespace

std::string DpfCmdEbookDirectory::titleOf(const std::string& path)
{
    std::string title = path.substr(0, path.size() > kExtension ? path.size() - kExtension : 0);
    const size_t separator = title.find_last_of("\\/");
    if (separator != std::string::npos) {
        title.erase(0, separator + 1);
    }
    size_t length = 0;
    while (length < title.size()) {
        const size_t step =
            CodePage::isLeadByte(static_cast<unsigned char>(title[length])) && length + 1 < title.size() ? 2 : 1;
        if (length + step > TITLE_SIZE) {
            break;
        }
        length += step;
    }
    return title.substr(0, length);
}

int DpfCmdEbookDirectory::setEbookAddress(int sectorsPerBlock)
{
    Sptr<DpfCmd> books = m_dpfDevice->getDpfCmd(schema::ADDRESS_BOOKS);
    const int blocks = books->getAreaBlocks();
    CPLOG(7, "%d blocks(Max Sector Number in logical space is %d) are need for EBook", blocks,
          blocks * sectorsPerBlock);
    const int s = ceilDivide(2 * blocks, SECTOR_BYTES);
    m_indexSectors = s % SECTOR_BYTES == 0 ? s : s + 1;
    if (m_indexSectors > MAX_INDEX_SECTORS) {
        CPLOG(7, "Sectors %d is more than 20 which used to stored block index", m_indexSectors);
        return -1;
    }
    m_table.resize(static_cast<size_t>(getSectorLength()) * SECTOR_BYTES, 0xFF);
    for (int i = 0; i < blocks; ++i) {
        // The frame counts the block within its chip.
        const int block = books->getAreaBlock(i)->getBlockNo();
        reinterpret_cast<Be16*>(m_table.data() + INDEX_OFFSET)[i].set(static_cast<uint16_t>(block));
        CPLOG(7, "Ebook BlcokAddress Number %d  BlockN0 %d", i, block);
    }
    return 0;
}

int DpfCmdEbookDirectory::finish(schema::UsbDevice* device)
{
    const int perBlock = device->getDiskInfo()->getSectorsPerBlock();
    m_table.assign(INDEX_OFFSET, 0xFF);
    m_refused = true;
    if (setEbookAddress(perBlock) != 0) {
        return -1;
    }
    Sptr<schema::DpfDataGroup> group = m_dpfDevice->getDataGroup(schema::ADDRESS_BOOKS);
    const int books = group ? group->getCount() : 0;
    if (books > kMaxBooks) {
        CPLOG(3, "%d books are more than the %d a photo frame holds", books, kMaxBooks);
        return -1;
    }
    EbookEntryRecord* entries = reinterpret_cast<EbookEntryRecord*>(m_table.data());
    const int areaBlocks = m_dpfDevice->getDpfCmd(schema::ADDRESS_BOOKS)->getAreaBlocks();
    int logicalBlock = 0;
    for (int k = 0; k < books; ++k) {
        Sptr<schema::DpfDataFile> file = group->getOneFile(k);
        EbookEntryRecord& entry = entries[k];
        entry.number = static_cast<uint8_t>(k + 1);
        const std::string title = titleOf(file->getFileName());
        std::memcpy(entry.title, title.data(), title.size());
        entry.sector.set(static_cast<uint32_t>(logicalBlock * perBlock));
        entry.size.set(static_cast<uint32_t>(file->getSize()));
        CPLOG(7, "ebook TxtAddr %d  logicBlockNo %d", logicalBlock * perBlock, logicalBlock);
        logicalBlock += ceilDivide(file->getSectorLength(), perBlock);
        if (logicalBlock > areaBlocks) {
            CPLOG(4, "ebook is to bigger than the space of ebook");
            return -1;
        }
    }
    entries[books].number = static_cast<uint8_t>(books + 1);
    m_refused = false;
    return 0;
}

int DpfCmdEbookDirectory::writeFlash(schema::UsbDevice* device)
{
    if (m_refused) {
        CPLOG(3, "EBook directory of device %s was refused and is not written", device->getName());
        return -1;
    }
    return DpfCmd::writeFlash(device);
}

}  // namespace Tessor::usb
