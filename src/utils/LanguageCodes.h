// The window's languages as the configuration numbers them.
#pragma once

namespace Tessor::utils {

enum MAVIK_LANG_T { LANG_SCHINESE = 0x70, LANG_TCHINESE = 0x71 };
enum : int { LANG_ENGLISH = 111 };

}  // namespace Tessor::utils
