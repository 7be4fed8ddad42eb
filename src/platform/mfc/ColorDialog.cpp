#include "platform/mfc/ColorDialog.h"

#include <QColorDialog>

#include "platform/mfc/GuiThread.h"
#include "platform/mfc/ServiceSlot.h"

namespace Tessor::mfc {

namespace {

ServiceSlot<ColorDialogService, ScreenColorDialogs> g_slot;

}  // namespace

std::optional<COLORREF> ScreenColorDialogs::chooseColor(COLORREF initial)
{
    ASSERT_GUI_THREAD();
    QColorDialog dialog(fromColorRef(initial));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return toColorRef(dialog.selectedColor());
}

void setColorDialogService(std::shared_ptr<ColorDialogService> service) { g_slot.set(std::move(service)); }

std::shared_ptr<ColorDialogService> colorDialogService() { return g_slot.get(); }

}  // namespace Tessor::mfc
