#include "usb/profile/ProfileSettingsStore.h"

#include "schema/device/ConfigInfo.h"
#include "usb/profile/ProfileDpf.h"
#include "usb/profile/ProfileMp3.h"
#include "usb/profile/ProfileUser.h"

namespace Tessor::usb {

Sptr<schema::SettingsStore> ProfileSettingsStore::make()
{
    return Sptr<schema::SettingsStore>(new ProfileSettingsStore());
}

Sptr<schema::ConfigInfo> ProfileSettingsStore::load()
{
    m_userProfile = Sptr<ProfileUser>(new ProfileUser("SettingInformation"));
    Sptr<schema::ConfigInfo> settings = m_userProfile->getConfigInfo();
    m_dpfProfile = Sptr<ProfileDpf>(new ProfileDpf("DpfConfig"));
    settings->setDpfConfig(m_dpfProfile->getDpfConfig());
    m_mp3Profile = Sptr<ProfileMp3>(new ProfileMp3("Mp3Config"));
    settings->setMp3Config(m_mp3Profile->getMp3Config());
    return settings;
}

void ProfileSettingsStore::save(const Sptr<schema::ConfigInfo>& settings)
{
    (void)m_userProfile->setConfigInfo(settings);  // the profile logs a key it could not write
}

}  // namespace Tessor::usb
