// One device's photo-frame content: a writer per flash area, the run's
// photo-frame configuration, the blocks of every area and the writing of
// them all during the low-level format.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "schema/dpf/DpfDataFactory.h"
#include "schema/dpf/DpfDataGroup.h"
#include "schema/dpf/DpfDataItem.h"
#include "schema/dpf/PhotoAddress.h"

namespace Tessor::usb {
class BlockBitmap;
class DpfCfgTable;
class DpfCmd;
class DpfCmdItem;
}  // namespace Tessor::usb

namespace Tessor::schema {

class BaseAddress;
class DpfConfig;

class DpfDevice : public BaseCmdData {
public:
    // The device must not be null.
    DpfDevice(UsbDevice* device, const std::string& name);
    // Named "DpfDevice"; nothing is taken from the buffer.
    DpfDevice(UsbDevice* device, const unsigned char* raw);
    ~DpfDevice() override;

    // Creates the 36 writers and the default configuration; 0.
    int init() override;
    void debug() override;
    // Finishes the table and every writer; 0.
    [[nodiscard]] int finish(UsbDevice* device) override;
    // Writes every area in order; -1 at the first that fails.
    [[nodiscard]] int writeFlash(UsbDevice* device) override;
    [[nodiscard]] int validateFlash(UsbDevice* device) override;
    int myInit() override { return 0; }

    // Keeps a snapshot of `config`. In the waiting state it also takes the
    // menu groups as their files are now and rebuilds the photo, book and
    // movie groups; once the device has left it, what it took is kept.
    void setDpfConfig(const Sptr<DpfConfig>& config);
    Sptr<DpfConfig> getDpfConfig() const { return m_config; }
    Sptr<usb::DpfCfgTable> getCfgTable() const { return m_cfgTable; }
    Sptr<usb::DpfCmd> getDpfCmd(PHOTO_ADDRESS_T type) const;
    Sptr<usb::DpfCmdItem> getDpfCmdItem(PHOTO_ADDRESS_T type) const;
    void setDpfAddress(PHOTO_ADDRESS_T type, const Sptr<BaseAddress>& address);
    // The address of the area's first block.
    Sptr<BaseAddress> getDpfAddress(PHOTO_ADDRESS_T type) const;
    void setDataGroup(const Sptr<DpfDataGroup>& group);
    Sptr<DpfDataGroup> getDataGroup(PHOTO_ADDRESS_T type) const;
    // Takes the blocks of every area from the device's block bitmap; 0, or
    // -1 when the blocks run out.
    [[nodiscard]] int allocateAddress();
    // Reads the device's frame back from its configuration table sector
    // (see DpfCfgTable::reverseSerialize); -1 for less than a sector.
    [[nodiscard]] int parsePhotoCfg(const std::vector<unsigned char>& sector);
    int reset() { return 0; }

private:
    // The blocks an area of `sectors` sectors needs (at least one is given).
    int blocksFor(int sectors) const;
    void takeMenuGroups(const DpfDataFactory::Snapshot& menus);
    [[nodiscard]] int allocate(PHOTO_ADDRESS_T type, int blocks, usb::BlockBitmap& bitmap);
    Sptr<DpfDataGroup> loadGroup(const std::string& name, PHOTO_ADDRESS_T type, const char* item,
                                 Sptr<DpfDataItem> (DpfConfig::*one)(int) const);

    std::vector<Sptr<usb::DpfCmd>> m_writers;
    Sptr<usb::DpfCfgTable> m_cfgTable;
    int m_menuBlocks = 0;
    int m_photoBlocks = 0;
    int m_photoMapBlocks = 0;
    int m_bookBlocks = 0;
    Sptr<DpfConfig> m_config;
};

}  // namespace Tessor::schema
