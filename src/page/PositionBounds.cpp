#include "page/PositionBounds.h"

#include <QSignalBlocker>
#include <QSpinBox>

#include "schema/dpf/DpfConfig.h"

namespace Tessor::page {

void boundPosition(QSpinBox* box, int maximum, int32_t& field)
{
    {
        // Quiet: the caller is drawing the preview a change would redraw.
        const QSignalBlocker quiet(box);
        box->setRange(1, maximum);
    }
    const auto edit = schema::DpfConfig::lockEdits();
    field = box->value();
}

}  // namespace Tessor::page
