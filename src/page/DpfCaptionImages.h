// The fixed screens behind the photo frame's menu entries (e-book, alarm,
// key beep, USB, clock display, slide show, delete, backlight, contrast,
// power-off, language, stopwatch), drawn at 128 x 128 in the menu colours of
// the run settings and written as bitmaps and picture files into the
// resource tree, in Chinese (language non-zero) or English (0). The
// production-settings page's Save calls it once per language.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"

namespace Tessor::page {

// `workDir`: the working folder in the system's form. Nothing is reported:
// a picture that cannot be written keeps its earlier file and the next
// follows.
void buildMenuImages(const Sptr<schema::ConfigInfo>& settings, int language, const std::string& workDir);

}  // namespace Tessor::page
