#include "schema/dpf/DpfConfig.h"

#include <vector>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::schema {

namespace {

struct LayoutRow {
    const char* name;
    ItemCoordinate rectangle;  // Top, Left, Right, Bottom
};

// The factory positions of the frame's screen items, by item type.
const LayoutRow layoutRows[DpfConfig::LAYOUT_ITEMS] = {
    {"OSDCoorde", {100, 80, 87, 115}},      {"AlarmCoorde", {0, 28, 43, 11}},
    {"PowerCoorde", {7, 0, 15, 14}},        {"PowerStateCoorde", {7, 0, 15, 14}},
    {"ClockCoorde", {29, 24, 39, 60}},      {"DateCoorde", {78, 5, 12, 83}},
    {"AlarmNumberCoorde", {48, 24, 39, 79}}, {"MovieCoorde", {0, 0, 63, 63}},
    {"CalenderCoorde", {0, 0, 105, 82}},    {"CalenderDateCoorde", {112, 57, 64, 127}},
};

}  // namespace

DpfConfig::DpfConfig(const std::string& name) : BaseData(name) { init(); }

DpfConfig::DpfConfig(const Sptr<DpfConfig>& source)
    : BaseData("DpfConfig(Copied)"),
      m_hwControl(source->m_hwControl),
      m_stateControl(source->m_stateControl),
      m_layout(source->m_layout),
      m_eBookCfg(source->m_eBookCfg),
      m_photoCfg(source->m_photoCfg),
      m_moviesCfg(source->m_moviesCfg),
      m_menuCfg(source->m_menuCfg),
      m_maxImagesCount(source->m_maxImagesCount),
      m_home4EBook(source->m_home4EBook),
      m_home4Photo(source->m_home4Photo),
      m_home4Movie(source->m_home4Movie)
{
}

DpfConfig& DpfConfig::operator=(const DpfConfig& other)
{
    if (this == &other) {
        return *this;
    }
    m_maxImagesCount = other.m_maxImagesCount;
    setHome4EBook(other.m_home4EBook);
    setHome4Photo(other.m_home4Photo);
    setHome4Movie(other.m_home4Movie);
    m_hwControl = other.m_hwControl;
    m_stateControl = other.m_stateControl;
    m_layout = other.m_layout;
    m_eBookCfg = other.m_eBookCfg;
    m_photoCfg = other.m_photoCfg;
    m_moviesCfg = other.m_moviesCfg;
    m_menuCfg = other.m_menuCfg;
    return *this;
}

int DpfConfig::init()
{
    m_hwControl = Sptr<DpfHwControl>(new DpfHwControl("DefaultDpfHwContol"));
    m_stateControl = Sptr<DpfStateControl>(new DpfStateControl("DefaultDpfStateContol"));
    m_eBookCfg = Sptr<DpfEBookCfg>(new DpfEBookCfg("DefaultDpfEBookCfg"));
    m_photoCfg = Sptr<DpfDataItem>(new DpfDataItem("PhotoContainer"));
    m_moviesCfg = Sptr<DpfDataItem>(new DpfDataItem("MovieContainer"));
    m_layout = Sptr<DpfLayout>(new DpfLayout("DefaultDpfLayoutContol", -1));
    initLayout();
    m_menuCfg = Sptr<DpfMenuCfg>(new DpfMenuCfg("DefaultDpfMenul"));
    m_maxImagesCount = 2048;
    setHome4EBook("releases\\dpf\\ebook\\");
    setHome4Photo("releases\\dpf\\photo\\");
    setHome4Movie("releases\\dpf\\movie\\");
    return 0;
}

int DpfConfig::initLayout()
{
    for (int item = 0; item < LAYOUT_ITEMS; ++item) {
        Sptr<DpfLayout> layout(new DpfLayout(layoutRows[item].name, item));
        layout->setCoordinate(&layoutRows[item].rectangle);
        addLayout(layout);
    }
    return 0;
}

Sptr<DpfLayout> DpfConfig::getLayout(DPF_COORD_ITEM_T item) const
{
    for (int index = 0;; ++index) {
        Sptr<BaseData> child = m_layout->getData(index);
        if (!child) {
            return Sptr<DpfLayout>();
        }
        Sptr<DpfLayout> layout = child;
        TESSOR_ASSERT(layout);
        if (layout->getType() == item) {
            return layout;
        }
    }
}

ItemCoordinate* DpfConfig::getCoordinate(DPF_COORD_ITEM_T item) const
{
    Sptr<DpfLayout> layout = getLayout(item);
    TESSOR_ASSERT(layout);
    return layout->getCoordinate();
}

