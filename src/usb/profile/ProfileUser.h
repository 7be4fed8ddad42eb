// The user profile: the production settings of the station.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "usb/profile/BaseProfile.h"
#include "usb/profile/UserProfileRecord.h"

namespace Tessor::usb {

class ProfileUser : public Tessor::schema::BaseProfile {
public:
    // Reads the profile, builds its settings and seeds the serial counter.
    explicit ProfileUser(const std::string& section);
    ~ProfileUser() override = default;

    Sptr<Tessor::schema::ConfigInfo> getConfigInfo() const { return m_configInfo; }
    // Writes every key of the profile from info; -1 when the file refused a
    // key. In the incrementing serial mode the start written is the serial
    // counter's next number.
    [[nodiscard]] int setConfigInfo(const Sptr<Tessor::schema::ConfigInfo>& info);

private:
    void buildConfigInfo();
    // Marks the settings as refused for the value of `key` with suffix
    // `partition`, naming this profile; devices started with them fail with
    // `code`.
    void refuse(Tessor::schema::ConfigInfo& info, const char* key, int partition, const std::string& value,
                const std::string& why, int code) const;
    // The partition size the profile gives for partition n as its text,
    // cut to what a report shows; `fits` tells whether its number is the
    // one the record holds, not one wrapped to 32 bits.
    std::string givenCapacity(int n, bool& fits) const;

    UserProfileRecord m_record;
    Sptr<Tessor::schema::ConfigInfo> m_configInfo;
};

}  // namespace Tessor::usb
