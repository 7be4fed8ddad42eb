#include "usb/profile/DpfConfig.h"

namespace Tessor::schema {

namespace {

const char* const layoutNames[DpfConfig::LAYOUT_ITEMS] = {
    "OSD", "Alarm", "Pwr", "PState", "Clock", "Date", "AlarmNum", "Movie", "Carl", "CarlDate",
};

}  // namespace

DpfConfig::DpfConfig(const std::string& name) : BaseData(name)
{
    init();
}

int DpfConfig::init()
{
    m_hwControl = Sptr<DpfHwControl>(new DpfHwControl("DefaultDpfHwContol"));
    m_stateControl = Sptr<DpfStateControl>(new DpfStateControl("DefaultDpfStateContol"));
    m_layout = Sptr<DpfLayout>(new DpfLayout("DefaultDpfLayoutContol", -1));
    for (int item = 0; item < LAYOUT_ITEMS; ++item) {
        m_layout->addData(Sptr<BaseData>(new DpfLayout(layoutNames[item], item)));
    }
    m_menuCfg = Sptr<DpfMenuCfg>(new DpfMenuCfg("DefaultDpfMenul"));
    m_maxImagesCount = 2048;
    m_home4EBook = "releases\\dpf\\ebook\\";
    m_home4Photo = "releases\\dpf\\photo\\";
    m_home4Movie = "releases\\dpf\\movie\\";
    return 0;
}

Sptr<DpfLayout> DpfConfig::getLayout(DPF_COORD_ITEM_T item) const
{
    for (int index = 0; index < m_layout->getCount(); ++index) {
        Sptr<DpfLayout> layout = m_layout->getData(index);
        if (layout && layout->getType() == item) {
            return layout;
        }
    }
    return Sptr<DpfLayout>();
}

ItemCoordinate* DpfConfig::getCoordinate(DPF_COORD_ITEM_T item) const
{
    Sptr<DpfLayout> layout = getLayout(item);
    return layout ? layout->getCoordinate() : nullptr;
}

}  // namespace Tessor::schema
