// The MP3-player settings of a run: eight blocks and their packed record.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/device/Mp3DecCfg.h"
#include "schema/device/Mp3I2cCfg.h"
#include "schema/device/Mp3KeyCfg.h"
#include "schema/device/Mp3LcmCfg.h"
#include "schema/device/Mp3RecCfg.h"
#include "schema/device/Mp3SdcCfg.h"
#include "schema/device/Mp3SpiCfg.h"
#include "schema/device/Mp3SysCfg.h"

namespace Tessor::schema {

class Mp3Config : public BaseData {
public:
    static const int RECORD_SIZE = 101;

    explicit Mp3Config(const std::string& name);
    // Shares the eight blocks with the source.
    Mp3Config(const Mp3Config& other) = default;
    ~Mp3Config() override = default;

    int init() override;
    int serialize(void* out) override;
    int reverseSerialize(void* in) override;

    Sptr<Mp3SysCfg> getSysCfg() const { return m_sys; }
    void setSysCfg(const Sptr<Mp3SysCfg>& v) { m_sys = v; }
    Sptr<Mp3DecCfg> getDecCfg() const { return m_dec; }
    void setDecCfg(const Sptr<Mp3DecCfg>& v) { m_dec = v; }
    Sptr<Mp3RecCfg> getRecCfg() const { return m_rec; }
    void setRecCfg(const Sptr<Mp3RecCfg>& v) { m_rec = v; }
    Sptr<Mp3SdcCfg> getSdcCfg() const { return m_sdc; }
    void setSdcCfg(const Sptr<Mp3SdcCfg>& v) { m_sdc = v; }
    Sptr<Mp3SpiCfg> getSpiCfg() const { return m_spi; }
    void setSpiCfg(const Sptr<Mp3SpiCfg>& v) { m_spi = v; }
    Sptr<Mp3I2cCfg> getI2cCfg() const { return m_i2c; }
    void setI2cCfg(const Sptr<Mp3I2cCfg>& v) { m_i2c = v; }
    Sptr<Mp3LcmCfg> getLcmCfg() const { return m_lcm; }
    void setLcmCfg(const Sptr<Mp3LcmCfg>& v) { m_lcm = v; }
    Sptr<Mp3KeyCfg> getKeyCfg() const { return m_key; }
    void setKeyCfg(const Sptr<Mp3KeyCfg>& v) { m_key = v; }

private:
    Sptr<Mp3SysCfg> m_sys;
    Sptr<Mp3DecCfg> m_dec;
    Sptr<Mp3RecCfg> m_rec;
    Sptr<Mp3SdcCfg> m_sdc;
    Sptr<Mp3SpiCfg> m_spi;
    Sptr<Mp3I2cCfg> m_i2c;
    Sptr<Mp3LcmCfg> m_lcm;
    Sptr<Mp3KeyCfg> m_key;
};

}  // namespace Tessor::schema
