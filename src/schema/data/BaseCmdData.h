// Data object that owns a byte buffer in whole 512-byte sectors and can be
// written to a device or to a host file.
#pragma once

#include <string>
#include <vector>

#include "platform/orrin/Sector.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

class BaseCmdData : public BaseData {
public:
    explicit BaseCmdData(const std::string& name);
    BaseCmdData(UsbDevice* device, const std::string& name);
    // Copies own their buffer: no two objects ever share one.
    BaseCmdData(const BaseCmdData& other) = default;
    BaseCmdData& operator=(const BaseCmdData& other);
    ~BaseCmdData() override;

    int init() override;

    [[nodiscard]] virtual int validateFlash(UsbDevice* device);
    [[nodiscard]] virtual int writeFlash(UsbDevice* device) = 0;
    [[nodiscard]] int writeFlash();
    [[nodiscard]] int write(const std::string& file);
    [[nodiscard]] virtual int write();
    virtual void setAsGood();
    virtual void setAsBad();
    virtual int myInit() = 0;
    virtual int myInitLater();

    char* getBuffer() { return m_buffer.empty() ? nullptr : m_buffer.data(); }
    int getLength() const { return m_length; }
    const std::string& getFileName() const { return m_fileName; }

protected:
    std::string m_fileName;
    // Whole sectors; empty until init finds a length.
    std::vector<char> m_buffer;
    int m_length = 0;
};

}  // namespace Tessor::schema
