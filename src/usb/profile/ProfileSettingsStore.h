// A station's settings in its profile files: the user profile, with the
// photo-frame and MP3 profiles beside it.
#pragma once

#include "schema/ui/SettingsStore.h"

namespace Tessor::usb {

class ProfileDpf;
class ProfileMp3;
class ProfileUser;

class ProfileSettingsStore : public schema::SettingsStore {
public:
    static Sptr<schema::SettingsStore> make();

    Sptr<schema::ConfigInfo> load() override;
    void save(const Sptr<schema::ConfigInfo>& settings) override;

private:
    Sptr<ProfileUser> m_userProfile;
    Sptr<ProfileDpf> m_dpfProfile;
    Sptr<ProfileMp3> m_mp3Profile;
};

}  // namespace Tessor::usb
