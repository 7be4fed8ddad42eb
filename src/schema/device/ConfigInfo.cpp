#include "schema/device/ConfigInfo.h"

#include <cmath>
#include <mutex>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/Mp3Config.h"
#include "schema/dpf/DpfConfig.h"

namespace Tessor::schema {

namespace {

// A partition scaled down to this or less is not worth laying out.
const uint32_t MIN_PARTITION = 12288;

// The forced flash model is applied on the window's thread and read by the
// device threads during identification.
struct FlashModelStatics {
    std::mutex lock;
    std::string model;
    int chipsPerDisk = 1;
    bool dualChannel = false;
};

FlashModelStatics& statics()
{
    static FlashModelStatics s;
    return s;
}

// capacity x ratio as a sector count, whatever the ratio holds.
uint32_t scaled(uint32_t capacity, double ratio, double& product)
{
    product = static_cast<double>(capacity) * ratio;
    if (!(product > 0.0)) {
        return 0;
    }
    if (product >= 4294967295.0) {
        return 0xFFFFFFFFu;
    }
    return static_cast<uint32_t>(product);
}

}  // namespace

ConfigInfo::ConfigInfo() : BaseData("ConfigInfo")
{
    init();
}

ConfigInfo::ConfigInfo(ConfigInfo* other) : BaseData("ConfigInfo")
{
    copySettings(*other);
    copyPartitions(*other);
}

ConfigInfo::ConfigInfo(const Sptr<ConfigInfo>& other) : ConfigInfo(other.get())
{
}

ConfigInfo::ConfigInfo(const ConfigInfo& other) : BaseData(other)
{
    clearData();
    copySettings(other);
    copyPartitions(const_cast<ConfigInfo&>(other));
}

ConfigInfo& ConfigInfo::operator=(const ConfigInfo& other)
{
    if (this != &other) {
        clearData();
        copySettings(other);
        copyPartitions(const_cast<ConfigInfo&>(other));
    }
    return *this;
}

ConfigInfo::~ConfigInfo() = default;

void ConfigInfo::copySettings(const ConfigInfo& other)
{
    m_snMode = other.m_snMode;
    m_snLabel = other.m_snLabel;
    m_snStart = other.m_snStart;
    m_vendorString = other.m_vendorString;
    m_productString = other.m_productString;
    m_vendorCode = other.m_vendorCode;
    m_productCode = other.m_productCode;
    m_password = other.m_password;
    m_newPassword = other.m_newPassword;
    m_ledStatus = other.m_ledStatus;
    m_ledFreq = other.m_ledFreq;
    m_autoStart = other.m_autoStart;
    m_capacityPolicy = other.m_capacityPolicy;
    m_realCapacity = other.m_realCapacity;
    m_configCapacity = other.m_configCapacity;
    m_scanConfig = other.m_scanConfig ? Sptr<ScanConfig>(new ScanConfig(other.m_scanConfig)) : Sptr<ScanConfig>();
    m_dpfConfig = other.m_dpfConfig;
    m_mp3Config = other.m_mp3Config;
    m_loginOp = other.m_loginOp;
    m_blockMode = other.m_blockMode;
    m_userBound = other.m_userBound;
    m_voltage = other.m_voltage;
    m_refusal = other.m_refusal;
    m_refusalCode = other.m_refusalCode;
    m_asked = other.m_asked;
}

// Every copy owns its partitions: a device resizing its own must not
// change the station's or another device's.
void ConfigInfo::copyPartitions(ConfigInfo& other)
{
    for (int i = 0;; ++i) {
        Sptr<PartInfo> part = other.getPartInfo(i);
        if (!part) {
            break;
        }
        addPartInfo(Sptr<PartInfo>(new PartInfo(part)));
    }
}

int ConfigInfo::init()
{
    m_scanConfig = Sptr<ScanConfig>(new ScanConfig(nullptr, "DefaultScanConfig"));
    m_loginOp = 0;
    m_blockMode = false;
    m_newPassword.clear();
    m_password.clear();
    m_voltage = 2;
    m_dpfConfig = Sptr<DpfConfig>(new DpfConfig("DefaultDpfConfig"));
    m_mp3Config = Sptr<Mp3Config>(new Mp3Config("DefaultMp3Config"));
    return 0;
}

Sptr<DpfConfig> ConfigInfo::getDpfConfig() const
{
    return m_dpfConfig;
}

void ConfigInfo::setDpfConfig(const Sptr<DpfConfig>& v)
{
    m_dpfConfig = v;
}

Sptr<Mp3Config> ConfigInfo::getMp3Config() const
{
    return m_mp3Config;
}

void ConfigInfo::setMp3Config(const Sptr<Mp3Config>& v)
{
    m_mp3Config = v;
}

void ConfigInfo::refuse(const std::string& value, int code)
{
    CPLOG(3, "Run settings refused: %s", value.c_str());
    if (m_refusal.empty()) {
        m_refusal = value;
        m_refusalCode = code;
    }
}

void ConfigInfo::setCapacityPolicy(int policy)
{
    m_capacityPolicy = policy ? CAPACITY_BEGIN_IS_FIRST : CAPACITY_RATIONAL;
    CPLOG(7, "Capacity Polity : %d", m_capacityPolicy);
}

Sptr<PartInfo> ConfigInfo::getPartInfo(int index)
{
    Sptr<BaseData> child = getData(index);
    if (!child) {
        return Sptr<PartInfo>();
    }
    Sptr<PartInfo> part = child;
    TESSOR_ASSERT(part);
    return part;
}

void ConfigInfo::addPartInfo(const Sptr<PartInfo>& part)
{
    addData(part);
}

Sptr<ConfigInfo> ConfigInfo::update(int realCapacity)
{
    if (m_asked) {
        // Sizes are fitted once: a fit of fitted sizes to fewer sectors takes
        // from the later partitions what the one that took the rest gained.
        Sptr<ConfigInfo> asked(new ConfigInfo(this));
        asked->clearData();
        asked->copyPartitions(*m_asked);
        asked->m_realCapacity = m_asked->m_realCapacity;
        asked->m_asked = Sptr<ConfigInfo>();
        return asked->update(realCapacity);
    }
    const Sptr<ConfigInfo> asked(new ConfigInfo(this));
    int n = realCapacity;
    if (m_capacityPolicy == CAPACITY_RATIONAL && m_configCapacity > 0) {
        if (m_configCapacity < n) {
            n = m_configCapacity;
        } else if (m_configCapacity > n) {
            m_realCapacity = n;
        }
    }
    // Without a capacity the sizes refer to, there is nothing to scale them by.
    const bool keepSizes = m_realCapacity <= 0;
    double ratio = 1.0;
    if (!keepSizes) {
        ratio = static_cast<double>(n) / m_realCapacity;
    } else {
        CPLOG(3, "Real capacity of the settings is %d, partitions keep their sizes", m_realCapacity);
    }
    int available = m_configCapacity != 0 ? m_configCapacity : n;
    CPLOG(7, "update ConfigInfo with real capacity of %d(%dMB) : ration = %f", n, n / 2048, ratio);

    Sptr<ConfigInfo> result(new ConfigInfo(this));
    result->clearData();
    // Partition sizes come from the settings: their sum may pass 32 bits.
    long long used = 0;
    bool firstEncrypted = false;
    int count = getCount();
    for (int i = 0; i < count; ++i) {
        Sptr<PartInfo> part(new PartInfo(getPartInfo(i)));
        uint32_t capacity = static_cast<uint32_t>(part->getCapacity());
        if (i == 0 && part->getIsEncrypted()) {
            firstEncrypted = true;
        }
        if (part->getDiskType() == DISK_CDROM) {
            // Kept sizes stay kept after it.
            if (!keepSizes) {
                const double rest = static_cast<double>(m_realCapacity) - capacity;
                if (rest > 0.0) {
                    ratio = (static_cast<double>(n) - capacity) / rest;
                } else {
                    CPLOG(3, "CD-ROM partition of %u sectors fills the real capacity of %d", capacity,
                          m_realCapacity);
                    ratio = 0.0;
                }
            }
            result->addPartInfo(part);
            used += capacity;
            continue;
        }
        bool proportional = m_capacityPolicy == CAPACITY_RATIONAL &&
                            (UsbConfiguration::instance()->getChipSet() == CHIPSET_6706 ||
                             m_configCapacity <= m_realCapacity);
        if (proportional) {
            double product = 0.0;
            uint32_t newCapacity = scaled(capacity, ratio, product);
            part->setCapacity(newCapacity);
            CPLOG(7, "Propotional Capacity %dMB of Partition %d(%f)", static_cast<int>(newCapacity / 2048), i,
                  product);
            if (keepSizes || newCapacity > MIN_PARTITION) {
                result->addPartInfo(part);
            }
            continue;
        }
        const long long left = available - used;
        CPLOG(7, "Left Capacity %lldMB of Partition %d", left / 2048, i);
        if (left > static_cast<long long>(static_cast<int>(capacity))) {
            if (i == count - 1) {
                if (firstEncrypted && count >= 2) {
                    Sptr<PartInfo> first = result->getPartInfo(0);
                    first->setCapacity(first->getCapacity() + static_cast<uint32_t>(left) - capacity);
                } else {
                    part->setCapacity(static_cast<uint32_t>(left));
                }
            }
            result->addPartInfo(part);
            used += part->getCapacity();
            continue;
        }
        CPLOG(7, "Left Capacity %lldMB of Partition %d", left / 2048, i);
        if (left > static_cast<long long>(MIN_PARTITION)) {
            part->setCapacity(static_cast<uint32_t>(left));
            result->addPartInfo(part);
        } else {
            CPLOG(4, "Left Capacity %lldMB of Partition %d is too small, so ignore this partition", left / 2048, i);
        }
        break;
    }
    result->setRealCapacity(n);
    result->m_asked = asked;

    // Sectors beyond the flash would silently lose what is written there.
    unsigned long long laid = 0;
    for (int i = 0; i < result->getCount(); ++i) {
        laid += result->getPartInfo(i)->getCapacity();
    }
    if (laid > static_cast<unsigned long long>(realCapacity > 0 ? realCapacity : 0)) {
        CPLOG(3, "Partitions of %llu sectors are too large for the device's real capacity of %d sectors", laid,
              realCapacity);
        return Sptr<ConfigInfo>();
    }
    return result;
}

void ConfigInfo::debug()
{
    if (m_scanConfig) {
        m_scanConfig->debug();
    }
    for (int i = 0; i < getCount(); ++i) {
        getPartInfo(i)->debug();
    }
    SystemInfo::debug("\tSnMode \t: %d, \tSnLabel \t: %s, \tSnStart \t: %ld\n", m_snMode, m_snLabel.c_str(),
                      static_cast<long>(m_snStart));
    SystemInfo::debug("\tVendorString \t: %s, \tVendorCode \t: %d\n", m_vendorString.c_str(), m_vendorCode);
    SystemInfo::debug("\tProductString \t: %s, \tProductCode \t: %d\n", m_productString.c_str(), m_productCode);
    SystemInfo::debug("\tPassword \t: %s; \tNew Password \t: %s; =t\n", m_password.empty() ? "" : "******",
                      m_newPassword.empty() ? "" : "******");
    SystemInfo::debug("\tRealCapacity \t: %d, \tConfigCapacity \t: %d\tCapacityPolicy : %s\n", m_realCapacity,
                      m_configCapacity, m_capacityPolicy == CAPACITY_BEGIN_IS_FIRST ? "BeginIsFirst" : "Rational");
    SystemInfo::debug("\tAutoStart \t: %s, \tLogin Op \t: %d\n", m_autoStart ? "YES" : "NO", m_loginOp);
    SystemInfo::debug("\tBlockMode \t: %s\n", m_blockMode ? "YES" : "NO");
    SystemInfo::debugOut("ConfigInfo Debug Info :");
}

void ConfigInfo::setFlashModel(const std::string& model)
{
    std::lock_guard<std::mutex> guard(statics().lock);
    statics().model = model;
}

std::string ConfigInfo::getFlashModel()
{
    std::lock_guard<std::mutex> guard(statics().lock);
    return statics().model;
}

void ConfigInfo::setChipsPerDisk(int chips)
{
    std::lock_guard<std::mutex> guard(statics().lock);
    statics().chipsPerDisk = chips;
}

int ConfigInfo::getChipsPerDisk()
{
    std::lock_guard<std::mutex> guard(statics().lock);
    return statics().chipsPerDisk;
}

void ConfigInfo::setDualChannel(bool dual)
{
    std::lock_guard<std::mutex> guard(statics().lock);
    statics().dualChannel = dual;
}

bool ConfigInfo::checkDualChannel()
{
    std::lock_guard<std::mutex> guard(statics().lock);
    return statics().dualChannel;
}

}  // namespace Tessor::schema
