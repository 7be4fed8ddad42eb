// The photo-frame profile: the photo-frame settings kept in the section "DpfConfig".
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "usb/profile/BaseProfile.h"
#include "schema/dpf/DpfConfig.h"
#include "usb/profile/DpfProfileRecord.h"

namespace Tessor::usb {

class ProfileDpf : public Tessor::schema::BaseProfile {
public:
    explicit ProfileDpf(std::string section);
    ~ProfileDpf() override = default;

    Sptr<Tessor::schema::DpfConfig> getDpfConfig() const { return m_dpfConfig; }
    // Writes every key of the section; -1 when the file refused a key.
    [[nodiscard]] int setDpfConfig(const Sptr<Tessor::schema::DpfConfig>& config);

private:
    void init();

    Sptr<Tessor::schema::DpfConfig> m_dpfConfig;
    DpfProfileRecord m_record;
};

}  // namespace Tessor::usb