Sptr<DpfDataItem> DpfConfig::oneFile(const Sptr<DpfDataItem>& container, int index)
{
    Sptr<BaseData> child = container->getData(index);
    if (!child) {
        return Sptr<DpfDataItem>();
    }
    Sptr<DpfDataItem> item = child;
    TESSOR_ASSERT(item);
    return item;
}

Sptr<DpfDataItem> DpfConfig::getOneBook(int index) const
{
    TESSOR_ASSERT(m_eBookCfg);
    return oneFile(m_eBookCfg, index);
}

Sptr<DpfDataItem> DpfConfig::getOnePhoto(int index) const { return oneFile(m_photoCfg, index); }

Sptr<DpfDataItem> DpfConfig::getOneMovie(int index) const { return oneFile(m_moviesCfg, index); }

std::unique_lock<std::recursive_mutex> DpfConfig::lockEdits()
{
    static std::recursive_mutex edits;
    return std::unique_lock<std::recursive_mutex>(edits);
}

namespace {

// Items of their own: a container numbers the items it holds.
template <typename Container>
void copyItems(const Sptr<DpfDataItem>& from, const Sptr<Container>& to)
{
    for (int i = 0; Sptr<BaseData> child = from->getData(i); ++i) {
        Sptr<DpfDataItem> item = child;
        TESSOR_ASSERT(item);
        to->addData(Sptr<DpfDataItem>(new DpfDataItem(item->getFileName())));
    }
}

}  // namespace

Sptr<DpfConfig> DpfConfig::snapshot() const
{
    const auto lock = lockEdits();
    Sptr<DpfConfig> copy(new DpfConfig(*this));
    copy->m_hwControl = Sptr<DpfHwControl>(new DpfHwControl(*m_hwControl));
    copy->m_stateControl = Sptr<DpfStateControl>(new DpfStateControl(*m_stateControl));
    copy->m_layout = Sptr<DpfLayout>(new DpfLayout(m_layout->getName(), -1));
    for (int item = 0; Sptr<BaseData> child = m_layout->getData(item); ++item) {
        Sptr<DpfLayout> layout = child;
        TESSOR_ASSERT(layout);
        Sptr<DpfLayout> own(new DpfLayout(layout->getName(), layout->getType()));
        own->setCoordinate(layout->getCoordinate());
        copy->addLayout(own);
    }
    copy->m_eBookCfg = Sptr<DpfEBookCfg>(new DpfEBookCfg(m_eBookCfg));
    copyItems(m_eBookCfg, copy->m_eBookCfg);
    copy->m_photoCfg = Sptr<DpfDataItem>(new DpfDataItem(m_photoCfg->getName()));
    copyItems(m_photoCfg, copy->m_photoCfg);
    copy->m_moviesCfg = Sptr<DpfDataItem>(new DpfDataItem(m_moviesCfg->getName()));
    copyItems(m_moviesCfg, copy->m_moviesCfg);
    // The menus come from one built-in table, so lists and entries pair up
    // by place.
    copy->m_menuCfg = Sptr<DpfMenuCfg>(new DpfMenuCfg(m_menuCfg->getName()));
    for (int l = 0; l < m_menuCfg->getCount(); ++l) {
        Sptr<DpfMenuList> list = m_menuCfg->getMenuListAt(l);
        Sptr<DpfMenuList> own = copy->m_menuCfg->getMenuListAt(l);
        TESSOR_ASSERT(own && own->getMenuId() == list->getMenuId());
        own->setStyle(list->getStyle());
        for (int e = 0; e < list->getCount(); ++e) {
            Sptr<DpfMenuItem> entry = list->getSubMenuItemAt(e);
            Sptr<DpfMenuItem> target = own->getSubMenuItemAt(e);
            TESSOR_ASSERT(target && target->getMenuId() == entry->getMenuId());
            target->setState(entry->getState());
            target->setPosition(entry->getPosition());
            target->setSubFun(entry->getSubFun());
        }
    }
    return copy;
}

void DpfConfig::clearAllBooks()
{
    const auto lock = lockEdits();
    m_eBookCfg->clearData();
}

void DpfConfig::clearAllPhotos()
{
    const auto lock = lockEdits();
    m_photoCfg->clearData();
}

void DpfConfig::clearAllMovie()
{
    const auto lock = lockEdits();
    m_moviesCfg->clearData();
}

void DpfConfig::setHome4EBook(const std::string& folder)
{
    const auto lock = lockEdits();
    m_home4EBook = folder;
    (void)_addFileList(FILE_TYPE_EBOOK);  // a folder that cannot be listed leaves the list empty
}

void DpfConfig::setHome4Photo(const std::string& folder)
{
    const auto lock = lockEdits();
    m_home4Photo = folder;
    (void)_addFileList(FILE_TYPE_PHOTO);  // a folder that cannot be listed leaves the list empty
}

