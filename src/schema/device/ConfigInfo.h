// The settings of one production run: serial numbers, USB identity,
// partitions fitted to a capacity, scan settings and the photo-frame and
// MP3 configurations.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/device/PartInfo.h"
#include "schema/device/ScanConfig.h"

namespace Tessor::schema {

class DpfConfig;
class Mp3Config;

enum SN_MODE_T { SN_MODE_AUTO = 0, SN_MODE_FIXED = 1, SN_MODE_INCREMENT = 2 };
enum CAPACITY_POLICY_T { CAPACITY_RATIONAL = 0, CAPACITY_BEGIN_IS_FIRST = 1 };
typedef int LOGIN_OP_T;

class ConfigInfo : public BaseData {
public:
    ConfigInfo();
    // A copy for one device or one fitting: own partitions and scan
    // settings, shared photo-frame and MP3 configurations.
    explicit ConfigInfo(ConfigInfo* other);
    explicit ConfigInfo(const Sptr<ConfigInfo>& other);
    ConfigInfo(const ConfigInfo& other);
    ConfigInfo& operator=(const ConfigInfo& other);
    ~ConfigInfo() override;

    void debug() override;
    int init() override;

    int getSnMode() const { return m_snMode; }
    void setSnMode(int v) { m_snMode = v; }
    const std::string& getSerialNoLabel() const { return m_snLabel; }
    void setSerialNoLabel(const std::string& v) { m_snLabel = v; }
    // The start number in its packed form (see SerialPacking.h).
    uint32_t getSerialNoStart() const { return m_snStart; }
    void setSerialNoStart(uint32_t v) { m_snStart = v; }
    const std::string& getVendorString() const { return m_vendorString; }
    void setVendorString(const std::string& v) { m_vendorString = v; }
    const std::string& getProductString() const { return m_productString; }
    void setProductString(const std::string& v) { m_productString = v; }
    int getVendorCode() const { return m_vendorCode; }
    void setVendorCode(int v) { m_vendorCode = v; }
    int getProductCode() const { return m_productCode; }
    void setProductCode(int v) { m_productCode = v; }
    const std::string& getPassword() const { return m_password; }
    void setPassword(const std::string& v) { m_password = v; }
    const std::string& getNewPassword() const { return m_newPassword; }
    void setNewPassword(const std::string& v) { m_newPassword = v; }
    int getLedStatus() const { return m_ledStatus; }
    void setLedStatus(int v) { m_ledStatus = v; }
    int getLedFreq() const { return m_ledFreq; }
    void setLedFreq(int v) { m_ledFreq = v; }
    bool checkAutoStart() const { return m_autoStart; }
    void setAutopStart(bool v) { m_autoStart = v; }
    int getCapacityPolicy() const { return m_capacityPolicy; }
    void setCapacityPolicy(int policy);
    int getRealCapacity() const { return m_realCapacity; }
    void setRealCapacity(int v) { m_realCapacity = v; }
    int getConfigCapacity() const { return m_configCapacity; }
    void setConfigCapacity(int v) { m_configCapacity = v; }
    LOGIN_OP_T getLoginOp() const { return m_loginOp; }
    void setLoginOp(LOGIN_OP_T v) { m_loginOp = v; }
    bool checkBlockMode() const { return m_blockMode; }
    void setBlockMode(bool v) { m_blockMode = v; }
    int getUserIsBind() const { return m_userBound; }
    void setUserIsBind(int v) { m_userBound = v; }
    int getVoltage() const { return m_voltage; }
    void setVoltage(int v) { m_voltage = v; }
    // The first value of the settings no device can be built with, named as
    // its profile gave it, and the device error it gives; empty when there
    // is none.
    const std::string& getRefusal() const { return m_refusal; }
    int getRefusalCode() const { return m_refusalCode; }
    void refuse(const std::string& value, int code);

    Sptr<ScanConfig> getScanConfig() const { return m_scanConfig; }
    void setScanConfig(const Sptr<ScanConfig>& v) { m_scanConfig = v; }
    Sptr<DpfConfig> getDpfConfig() const;
    void setDpfConfig(const Sptr<DpfConfig>& v);
    Sptr<Mp3Config> getMp3Config() const;
    void setMp3Config(const Sptr<Mp3Config>& v);

    Sptr<PartInfo> getPartInfo(int index);
    void addPartInfo(const Sptr<PartInfo>& part);
    int getPartCount() { return getCount(); }

    using BaseData::update;
    // A new ConfigInfo whose partitions fit a real capacity of n sectors;
    // empty when they cannot be laid within it. Settings that are such a
    // fit already are fitted again from the sizes asked before it, with
    // their other settings as they are now.
    [[nodiscard]] Sptr<ConfigInfo> update(int realCapacity);

    // Forced flash model for identification; applied from the settings page.
    static void setFlashModel(const std::string& model);
    static std::string getFlashModel();
    static void setChipsPerDisk(int chips);
    static int getChipsPerDisk();
    static void setDualChannel(bool dual);
    static bool checkDualChannel();

private:
    void copySettings(const ConfigInfo& other);
    void copyPartitions(ConfigInfo& other);

    int m_snMode = 0;
    std::string m_snLabel;
    uint32_t m_snStart = 0;
    std::string m_vendorString;
    std::string m_productString;
    int m_vendorCode = 0;
    int m_productCode = 0;
    std::string m_password;
    std::string m_newPassword;
    int m_ledStatus = 0;
    int m_ledFreq = 0;
    bool m_autoStart = false;
    int m_capacityPolicy = CAPACITY_RATIONAL;
    int m_realCapacity = 0;
    int m_configCapacity = 0;
    Sptr<ScanConfig> m_scanConfig;
    Sptr<DpfConfig> m_dpfConfig;
    Sptr<Mp3Config> m_mp3Config;
    LOGIN_OP_T m_loginOp = 0;
    bool m_blockMode = false;
    int m_userBound = 0;
    int m_voltage = 2;
    std::string m_refusal;
    int m_refusalCode = 0;
    // The partitions and real capacity before the fit these settings are;
    // empty when they are no fit.
    Sptr<ConfigInfo> m_asked;
};

}  // namespace Tessor::schema
