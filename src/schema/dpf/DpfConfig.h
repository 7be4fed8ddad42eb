// The photo-frame settings a run carries: controls, screen layouts, menus,
// the photo count and the content folders with the files found in them.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/dpf/DpfDataItem.h"
#include "schema/dpf/DpfEBookCfg.h"
#include "schema/dpf/DpfHwControl.h"
#include "schema/dpf/DpfLayout.h"
#include "schema/dpf/DpfMenuCfg.h"
#include "schema/dpf/DpfStateControl.h"

namespace Tessor::schema {

// 0 e-books, 1 photos, any other value movies.
typedef int FILE_TYPE_T;
enum { FILE_TYPE_EBOOK = 0, FILE_TYPE_PHOTO = 1, FILE_TYPE_MOVIE = 2 };

class DpfConfig : public BaseData {
public:
    static const int LAYOUT_ITEMS = 10;

    explicit DpfConfig(const std::string& name);
    // Shares the blocks (and so the file lists) with the source.
    DpfConfig(const DpfConfig& other) = default;
    explicit DpfConfig(const Sptr<DpfConfig>& source);
    DpfConfig& operator=(const DpfConfig& other);
    ~DpfConfig() override = default;

    void debug() override;

    // Held by whoever changes settings that a device may be copying: the
    // pages while they edit, the list rescans, and snapshot.
    static std::unique_lock<std::recursive_mutex> lockEdits();
    // A copy sharing nothing with this one, taken under the edit lock: what
    // a device produces from.
    Sptr<DpfConfig> snapshot() const;

    Sptr<DpfHwControl> getHwControl() const { return m_hwControl; }
    void setHwControl(const Sptr<DpfHwControl>& v) { m_hwControl = v; }
    Sptr<DpfStateControl> getStateControl() const { return m_stateControl; }
    void setStateControl(const Sptr<DpfStateControl>& v) { m_stateControl = v; }
    Sptr<DpfEBookCfg> getEBookCfg() const { return m_eBookCfg; }
    void setEBookCfg(const Sptr<DpfEBookCfg>& v) { m_eBookCfg = v; }
    Sptr<DpfDataItem> getPhotoCfg() const { return m_photoCfg; }
    void setPhotoCfg(const Sptr<DpfDataItem>& v) { m_photoCfg = v; }
    Sptr<DpfDataItem> getMoviesCfg() const { return m_moviesCfg; }
    void setMoviesCfg(const Sptr<DpfDataItem>& v) { m_moviesCfg = v; }
    Sptr<DpfLayout> getLayout() const { return m_layout; }
    void setLayout(const Sptr<DpfLayout>& v) { m_layout = v; }
    void addLayout(const Sptr<DpfLayout>& layout) { m_layout->addData(layout); }
    // The layout of one screen item, empty when there is none.
    Sptr<DpfLayout> getLayout(DPF_COORD_ITEM_T item) const;
    // The item must have a layout.
    ItemCoordinate* getCoordinate(DPF_COORD_ITEM_T item) const;
    Sptr<DpfMenuCfg> getMenuCfg() const { return m_menuCfg; }

    void clearAllBooks();
    void clearAllPhotos();
    void clearAllMovie();
    void addBook(const Sptr<DpfDataItem>& item) { m_eBookCfg->addData(item); }
    void addPhoto(const Sptr<DpfDataItem>& item) { m_photoCfg->addData(item); }
    void addMovie(const Sptr<DpfDataItem>& item) { m_moviesCfg->addData(item); }
    // Empty past the end.
    Sptr<DpfDataItem> getOneBook(int index) const;
    Sptr<DpfDataItem> getOnePhoto(int index) const;
    Sptr<DpfDataItem> getOneMovie(int index) const;

    void setHome4EBook(const std::string& folder);
    const std::string& getHome4EBook() const { return m_home4EBook; }
    void setHome4Photo(const std::string& folder);
    const std::string& getHome4Photo() const { return m_home4Photo; }
    void setHome4Movie(const std::string& folder);
    const std::string& getHome4Movie() const { return m_home4Movie; }
    // Rebuilds the three lists from their folders.
    void upDateFile();
    // Rebuilds one list from its folder: 0, or 1 when the folder cannot be
    // listed (the list is then empty).
    [[nodiscard]] int _addFileList(FILE_TYPE_T type);
    // The path of file `name` in content folder `folder`.
    static std::string pathIn(const std::string& folder, const std::string& name);

    void setMaxImagesCount(int count) { m_maxImagesCount = static_cast<uint16_t>(count); }
    unsigned getMaxImagesCount() const { return m_maxImagesCount; }
    int getCurrentImagesCount() const { return m_photoCfg->getCount(); }
    void SetStartPicPath(const std::string& path) { m_startPicPath = path; }
    const std::string& getStartPicPath() const { return m_startPicPath; }
    void SetLcdTpye(const std::string& type) { m_lcdType = type; }
    const std::string& getLcdTpye() const { return m_lcdType; }

    void setMenuItemState(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId, bool state);
    bool getMenuItemState(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId) const;
    void setMenuItemPosition(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId, int position);
    int getMenuItemPosition(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId) const;

protected:
    int init() override;

private:
    int initLayout();
    Sptr<DpfMenuItem> menuItem(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId) const;
    static Sptr<DpfDataItem> oneFile(const Sptr<DpfDataItem>& container, int index);

    Sptr<DpfHwControl> m_hwControl;
    Sptr<DpfStateControl> m_stateControl;
    Sptr<DpfLayout> m_layout;
    Sptr<DpfEBookCfg> m_eBookCfg;
    Sptr<DpfDataItem> m_photoCfg;
    Sptr<DpfDataItem> m_moviesCfg;
    Sptr<DpfMenuCfg> m_menuCfg;
    uint16_t m_maxImagesCount = 2048;
    std::string m_home4EBook;
    std::string m_home4Photo;
    std::string m_home4Movie;
    std::string m_startPicPath;
    std::string m_lcdType;
};

}  // namespace Tessor::schema