void DpfConfig::setHome4Movie(const std::string& folder)
{
    const auto lock = lockEdits();
    m_home4Movie = folder;
    (void)_addFileList(FILE_TYPE_MOVIE);  // a folder that cannot be listed leaves the list empty
}

void DpfConfig::upDateFile()
{
    const auto lock = lockEdits();
    clearAllBooks();
    clearAllPhotos();
    clearAllMovie();
    (void)_addFileList(FILE_TYPE_EBOOK);  // a folder that cannot be listed leaves its list empty
    (void)_addFileList(FILE_TYPE_PHOTO);
    (void)_addFileList(FILE_TYPE_MOVIE);
}

int DpfConfig::_addFileList(FILE_TYPE_T type)
{
    const auto lock = lockEdits();
    const std::string& folder =
        type == FILE_TYPE_EBOOK ? m_home4EBook : (type == FILE_TYPE_PHOTO ? m_home4Photo : m_home4Movie);
    const std::string extension = type == FILE_TYPE_EBOOK ? ".txt" : ".img";
    Sptr<DpfDataItem> container =
        type == FILE_TYPE_EBOOK ? Sptr<DpfDataItem>(m_eBookCfg) : (type == FILE_TYPE_PHOTO ? m_photoCfg : m_moviesCfg);
    container->clearData();
    // Sorted by name, so every run lists the same files in the same order.
    std::vector<HostPath::Entry> entries;
    if (!HostPath::list(folder, &entries)) {
        return 1;
    }
    for (const HostPath::Entry& entry : entries) {
        const size_t dot = entry.name.rfind('.');
        if (entry.folder || dot == std::string::npos || entry.name.compare(dot, std::string::npos, extension) != 0) {
            continue;
        }
        container->addData(Sptr<DpfDataItem>(new DpfDataItem(pathIn(folder, entry.name))));
    }
    return 0;
}

std::string DpfConfig::pathIn(const std::string& folder, const std::string& name)
{
    return folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + name;
}

Sptr<DpfMenuItem> DpfConfig::menuItem(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId) const
{
    Sptr<DpfMenuItem> item = m_menuCfg->getSubMenuItem(mainId, subId);
    if (!item) {
        CPLOG(4, "SubMenu with ID %d in MainMenu %d is not exist", subId, mainId);
    }
    return item;
}

void DpfConfig::setMenuItemState(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId, bool state)
{
    if (Sptr<DpfMenuItem> item = menuItem(mainId, subId)) {
        item->setState(state);
    }
}

bool DpfConfig::getMenuItemState(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId) const
{
    Sptr<DpfMenuItem> item = menuItem(mainId, subId);
    return item ? item->getState() : false;
}

void DpfConfig::setMenuItemPosition(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId, int position)
{
    if (Sptr<DpfMenuItem> item = menuItem(mainId, subId)) {
        item->setPosition(position);
    }
}

int DpfConfig::getMenuItemPosition(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId) const
{
    Sptr<DpfMenuItem> item = menuItem(mainId, subId);
    return item ? item->getPosition() : -1;
}

void DpfConfig::debug()
{
    SystemInfo::debug("\tPhotoPath : %s\n", m_home4Photo.c_str());
    for (int i = 0; Sptr<DpfDataItem> photo = getOnePhoto(i); ++i) {
        SystemInfo::debug("\t\tPhoto %d : %s\n", i + 1, photo->getFileName().c_str());
    }
    SystemInfo::debug("\tMaxImageCount : %d\t CurrentImageCount : %d\t\n", m_maxImagesCount, getCurrentImagesCount());
    SystemInfo::debug("\tMoviePath : %s\n", m_home4Movie.c_str());
    for (int i = 0; Sptr<DpfDataItem> movie = getOneMovie(i); ++i) {
        SystemInfo::debug("\t\tMovie %d : %s\n", i + 1, movie->getFileName().c_str());
    }
    SystemInfo::debug("\tEBookPath : %s\n", m_home4EBook.c_str());
    for (int i = 0; Sptr<DpfDataItem> book = getOneBook(i); ++i) {
        SystemInfo::debug("\t\tBook %d : %s\n", i + 1, book->getFileName().c_str());
    }
    for (int item = 0; item < LAYOUT_ITEMS; ++item) {
        Sptr<DpfLayout> layout = getLayout(item);
        TESSOR_ASSERT(layout);
        layout->debug();
    }
    m_layout->debug();
    m_hwControl->debug();
    m_stateControl->debug();
    m_eBookCfg->debug();
    m_menuCfg->debug();
    SystemInfo::debugOut("DPF Config Debug Info :");
}

}  // namespace Tessor::schema
