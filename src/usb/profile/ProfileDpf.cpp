#include "usb/profile/ProfileDpf.h"

#include <cstring>
#include <functional>
#include <vector>

#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"

namespace Tessor::usb {

using Tessor::schema::DpfConfig;

namespace {

// One integer key and the configuration value it stands for, both ways.
struct Binding {
    std::string key;
    std::function<int32_t()> get;
    std::function<void(int32_t)> set;
};

#define BIND_NUMBER(object, field, type)                                                  \
    Binding{#field, [object] { return static_cast<int32_t>(object->field); },             \
            [object](int32_t v) { object->field = static_cast<type>(v); }}
#define BIND_FLAG(object, field)                                                          \
    Binding{#field, [object] { return object->field ? 1 : 0; }, [object](int32_t v) { object->field = v != 0; }}

const char* const layoutPrefixes[DpfConfig::LAYOUT_ITEMS] = {
    "OSD", "Alarm", "Pwr", "PState", "Clock", "Date", "AlarmNum", "Movie", "Carl", "CarlDate",
};

struct EntryKeys {
    int sub;
    const char* enable;  // null: the entry has no state key
    const char* position;
    const char* subFun;
};

struct MenuKeys {
    int main;
    const char* exitStyle;
    std::vector<EntryKeys> entries;
};

const std::vector<MenuKeys>& menuKeys()
{
    static const std::vector<MenuKeys> menus = {
        {0, "MainMenuExitStyle",
         {{0, "ClockMenuEn", "ClockMenuPosition", "ClockMenusubFun"},
          {1, "PhotoMenuEn", "PhotoMenuPosition", "PhotoMenusubFun"},
          {2, "EBookMenuEn", "EBookMenuPositon", "EBookMenusubFun"},
          {3, "SetMenuEn", "SetMenuPositon", "SetMenusubFun"},
          {5, nullptr, "MainMenuExitPosition", "MainMenuExitsubFun"}}},
        {1, "TimeMenuExitStyle",
         {{6, "DisplayOptionEn", "DisplayOptionPosition", "DisplayOptionsubFun"},
          {7, "SetTimeOptionEn", "SetTimeOptionPosition", "SetTimeOptionsubFun"},
          {8, "OsdOptionEn", "OsdOptionPosition", "OsdOptionsubFun"},
          {9, "StopWatchOptionEn", "StopWatchOptionPosition", "StopWatchOptionsubFun"},
          {10, "AlarmOptionEn", "AlarmOptionPosition", "AlarmOptionsubFun"},
          {11, "AutoOffOptionEn", "AutoOffOptionPosition", "AutoOffOptionsubFun"},
          {12, nullptr, "TimeMenuExitPosition", "TimeMenuExitsubFun"}}},
        {2, "PhotoMenuExitStyle",
         {{13, "DeleteOneOptionEn", "DeleteOneOptionPosition", "DeleteOneOptionsubFun"},
          {14, "DeleteAllOptionEn", "DeleteAllOptionPosition", "DeleteAllOptionsubFun"},
          {15, "SlideOptionEn", "SlideOptionPosition", "SlideOptionsubFun"},
          {16, nullptr, "PhotoMenuExitPositon", "PhotoMenuExitsubFun"}}},
        {4, "SettingMenuExitStyle",
         {{17, "ContrastOptionEn", "ContrastOptionPosition", "ContrastOptionsubFun"},
          {18, "BacklightOptionEn", "BacklightOptionPosition", "BacklightOptionsubFun"},
          {19, "WelcomeOptionEn", "WelcomeOptionPosition", "WelcomeOptionsubFun"},
          {20, "AutoUsbOptionEn", "AutoUsbOptionPosition", "AutoUsbOptionsubFun"},
          {21, "LauageSelOptionEn", "LauageSelOptionPosition", "LauageSelOptionsubFun"},
          {22, "BeepOptionEn", "BeepOptionPosition", "BeepOptionsubFun"},
          {23, nullptr, "SettingMenuExitPosition", "SettingMenuExitsubFun"}}},
        {6, "MenuL3ClkExitStyle",
         {{24, "AnalogClockEn", "AnalogClockPosition", "AnalogClocksubFun"},
          {25, nullptr, "DigitalClkPosition", "DigitalClksubFun"},
          {26, "CarlendarEn", "CarlendarPosition", "CarlendarsubFun"},
          {27, nullptr, "MenuL3ClkExitPosition", "MenuL3ClkExitsubFun"}}},
        {7, "MenuL3WelcomeExitStyle",
         {{28, nullptr, "WelcomeLogoPosition", "WelcomeLogosubFun"},
          {29, "WelcomeAnalogEn", "WelcomeAnalogPosition", "WelcomeAnalogsubFun"},
          {30, "WelcomeDigitEn", "WelComeDigitPosition", "WelComeDigitsubFun"},
          {31, nullptr, "MenuL3WelcomeExitPosition", "MenuL3WelcomeExitsubFun"}}},
    };
    return menus;
}

// Every integer key of the section in the order the profile applies them;
// the menu entries come after the state flags, so when the two share a key
// ("CarlendarEn", "AnalogClockEn") the menu entry is what is saved.
std::vector<Binding> bindings(DpfConfig& config)
{
    DpfConfig* cfg = &config;
    Tessor::schema::DpfHwControl* hw = config.getHwControl().get();
    Tessor::schema::DpfStateControl* state = config.getStateControl().get();
    std::vector<Binding> list = {
        Binding{"MaxPhotoCount", [cfg] { return static_cast<int32_t>(cfg->getMaxImagesCount()); },
                [cfg](int32_t v) { cfg->setMaxImagesCount(v); }},
        BIND_NUMBER(hw, KeyDetMin, uint8_t),     BIND_NUMBER(hw, KeyDetMax, uint8_t),
        BIND_NUMBER(hw, KeyDetLong, uint8_t),    BIND_NUMBER(hw, BackLight, uint8_t),
        BIND_NUMBER(hw, ContrastVal, uint8_t),   BIND_NUMBER(hw, LogoVal, uint8_t),
        BIND_NUMBER(hw, LogoMovieLen, uint8_t),  BIND_NUMBER(hw, JmpPicNum, uint8_t),
        BIND_NUMBER(hw, SwPicVal, uint8_t),      BIND_NUMBER(hw, AutoShutVal, uint8_t),
        BIND_NUMBER(hw, IdleVal, uint16_t),      BIND_NUMBER(hw, BeepVal, uint16_t),
        BIND_NUMBER(hw, RAlarmVal, uint16_t),    BIND_NUMBER(hw, HighLevel, uint8_t),
        BIND_NUMBER(hw, LowLevel, uint8_t),      BIND_NUMBER(hw, AlarmLength, uint16_t),
        BIND_NUMBER(hw, BeepLength, uint16_t),   BIND_FLAG(state, SlideEn),
        BIND_FLAG(state, AutoUsbEn),             BIND_FLAG(state, OsdEn),
        BIND_FLAG(state, AlarmEn),               BIND_NUMBER(state, LogoSel, int32_t),
        BIND_FLAG(state, BeepEn),                BIND_NUMBER(state, LguageSel, int32_t),
        BIND_FLAG(state, WatchMode),             BIND_NUMBER(state, PhotoDirect, int32_t),
        BIND_NUMBER(state, DclkMode, int32_t),   BIND_FLAG(state, KeyStartEn),
        BIND_NUMBER(state, KeyPinType, int32_t), BIND_FLAG(state, KeyUpDnSwEn),
        BIND_FLAG(state, KeyWatchSwEn),          BIND_NUMBER(state, CurColour, int32_t),
        BIND_NUMBER(state, BackColour, int32_t), BIND_NUMBER(state, WordColour, int32_t),
        BIND_FLAG(state, CarlendarEn),           BIND_FLAG(state, AnalogClockEn),
    };
    for (int item = 0; item < DpfConfig::LAYOUT_ITEMS; ++item) {
        Tessor::schema::ItemCoordinate* c = config.getCoordinate(item);
        if (!c) {
            continue;
        }
        std::string prefix = layoutPrefixes[item];
        list.push_back(Binding{prefix + "ColMin", [c] { return c->Top; }, [c](int32_t v) { c->Top = v; }});
        list.push_back(Binding{prefix + "RowMin", [c] { return c->Left; }, [c](int32_t v) { c->Left = v; }});
        list.push_back(Binding{prefix + "RowMax", [c] { return c->Right; }, [c](int32_t v) { c->Right = v; }});
        list.push_back(Binding{prefix + "ColMax", [c] { return c->Bottom; }, [c](int32_t v) { c->Bottom = v; }});
    }
    Sptr<Tessor::schema::DpfMenuCfg> menuCfg = config.getMenuCfg();
    for (const MenuKeys& keys : menuKeys()) {
        Sptr<Tessor::schema::DpfMenuList> menu = menuCfg->getMenuList(keys.main);
        if (!menu) {
            continue;
        }
        Tessor::schema::DpfMenuList* m = menu.get();
        // Read back as 0 or 1, saved as stored.
        list.push_back(Binding{keys.exitStyle, [m] { return m->getStyle(); },
                               [m](int32_t v) { m->setStyle(v != 0 ? 1 : 0); }});
        for (const EntryKeys& entry : keys.entries) {
            Sptr<Tessor::schema::DpfMenuItem> item = m->getSubMenuItem(entry.sub);
            if (!item) {
                continue;
            }
            Tessor::schema::DpfMenuItem* i = item.get();
            if (entry.enable) {
                list.push_back(Binding{entry.enable, [i] { return i->getState() ? 1 : 0; },
                                       [i](int32_t v) { i->setState(v != 0); }});
            }
            list.push_back(Binding{entry.position, [i] { return i->getPosition(); },
                                   [i](int32_t v) { i->setPosition(v); }});
            list.push_back(Binding{entry.subFun, [i] { return i->getSubFun(); }, [i](int32_t v) { i->setSubFun(v); }});
        }
    }
    return list;
}

}  // namespace

ProfileDpf::ProfileDpf(std::string section)
    : BaseProfile(section), m_dpfConfig(new DpfConfig("DpfConfigFromIni"))
{
    memset(&m_record, 0, sizeof m_record);
    m_fileName = Tessor::schema::UsbConfiguration::instance()->getDpfFileName();
    init();
}

void ProfileDpf::init()
{
    // Decode fails only on a bad key table.
    (void)decode(m_fileName, m_sectionName, &m_record, &DpfProfileFields);
    for (const Binding& binding : bindings(*m_dpfConfig)) {
        binding.set(m_record.place[dpfPlaceOf(binding.key.c_str())]);
    }
    m_dpfConfig->setHome4Movie(m_record.texts[2]);
    m_dpfConfig->SetStartPicPath(m_record.texts[3]);
    m_dpfConfig->SetLcdTpye(m_record.lcdType);
}

int ProfileDpf::setDpfConfig(const Sptr<DpfConfig>& config)
{
    for (const Binding& binding : bindings(*config)) {
        m_record.place[dpfPlaceOf(binding.key.c_str())] = binding.get();
    }
    Sptr<Tessor::schema::DpfStateControl> state = config->getStateControl();
    CPLOG(7, " setDpfConfig CurColour %x  BackColour %x  WordColour%x", state->CurColour, state->BackColour,
          state->WordColour);
    copyText(m_record.texts[2], sizeof m_record.texts[2], config->getHome4Movie());
    copyText(m_record.texts[3], sizeof m_record.texts[3], config->getStartPicPath());
    copyText(m_record.lcdType, sizeof m_record.lcdType, config->getLcdTpye());
    return encode(m_fileName, m_sectionName, &m_record, &DpfProfileFields);
}

}  // namespace Tessor::usb
