// The base of the photo-frame menu pages: one or two menus, each edited as
// a check list of its optional entries, an order list the operator drags,
// and an exit-mode choice, with a preview of the frame's 128 x 128 screen.
// The preview is the very picture written into the resource tree in the
// frame's language on every change; the confirm button also writes the
// English pictures, the key-number glyph file and the sub-function numbers.
// A second menu is the sub-menu of one entry of the first and can be edited
// only while that entry is shown. UI thread only.
#pragma once

#include <QImage>
#include <string>
#include <utility>
#include <vector>

#include "page/DpfMenuEditor.h"
#include "page/PageConfig.h"
#include "platform/mfc/ColorRef.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace Tessor::page {

// What a menu's pictures say and where they go.
struct DpfMenuPicture {
    const char* chineseTitle;  // in the frame's language pictures
    int chineseTitleX;
    const char* englishTitle;
    int englishTitleX;
    int rowStep;                // of the frame's language pictures
    const char* frameBitmap;    // e.g. "ClockMenu.bmp"
    const char* englishBitmap;  // e.g. "E_ClkMenu.bmp"
    const char* image;          // e.g. "L1Clock.img"
    bool mainMenu;              // mainMenu or subMenu folders
};

struct DpfMenuGroupDescription {
    DpfMenuDescription menu;
    DpfMenuPicture picture;
    const char* caption;       // group box
    const char* orderCaption;  // order list's group box
    const char* previewCaption;
    int checkListId;
    int orderListId;
    int exitComboId;
    int previewId;
};

class PageDpfMenuSetting : public PageConfig {
public:
    PageDpfMenuSetting(const std::string& name, std::vector<DpfMenuGroupDescription> groups, int confirmId, int noticeId,
                       QWidget* parent = nullptr);

    // Handlers of group `g`, as the controls raise them.
    void OnCheckChange(int g);
    void OnOrderChange(int g);
    void OnExitChange(int g);
    virtual void OnBnClickedMenuConfirm() = 0;

    // The pictures of group `g`: in the frame's language (written when the
    // language is 0 or 1) and in English.
    QImage renderFrameLanguage(int g);
    QImage renderEnglish(int g);
    void buildKnum();
    void updateSubFunctions(int g);
    // Rebuilds the lists from the model and renders (the page being shown).
    virtual void refresh();

    DpfMenuEditor& editor(int g) { return m_groups[size_t(g)].editor; }
    QListWidget* checkList(int g) const { return m_groups[size_t(g)].checks; }
    QListWidget* orderList(int g) const { return m_groups[size_t(g)].order; }
    QComboBox* exitCombo(int g) const { return m_groups[size_t(g)].exit; }
    QLabel* preview(int g) const { return m_groups[size_t(g)].preview; }
    int groupCount() const { return int(m_groups.size()); }
    int language() const;

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;

    Sptr<schema::DpfConfig> m_dpfConfig;

private:
    struct Group {
        explicit Group(const DpfMenuGroupDescription& s) : description(s), editor(s.menu) {}
        DpfMenuGroupDescription description;
        DpfMenuEditor editor;
        QListWidget* checks = nullptr;
        QListWidget* order = nullptr;
        QComboBox* exit = nullptr;
        QLabel* preview = nullptr;
    };

    // Background and text colours of the menus, as the drawing takes them.
    std::pair<mfc::COLORREF, mfc::COLORREF> menuColours() const;
    void buildGroup(Group& group, int g);
    void fillLists(Group& group);
    void setSubMenuEnabled(bool enable);
    std::string workDir() const;
    bool groupEnabled(int g) const;

    std::vector<Group> m_groups;
    int m_noticeId;
    bool m_filling = false;
};

}  // namespace Tessor::page
