// The full colour dialog behind one replaceable service.
#pragma once

#include <memory>
#include <optional>

#include "platform/mfc/ColorRef.h"

namespace Tessor::mfc {

class ColorDialogService {
public:
    virtual ~ColorDialogService() = default;
    // The colour chosen, none when cancelled. GUI thread only.
    virtual std::optional<COLORREF> chooseColor(COLORREF initial) = 0;
};

class ScreenColorDialogs : public ColorDialogService {
public:
    std::optional<COLORREF> chooseColor(COLORREF initial) override;
};

void setColorDialogService(std::shared_ptr<ColorDialogService> service);
std::shared_ptr<ColorDialogService> colorDialogService();

}  // namespace Tessor::mfc
