#include "schema/dpf/DpfDataFactory.h"

#include <filesystem>
#include <system_error>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "platform/orrin/CodePage.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::schema {

namespace {

// Several groups share a name; look-ups go by area.
const DpfDataFactory::Item items1[] = {
    {"SmallDigits", "menu\\english\\weekNum\\SNUM.img", 16},
    {"BigDigits", "menu\\english\\weekNum\\BNUM.img", 32},
    {"WaterDigits", "menu\\english\\weekNum\\ENUM.img", 16},
    {"MenuNumberLib", "menu\\english\\weekNum\\KNUM.img", 16},
    {"CalenderLib", "menu\\english\\weekNum\\CNUM.img", 16},
    {"PowerLevel", "menu\\english\\weekNum\\PNUM.img", 8},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items2[] = {
    {"EnglishWeekDays", "menu\\english\\weekNum\\NXQ.img", 16},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items3[] = {
    {"EnglishL0Clock", "menu\\english\\MainMenu\\L0Clock.img", 64},
    {"EnglishL0Photo", "menu\\english\\MainMenu\\L0Photo.img", 64},
    {"EnglishL0Ebook", "menu\\english\\MainMenu\\L0Ebook.img", 64},
    {"EnglishL0Setting", "menu\\english\\MainMenu\\L0Setting.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items4[] = {
    {"EnglishL0Exit", "menu\\english\\MainMenu\\L0Exit.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items5[] = {
    {"EnglishL1Clock", "menu\\english\\MainMenu\\L1Clock.img", 64},
    {"EnglishL1Photo", "menu\\english\\MainMenu\\L1Photo.img", 64},
    {"EnglishL1Ebook", "menu\\english\\MainMenu\\L1Ebook.img", 64},
    {"EnglishL1Setting", "menu\\english\\MainMenu\\L1Setting.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items6[] = {
    {"EnglishL1UsbConnect", "menu\\english\\MainMenu\\L1Usb.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items7[] = {
    {"EnglishSubMenu1Display", "menu\\english\\SubMenu\\Display.img", 64},
    {"EnglishSubMenu1ClockOsd", "menu\\english\\SubMenu\\ClockOsd.img", 64},
    {"EnglishSubMenu1StopWatch", "menu\\english\\SubMenu\\StopWatch.img", 64},
    {"EnglishSubMenu1Alarm", "menu\\english\\SubMenu\\Alarm.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items8[] = {
    {"EnglishS2AutoOff", "menu\\english\\SubMenu\\AutoOff.img", 64},
    {"EnglishS2AlarmTime", "menu\\english\\SubMenu\\Alarm2.img", 64},
    {"EnglishS2DeleteOne", "menu\\english\\SubMenu\\DeleteOne.img", 64},
    {"EnglishS2DeleteAll", "menu\\english\\SubMenu\\DeleteAll.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items9[] = {
    {"EnglishS2SlideShowMenu", "menu\\english\\SubMenu\\SlideShowMenu.img", 64},
    {"EnglishS2SlideShowSetting", "menu\\english\\SubMenu\\SlideShowSetting.img", 64},
    {"EnglishS2Contrast", "menu\\english\\SubMenu\\Contrast.img", 64},
    {"EnglishS2BackLight", "menu\\english\\SubMenu\\BackLight.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items10[] = {
    {"EnglishS3Welcome", "menu\\english\\SubMenu\\Welcome.img", 64},
    {"EnglishS3UsbAuto", "menu\\english\\SubMenu\\UsbAuto.img", 64},
    {"EnglishS3Language", "menu\\english\\SubMenu\\Language.img", 64},
    {"EnglishS3Beep", "menu\\english\\SubMenu\\Beep.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items11[] = {
    {"EnglishS4Space", "menu\\english\\SubMenu\\Space.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items12[] = {
    {"EnglishLogoLogo", "menu\\english\\logo\\Logo.img", 64},
    {"EnglishLogoDigitClock", "menu\\english\\logo\\DigitClock.img", 64},
    {"EnglishLogoAnaClock", "menu\\english\\logo\\AnaClock.img", 64},
    {"EnglishLogoCalender", "menu\\english\\logo\\Calender.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items13[] = {
    {"EnglishS2LogoShutdown", "menu\\english\\logo\\Shutdown.img", 64},
    {"EnglishS2LogoLowPower", "menu\\english\\logo\\LowPower.img", 64},
    {"EnglishLogoNoPic", "menu\\english\\logo\\NoPic.img", 64},
    {"EnglishLogoUsbConnect", "menu\\english\\logo\\UsbConnect.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items14[] = {
    {"ChineseWeekDays", "menu\\chinese\\weekNum\\CNXQ.img", 16},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items15[] = {
    {"ChineseL0Clock", "menu\\chinese\\MainMenu\\L0Clock.img", 64},
    {"ChineseL0Photo", "menu\\chinese\\MainMenu\\L0Photo.img", 64},
    {"ChineseL0Ebook", "menu\\chinese\\MainMenu\\L0Ebook.img", 64},
    {"ChineseL0Setting", "menu\\chinese\\MainMenu\\L0Setting.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items16[] = {
    {"ChineseL0Exit", "menu\\chinese\\MainMenu\\L0Exit.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items17[] = {
    {"ChineseL1Clock", "menu\\chinese\\MainMenu\\L1Clock.img", 64},
    {"ChineseL1Photo", "menu\\chinese\\MainMenu\\L1Photo.img", 64},
    {"ChineseL1Ebook", "menu\\chinese\\MainMenu\\L1Ebook.img", 64},
    {"ChineseL1Setting", "menu\\chinese\\MainMenu\\L1Setting.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items18[] = {
    {"ChineseL1UsbConnect", "menu\\chinese\\MainMenu\\L1Usb.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items19[] = {
    {"ChineseSubMenu1Display", "menu\\chinese\\SubMenu\\Display.img", 64},
    {"ChineseSubMenu1ClockOsd", "menu\\chinese\\SubMenu\\ClockOsd.img", 64},
    {"ChineseSubMenu1StopWatch", "menu\\chinese\\SubMenu\\StopWatch.img", 64},
    {"ChineseSubMenu1Alarm", "menu\\chinese\\SubMenu\\Alarm.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items20[] = {
    {"ChineseS2AutoOff", "menu\\chinese\\SubMenu\\AutoOff.img", 64},
    {"ChineseS2AlarmTime", "menu\\chinese\\SubMenu\\Alarm2.img", 64},
    {"ChineseS2DeleteOne", "menu\\chinese\\SubMenu\\DeleteOne.img", 64},
    {"ChineseS2DeleteAll", "menu\\chinese\\SubMenu\\DeleteAll.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items21[] = {
    {"ChineseS2SlideShowMenu", "menu\\chinese\\SubMenu\\SlideShowMenu.img", 64},
    {"ChineseS2SlideShowSetting", "menu\\chinese\\SubMenu\\SlideShowSetting.img", 64},
    {"ChineseS2Contrast", "menu\\chinese\\SubMenu\\Contrast.img", 64},
    {"ChineseS2BackLight", "menu\\chinese\\SubMenu\\BackLight.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items22[] = {
    {"ChineseS3Welcome", "menu\\chinese\\SubMenu\\Welcome.img", 64},
    {"ChineseS3UsbAuto", "menu\\chinese\\SubMenu\\UsbAuto.img", 64},
    {"ChineseS3Language", "menu\\chinese\\SubMenu\\Language.img", 64},
    {"ChineseS3Beep", "menu\\chinese\\SubMenu\\Beep.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items23[] = {
    {"ChineseS4Space", "menu\\chinese\\SubMenu\\Space.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items24[] = {
    {"ChineseS2LogoShutdown", "menu\\chinese\\logo\\Shutdown.img", 64},
    {"ChineseS2LogoLowPower", "menu\\chinese\\logo\\LowPower.img", 64},
    {"ChineseLogoNoPic", "menu\\chinese\\logo\\NoPic.img", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items25[] = {
    {"hzk-ASCII-12", "menu\\hzk\\ASC12.BIN", 4},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items26[] = {
    {"hzk-12-1", "menu\\hzk\\HZK121.BIN", 64},
    {"hzk-12-2", "menu\\hzk\\HZK122.BIN", 64},
    {"hzk-12-3", "menu\\hzk\\HZK123.BIN", 64},
    {"hzk-12-4", "menu\\hzk\\HZK124.BIN", 64},
    {"hzk-12-5", "menu\\hzk\\HZK125.BIN", 64},
    {"hzk-12-6", "menu\\hzk\\HZK126.BIN", 64},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items27[] = {
    {"EnglishWeekHour", "menu\\english\\weekNum\\PHOUR.img", 120},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items28[] = {
    {"EnglishWeekMinute", "menu\\english\\weekNum\\PMIN.img", 120},
    {nullptr, nullptr, -1},
};
const DpfDataFactory::Item items29[] = {
    {"EnglishWeekSecond", "menu\\english\\weekNum\\PSEC.img", 120},
    {nullptr, nullptr, -1},
};

const DpfDataFactory::Row rows[] = {
    {1, "Address4NumberImage", items1},
    {2, "Address4EnglishWeekDays", items2},
    {3, "Address4EnglishMainMenu-1", items3},
    {4, "Address4EnglishMainMenu-Exit", items4},
    {5, "Address4EnglishMainMenu-2", items5},
    {6, "Address4EnglishMainMenu-22", items6},
    {7, "Address4EnglishMainMenu-1", items7},
    {8, "Address4EnglishMainMenu-Exit", items8},
    {9, "Address4EnglishMainMenu-2", items9},
    {10, "Address4EnglishMainMenu-22", items10},
    {11, "Address4EnglishMainMenu-22", items11},
    {12, "Address4EnglishLogo-0", items12},
    {13, "Address4EnglishLogo-1", items13},
    {14, "Address4ChineseWeekDay", items14},
    {15, "Address4ChineseMainMenu-1", items15},
    {16, "Address4ChineseMainMenu-Exit", items16},
    {17, "Address4ChineseMainMenu-2", items17},
    {18, "Address4ChineseMainMenu-22", items18},
    {19, "Address4ChineseMainMenu-1", items19},
    {20, "Address4ChineseMainMenu-Exit", items20},
    {21, "Address4ChineseMainMenu-2", items21},
    {22, "Address4ChineseMainMenu-22", items22},
    {23, "Address4ChineseMainMenu-22", items23},
    {24, "Address4ChineseLogo-1", items24},
    {25, "Address4HzkAscii", items25},
    {26, "Address4Hzk-12", items26},
    {27, "Address4Hour", items27},
    {28, "Address4Minute", items28},
    {29, "Address4Second", items29},
    {-1, nullptr, nullptr},
};

}  // namespace

const DpfDataFactory::Row* DpfDataFactory::table() { return rows; }

DpfDataFactory* DpfDataFactory::instance()
{
    // Paths are held in the system's code page, the working folder included.
    static DpfDataFactory factory(CodePage::fromUtf8(SystemInfo::getCurrentWorkingDirectory()) +
                                  "\\releases\\dpf\\");
    return &factory;
}

DpfDataFactory::DpfDataFactory(const std::string& dataFolder) : BaseData("DpfDataFactory"), m_dataFolder(dataFolder) {}

int DpfDataFactory::init()
{
    std::lock_guard<std::mutex> lock(m_lock);
    reload(true);
    CPLOG(7, "Need %d sectors to stored data in %s", m_totalSectors, getName());
    return 0;
}

DpfDataFactory::Snapshot DpfDataFactory::current()
{
    std::lock_guard<std::mutex> lock(m_lock);
    reload(!m_groups);
    return m_groups;
}

int DpfDataFactory::getTotalSectors() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_totalSectors;
}

DpfDataFactory::Stamp DpfDataFactory::stampOf(const char* file) const
{
    const std::filesystem::path host(HostPath::toHost(m_dataFolder + file));
    std::error_code error;
    Stamp stamp;
    const auto size = std::filesystem::file_size(host, error);
    if (error) {
        return stamp;
    }
    const auto modified = std::filesystem::last_write_time(host, error);
    stamp.size = static_cast<int64_t>(size);
    stamp.modified = error ? 0 : static_cast<int64_t>(modified.time_since_epoch().count());
    return stamp;
}

std::vector<DpfDataFactory::Stamp> DpfDataFactory::stampsOf(const Row& row) const
{
    std::vector<Stamp> stamps;
    for (const Item* item = row.items; item->sectors > 0; ++item) {
        stamps.push_back(stampOf(item->file));
    }
    return stamps;
}

Sptr<DpfDataGroup> DpfDataFactory::loadRow(const Row& row)
{
    Sptr<DpfDataGroup> group(new DpfDataGroup(row.name, static_cast<PHOTO_ADDRESS_T>(row.type)));
    for (const Item* item = row.items; item->sectors > 0; ++item) {
        group->addOneFile(item->name, m_dataFolder + item->file, item->sectors);
    }
    return group;
}

void DpfDataFactory::reload(bool all)
{
    // Stamps are taken before reading, so a file changed while it is read
    // differs from its stamp and is read again by the next load.
    auto groups = std::make_shared<GroupSet>();
    std::vector<std::vector<Stamp>> stamps;
    bool changed = all;
    int sectors = 0;
    for (const Row* row = rows; row->type != -1; ++row) {
        const size_t index = static_cast<size_t>(row - rows);
        for (const Item* item = row->items; item->sectors > 0; ++item) {
            sectors += item->sectors;
        }
        stamps.push_back(stampsOf(*row));
        if (!all && stamps.back() == m_stamps[index]) {
            groups->push_back((*m_groups)[index]);
            continue;
        }
        CPLOG(7, "Load the data files of %s", row->name);
        groups->push_back(loadRow(*row));
        changed = true;
    }
    if (!changed) {
        return;
    }
    m_totalSectors = sectors;
    m_groups = std::move(groups);
    m_stamps = std::move(stamps);
}

Sptr<DpfDataGroup> DpfDataFactory::groupOf(const Snapshot& set, PHOTO_ADDRESS_T type)
{
    for (const Sptr<DpfDataGroup>& group : *set) {
        if (group->getAddressType() == type) {
            return group;
        }
    }
    return Sptr<DpfDataGroup>();
}

}  // namespace Tessor::schema
