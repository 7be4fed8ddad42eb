// The folders of the resource tree through which the photo-frame pages, the
// caption images and the image routines exchange their files, relative to
// the working folder. Paths of this system are narrow texts with "\"
// between the parts (see HostPath); these are plain ASCII, so they read the
// same in any code page.
//
// Those with a trailing "\" take a file name directly; the three without one
// are joined to what follows with a "\".
#pragma once

namespace Tessor::utils {

inline constexpr char ResFolder[] = "releases\\res\\";
inline constexpr char ChineseMainMenuFolder[] = "releases\\dpf\\menu\\chinese\\mainMenu\\";
inline constexpr char ChineseSubMenuFolder[] = "releases\\dpf\\menu\\chinese\\subMenu\\";
inline constexpr char EnglishMainMenuFolder[] = "releases\\dpf\\menu\\english\\mainMenu\\";
inline constexpr char EnglishSubMenuFolder[] = "releases\\dpf\\menu\\english\\subMenu\\";
inline constexpr char WeekNumFolder[] = "releases\\dpf\\menu\\english\\weekNum\\";
inline constexpr char EbookFolder[] = "releases\\dpf\\ebook\\";
inline constexpr char LogoFolder[] = "releases\\dpf\\menu\\english\\logo";
inline constexpr char MovieFolder[] = "releases\\dpf\\movie";
inline constexpr char PhotoFolder[] = "releases\\dpf\\photo";

// Shown on every menu page: menu choices take effect only after the
// menu-confirm button. Full-width colon, comma and exclamation mark, curly
// quotation marks.
inline constexpr char16_t MenuConfirmNotice[] = u"注意：菜单选择后请按“菜单确认”键，否则修改无效！";

}  // namespace Tessor::utils
