// The MP3 profile: the MP3-player settings kept in the section "Mp3Config".
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/device/Mp3Config.h"
#include "usb/profile/BaseProfile.h"
#include "usb/profile/Mp3ProfileRecord.h"

namespace Tessor::usb {

class ProfileMp3 : public Tessor::schema::BaseProfile {
public:
    explicit ProfileMp3(std::string section);
    ~ProfileMp3() override = default;

    Sptr<Tessor::schema::Mp3Config> getMp3Config() const { return m_mp3Config; }
    // Writes every key of the section; -1 when the file refused a key.
    [[nodiscard]] int setMp3Config(const Sptr<Tessor::schema::Mp3Config>& config);

private:
    void init();

    Sptr<Tessor::schema::Mp3Config> m_mp3Config;
    Mp3ProfileRecord m_record;
};

}  // namespace Tessor::usb
