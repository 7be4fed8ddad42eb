// A font drawn narrower until a text fits a width, so a line the control
// cannot hold in its own font still shows whole.
#pragma once

#include <QFont>
#include <QString>

namespace Tessor::page {

// `font` when `text` fits `width` pixels; otherwise `font` stretched
// narrower until it does, down to 40 per cent of its width.
QFont narrowToFit(const QFont& font, const QString& text, int width);

}  // namespace Tessor::page
