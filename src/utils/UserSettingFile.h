// The operator's settings that outlive a run (binding, the next serial
// number, the MP3 code image), relative to the working folder.
#pragma once

namespace Tessor::utils {

inline constexpr char UserSettingFile[] = "releases\\usr\\etc\\UserSetting.ini";

}  // namespace Tessor::utils
