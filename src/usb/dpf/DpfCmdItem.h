// The writer of the data files of one group: menus and fonts (areas 1 to
// 29), photos (30), books (33) and the logo movie (35).
#pragma once

#include "schema/base/Sptr.h"
#include "schema/dpf/DpfDataGroup.h"
#include "usb/dpf/DpfCmd.h"

namespace Tessor::usb {

class AreaWriter;

class DpfCmdItem : public DpfCmd {
public:
    DpfCmdItem(schema::UsbDevice* device, const std::string& name, schema::PHOTO_ADDRESS_T type)
        : DpfCmd(device, name, type)
    {
    }
    DpfCmdItem(schema::UsbDevice* device, const unsigned char* raw, schema::PHOTO_ADDRESS_T type)
        : DpfCmd(device, raw, type)
    {
    }
    ~DpfCmdItem() override = default;

    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;

    void setDataGroup(const Sptr<schema::DpfDataGroup>& group) { m_group = group; }
    Sptr<schema::DpfDataGroup> getDataGroup() const { return m_group; }

private:
    [[nodiscard]] int writePhotos(AreaWriter& writer);
    [[nodiscard]] int writeBooks(AreaWriter& writer);
    [[nodiscard]] int writeFiles(AreaWriter& writer);
    int fileCount() const;

    Sptr<schema::DpfDataGroup> m_group;
};

}  // namespace Tessor::usb
