#pragma once

#include <string>

#include "schema/base/Sptr.h"

namespace Tessor::schema {
class DpfConfig;
class UsbDevice;
}  // namespace Tessor::schema

namespace Tessor::interim {

class DpfDevice {
public:
    DpfDevice(schema::UsbDevice* device, const std::string& name) : m_device(device), m_name(name) {}
    virtual ~DpfDevice() = default;
    int init() { return 0; }
    void setDpfConfig(const Sptr<schema::DpfConfig>& /*config*/) {}
    const std::string& getName() const { return m_name; }
    schema::UsbDevice* getDevice() const { return m_device; }

private:
    schema::UsbDevice* m_device;
    std::string m_name;
};

}  // namespace Tessor::interim
