// The photo-frame settings a run carries: controls, screen layouts, menus,
// the photo count and the content folders.
#pragma once

#include <cstdint>
#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "usb/profile/dpf/DpfHwControl.h"
#include "usb/profile/dpf/DpfLayout.h"
#include "usb/profile/dpf/DpfMenuCfg.h"
#include "usb/profile/dpf/DpfStateControl.h"

namespace Tessor::schema {

class DpfConfig : public BaseData {
public:
    static const int LAYOUT_ITEMS = 10;

    explicit DpfConfig(const std::string& name);
    // Shares the blocks with the source.
    DpfConfig(const DpfConfig& other) = default;
    ~DpfConfig() override = default;

    int init() override;

    Sptr<DpfHwControl> getHwControl() const { return m_hwControl; }
    void setHwControl(const Sptr<DpfHwControl>& v) { m_hwControl = v; }
    Sptr<DpfStateControl> getStateControl() const { return m_stateControl; }
    void setStateControl(const Sptr<DpfStateControl>& v) { m_stateControl = v; }
    Sptr<DpfLayout> getLayout() const { return m_layout; }
    void setLayout(const Sptr<DpfLayout>& v) { m_layout = v; }
    // The layout of one screen item, empty when there is none.
    Sptr<DpfLayout> getLayout(DPF_COORD_ITEM_T item) const;
    ItemCoordinate* getCoordinate(DPF_COORD_ITEM_T item) const;
    Sptr<DpfMenuCfg> getMenuCfg() const { return m_menuCfg; }

    void setMaxImagesCount(int count) { m_maxImagesCount = static_cast<uint16_t>(count); }
    unsigned getMaxImagesCount() const { return m_maxImagesCount; }
    void setHome4EBook(const std::string& folder) { m_home4EBook = folder; }
    const std::string& getHome4EBook() const { return m_home4EBook; }
    void setHome4Photo(const std::string& folder) { m_home4Photo = folder; }
    const std::string& getHome4Photo() const { return m_home4Photo; }
    void setHome4Movie(const std::string& folder) { m_home4Movie = folder; }
    const std::string& getHome4Movie() const { return m_home4Movie; }
    void SetStartPicPath(const std::string& path) { m_startPicPath = path; }
    const std::string& getStartPicPath() const { return m_startPicPath; }
    void SetLcdTpye(const std::string& type) { m_lcdType = type; }
    const std::string& getLcdTpye() const { return m_lcdType; }

private:
    Sptr<DpfHwControl> m_hwControl;
    Sptr<DpfStateControl> m_stateControl;
    Sptr<DpfLayout> m_layout;
    Sptr<DpfMenuCfg> m_menuCfg;
    uint16_t m_maxImagesCount = 2048;
    std::string m_home4EBook;
    std::string m_home4Photo;
    std::string m_home4Movie;
    std::string m_startPicPath;
    std::string m_lcdType;
};

}  // namespace Tessor::schema
