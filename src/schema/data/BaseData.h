// Base of every piece of device data: children, geometry, flash address and
// the hooks for packing, updating and finishing.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/ManagedObject.h"

namespace Tessor::schema {

class BaseAddress;
class BaseDevice;
class DiskInfo;
class UsbDevice;

class BaseData : public ManagedObject {
public:
    static constexpr int LOG_TEXT_SIZE = 1024;

    explicit BaseData(const std::string& name);
    BaseData(UsbDevice* device, const std::string& name);
    BaseData(const BaseData& other);
    // Makes this object what the copy constructor would make of `other`;
    // derived classes assign their own fields.
    BaseData& operator=(const BaseData& other);
    ~BaseData() override;

    virtual int serialize(void* out);
    virtual int reverseSerialize(void* in);
    [[nodiscard]] virtual int update(UsbDevice* device);
    [[nodiscard]] virtual int finish(UsbDevice* device);
    virtual void addData(Sptr<BaseData> child);
    virtual Sptr<BaseData> getData(int index);
    virtual void checkSum(unsigned char* buf, int len);
    virtual void checkSum(unsigned char* buf);
    [[nodiscard]] virtual int runAll(BaseDevice* device);
    [[nodiscard]] virtual int processEveryOne(BaseDevice* device, Sptr<BaseData> child);
    virtual void setAddress(Sptr<BaseAddress> address);
    virtual Sptr<BaseAddress> getAddress();
    virtual void myLog();
    virtual int init() = 0;

    Sptr<BaseData> getNextData(Sptr<BaseData> current);
    void clearData();
    UsbDevice* getDevice() const { return m_device; }
    int getIndex() const { return m_index; }
    int getCount() const { return static_cast<int>(m_children.size()); }
    const char* logData();

protected:
    // A child's index is its position here.
    std::vector<Sptr<BaseData>> m_children;
    UsbDevice* m_device = nullptr;
    Sptr<DiskInfo> m_diskInfo;
    int m_index = 0;
    char m_logText[LOG_TEXT_SIZE] = {};
    Sptr<BaseAddress> m_address;
};

}  // namespace Tessor::schema
