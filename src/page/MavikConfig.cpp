#include "page/MavikConfig.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/ui/UiInterfaceMgr.h"
#include "utils/AnsiText.h"

namespace Tessor::page {

using schema::ConfigInfo;

MavikConfig::MavikConfig(schema::UiInterfaceMgr* uiMgr) : m_uiMgr(uiMgr)
{
    flashInfo = Sptr<usb::FlashInfo>(new usb::FlashInfo());
    flashInfo->getChipInfo()->PartNumber[0] = '\0';
    const bool factory = schema::UsbConfiguration::instance()->getCurrentFunction() == schema::FUNCTION_FACTORY;
    setConfigInfo(factory ? m_uiMgr->getConfigInfo() : Sptr<ConfigInfo>(new ConfigInfo()));
    char folder[PATH_MAX] = {};
    if (::getcwd(folder, sizeof(folder)) == nullptr) {
        CPLOG(3, "GetCurrentDirectory failed : %s\n", std::strerror(errno));
    } else {
        m_workDir = folder;
    }
    getConfigInfo()->debug();
}

void MavikConfig::setConfigInfo(const Sptr<ConfigInfo>& info)
{
    info->debug();
    Sptr<ConfigInfo> copy(new ConfigInfo(info));
    int active = 0;
    while (active < copy->getPartCount()) {
        Sptr<schema::PartInfo> part = copy->getPartInfo(active);
        if (!part || part->getCapacity() == 0) {
            break;
        }
        ++active;
    }
    CPLOG(7, "Active Partition number is %d", active);
    Threads::Lock guard(m_settingsMutex);
    m_settings = copy;
    m_activePartitions = active;
}

Sptr<ConfigInfo> MavikConfig::getConfigInfo() const
{
    Threads::Lock guard(m_settingsMutex);
    return m_settings;
}

int MavikConfig::commitConfigInfo()
{
    m_uiMgr->setConfigInfo(Sptr<ConfigInfo>(new ConfigInfo(getConfigInfo())));
    m_uiMgr->updateConfig();
    return 0;
}

void MavikConfig::lock()
{
    CPLOG(7, "Locking UIConfig Object");
    m_lock.lock();
}

void MavikConfig::unlock()
{
    CPLOG(7, "UnLocking UIConfig Object");
    m_lock.unlock();
}

void MavikConfig::toMultiByteString(const QString& newPassword)
{
    getConfigInfo()->setNewPassword(utils::toAnsi(newPassword));
}

void MavikConfig::toMultiByteStringProduct(const QString& product)
{
    getConfigInfo()->setProductString(utils::toAnsi(product));
}

void MavikConfig::toMultiByteStringVendor(const QString& vendor)
{
    getConfigInfo()->setVendorString(utils::toAnsi(vendor));
}

void MavikConfig::toMultiByteStringSerialLabel(const QString& label)
{
    getConfigInfo()->setSerialNoLabel(utils::toAnsi(label));
}

QString MavikConfig::toWideString() const { return utils::fromAnsi(getConfigInfo()->getPassword()); }

std::optional<QString> MavikConfig::partInfoToWide(int index) const
{
    Sptr<schema::PartInfo> part = getConfigInfo()->getPartInfo(index);
    return part ? std::optional<QString>(utils::fromAnsi(part->getVolumeLabel())) : std::nullopt;
}

std::optional<QString> MavikConfig::partInfoCopyPathToWide(int index) const
{
    Sptr<schema::PartInfo> part = getConfigInfo()->getPartInfo(index);
    return part ? std::optional<QString>(utils::fromAnsi(part->getCopyPath())) : std::nullopt;
}

}  // namespace Tessor::page
