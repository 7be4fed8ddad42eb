#include "page/PageDpfPhotoMenuSetting.h"

#include "utils/MenuWordTables.h"

namespace Tessor::page {

PageDpfPhotoMenuSetting::PageDpfPhotoMenuSetting(QWidget* parent)
    : PageDpfMenuSetting("DpfPhotoMenuSettingTab",
                         {{{2, utils::DpfPhotoMenuItems, utils::PHOTO_MENU_ROWS, consecutiveEntries(13, utils::PHOTO_MENU_ROWS), {0, 1, 2}, -1},
                           {"图片", 45, "PHOTO", 40, 16, "PhotoMenu.bmp", "E_PhotoMenu.bmp", "L1Photo.img", true},
                           "图片菜单定制", "图片菜单按键显示顺序", "图片菜单预览", 1292, 1290, 1288, 1291}},
                         IDC_CONFIRM, IDC_NOTICE, parent)
{
}

void PageDpfPhotoMenuSetting::refresh()
{
    PageDpfMenuSetting::refresh();
    if (m_dpfConfig) {
        renderEnglish(0);
    }
}

void PageDpfPhotoMenuSetting::OnBnClickedMenuConfirm()
{
    buildKnum();
    updateSubFunctions(0);
    renderFrameLanguage(0);
    renderEnglish(0);
}

}  // namespace Tessor::page
