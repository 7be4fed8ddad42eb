// The colour of a pixel on the screen, for the colour picker's eyedropper,
// behind one replaceable service. The window's own service reads the
// windows of this application; what lies outside them cannot be read on
// every display server.
#pragma once

#include <QPoint>
#include <memory>
#include <optional>

#include "platform/mfc/ColorRef.h"

namespace Tessor::mfc {

class ScreenPixelSource {
public:
    virtual ~ScreenPixelSource() = default;
    // The colour at the screen point; none where nothing can be read.
    virtual std::optional<COLORREF> pixelAt(QPoint global) = 0;
};

// Reads the application window under the point as it is drawn.
class ApplicationPixels : public ScreenPixelSource {
public:
    std::optional<COLORREF> pixelAt(QPoint global) override;
};

void setScreenPixelSource(std::shared_ptr<ScreenPixelSource> source);
std::shared_ptr<ScreenPixelSource> screenPixelSource();

}  // namespace Tessor::mfc
