// A device view built by hand: a two-chip MLC flash of 1024 blocks of 128
// pages of 8 sectors, two planes per chip, and run settings around it.
#pragma once

#include <cstring>
#include <string>

#include "schema/device/BaseAddress.h"
#include "usb/cfg/CfgDeviceView.h"
#include "usb/cmd/BlockSet.h"

struct DeviceViewFixture {
    static constexpr uint32_t kPlainId = 0x98DE9493;
    static constexpr uint32_t kSamsungSevenBitId = 0xECD514B6;

    Tessor::usb::CfgDeviceView view;

    DeviceViewFixture(int chips = 2, int blocks = 1024, int pages = 128, int sectors = 8)
    {
        Sptr<Tessor::usb::FlashInfo> flash(new Tessor::usb::FlashInfo());
        flash->setChipsPerDisk(chips);
        Tessor::usb::_FLASH_CHIP_INFO& c = *flash->getChipInfo();
        std::memset(&c, 0, sizeof c);
        c.ID = static_cast<int32_t>(kPlainId);
        c.BusWidth = 8;
        c.BlockPerChip = blocks;
        c.PagePerBlock = pages;
        c.SectorPerPage = sectors;
        c.SectorsPerBlock = pages * sectors;
        c.Speed = 0x2233;
        c.ColumnCycle = 2;
        c.RowCycle = 3;
        c.CacheProgramCommand = 0x15;
        c.BankProgramCommand = 0x81;
        c.bNextSentCmd = 0x78;
        c.IntlvRdcmd0 = 0x71;
        c.IntlvRdcmd1 = 0xF1;
        c.maxPlaneNum = 1;
        c.maxIntlvNum = 0;
        c.bRowlnc2Plane = 0x40;
        c.bRowlnc2lntlv = 0x40000;
        c.bRowlnc2NxtPlane = 2;
        c.bEraseCnt = 2;
        c.wEraseIncRowNum = 0x1234;
        c.bANA_CTL = 0xA1;
        c.bANA_CTLB = 0xA2;
        c.bANA_CTLC = 0xA3;
        c.bANA_CTLD = 0xA4;
        c.FlashType = 6;
        c.ScanData = 12;
        c.Rand_enable = 1;
        c.SofCheckTime = 0x33;
        c.SofErrNum = 0x44;
        c.Speedlow = 1;
        c.ResetEnable = 1;
        view.flash = flash;
        view.disk = Sptr<Tessor::schema::DiskInfo>(new Tessor::schema::DiskInfo(chips, blocks, pages, sectors));
        view.plane = Sptr<Tessor::schema::PlaneInfo>(new Tessor::schema::PlaneInfo(chips, 1, 2));
        view.scan = Sptr<Tessor::schema::ScanConfig>(new Tessor::schema::ScanConfig(nullptr, "ScanConfig"));
        view.scan->setScanSpeed(0x1311);
        view.scan->setScanLevel(1);
        view.settings = Sptr<Tessor::schema::ConfigInfo>(new Tessor::schema::ConfigInfo());
        view.settings->setScanConfig(view.scan);
        view.settings->setVoltage(0x103);
        view.settings->setRealCapacity(1000000);
        view.settings->setConfigCapacity(900000);
    }

    Tessor::usb::_FLASH_CHIP_INFO& chip() { return *view.flash->getChipInfo(); }

    // An address by chip, block within the chip, page and sector.
    Sptr<Tessor::schema::BaseAddress> address(int chip, int block, int page, int sector = 0) const
    {
        const Tessor::schema::DiskInfo& d = *view.disk;
        const int n = ((chip * d.getBlocksPerChip() + block) * d.getPagesPerBlock() + page) * d.getSectorsPerPage() +
                      sector;
        return Sptr<Tessor::schema::BaseAddress>(new Tessor::schema::BaseAddress(view.disk, n));
    }

    static Sptr<Tessor::schema::BaseData> setList(int sets)
    {
        Sptr<Tessor::usb::BlockSet> list(new Tessor::usb::BlockSet("SetList"));
        for (int i = 0; i < sets; ++i) {
            Sptr<Tessor::usb::BlockSet> set(new Tessor::usb::BlockSet("BlockSet"));
            for (int b = 0; b < 10 + i; ++b) {
                set->addBlock(b, 100 * i + b);
            }
            set->setPagesCountEveryBlock(120 + i);
            set->setSectorCount(4 + i);
            set->setStartSector(1 + i);
            list->addData(Sptr<Tessor::schema::BaseData>(set));
        }
        return Sptr<Tessor::schema::BaseData>(list);
    }
};
