#include "schema/data/BaseData.h"

#include <cstdint>
#include <cstring>

#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::schema {

BaseData::BaseData(const std::string& name) : ManagedObject(name) {}

BaseData::BaseData(UsbDevice* device, const std::string& name)
    : ManagedObject(device, name), m_device(device)
{
    if (device != nullptr) {
        m_diskInfo = device->getDiskInfo();
    }
}

BaseData::BaseData(const BaseData& other)
    : ManagedObject(other),
      m_children(other.m_children),
      m_device(other.m_device),
      m_diskInfo(other.m_diskInfo),
      m_index(other.m_index),
      m_address(other.m_address)
{
    std::memcpy(m_logText, other.m_logText, sizeof(m_logText));
}

BaseData& BaseData::operator=(const BaseData& other) = default;

BaseData::~BaseData() = default;

int BaseData::serialize(void* /*out*/) { return 0; }

int BaseData::reverseSerialize(void* /*in*/) { return 0; }

int BaseData::update(UsbDevice* /*device*/) { return 0; }

int BaseData::finish(UsbDevice* /*device*/) { return 0; }

void BaseData::addData(Sptr<BaseData> child)
{
    child->m_index = getCount();
    m_children.push_back(child);
}

Sptr<BaseData> BaseData::getData(int index)
{
    if (index < 0 || index >= getCount()) {
        return Sptr<BaseData>();
    }
    return m_children[static_cast<size_t>(index)];
}

void BaseData::checkSum(unsigned char* buf, int len)
{
    // Anything shorter than one word has no room for the sum.
    if (len < 4) {
        return;
    }
    int words = len / 4;
    uint32_t x = 0;
    for (int i = 0; i < words - 1; ++i) {
        uint32_t word;
        std::memcpy(&word, buf + 4 * i, sizeof(word));
        x ^= word;
    }
    std::memcpy(buf + 4 * (words - 1), &x, sizeof(x));
    CPLOG(7, "Checksum of Code %s : %x", getName(), x);
}

void BaseData::checkSum(unsigned char* buf) { checkSum(buf, 4096); }

int BaseData::runAll(BaseDevice* device)
{
    int position = 0;
    for (const Sptr<BaseData>& child : m_children) {
        CPLOG(7, "run Configuration Data %d on device %s", position,
              device != nullptr ? device->getName() : "");
        int r = processEveryOne(device, child);
        if (r < 0) {
            return r;
        }
        ++position;
    }
    return 0;
}

int BaseData::processEveryOne(BaseDevice* /*device*/, Sptr<BaseData> /*child*/) { return 0; }

void BaseData::setAddress(Sptr<BaseAddress> address)
{
    if (getLogLevel() >= 7 && address) {
        CPLOG(7, "%s set address at %s", getName(), address->logData());
    }
    m_address = address;
}

Sptr<BaseAddress> BaseData::getAddress() { return m_address; }

void BaseData::myLog() {}

Sptr<BaseData> BaseData::getNextData(Sptr<BaseData> current)
{
    if (!current) {
        return m_children.empty() ? Sptr<BaseData>() : m_children.front();
    }
    const int next = current->m_index + 1;
    return next > 0 && next < getCount() ? m_children[static_cast<size_t>(next)] : Sptr<BaseData>();
}

void BaseData::clearData() { m_children.clear(); }

const char* BaseData::logData()
{
    std::memset(m_logText, 0, sizeof(m_logText));
    myLog();
    return m_logText;
}

}  // namespace Tessor::schema
