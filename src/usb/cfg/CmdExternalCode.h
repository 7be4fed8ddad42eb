// Downloads a firmware image into the controller's RAM piece by piece, or
// writes it into the code pages of the system area and reads them back.
// Each piece of a flash image has its own run of pages: piece k's write i
// goes to page slot k x P + i, P being the pages one piece needs.
#pragma once

#include <string>

#include "schema/data/BaseCmdData.h"
#include "usb/cfg/CodeTypes.h"
#include "usb/cfg/ExternalCode.h"

namespace Tessor::usb {

class CodeData;

class CmdExternalCode : public schema::BaseCmdData {
public:
    CmdExternalCode(schema::UsbDevice* device, const std::string& name, CODE_TYPE_T type);
    CmdExternalCode(const std::string& name, CODE_TYPE_T type);

    int myInit() override;
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;
    using BaseCmdData::writeFlash;

    CODE_TYPE_T getType() const { return m_type; }
    // The image taken from the code factory when this command was made.
    Sptr<ExternalCode> getCode() const { return m_code; }
    // Sectors over all pieces; 0 without an image.
    int getCodeLength() const;
    // Page slots one piece takes with `sectorsPerPage`.
    int getPagesPerPiece(int sectorsPerPage) const;

private:
    bool isFlashType() const { return m_type == CODE_TYPE_FLASH || m_type == CODE_TYPE_DPF; }
    [[nodiscard]] int download(schema::UsbDevice* device, const CodeData& piece);
    // Block set 0's sectors per page from the device's table; 0 when unknown.
    static int sectorsPerPage(schema::UsbDevice* device);
    // The slot's address, or empty after logging why there is none.
    Sptr<schema::BaseAddress> slotAddress(int slot, int piece);
    [[nodiscard]] int failOn(schema::UsbDevice* device, const schema::BaseAddress& address);
    int comparePiece(int k, const unsigned char* expected, const unsigned char* read, int count);

    CODE_TYPE_T m_type;
    Sptr<ExternalCode> m_code;
};

}  // namespace Tessor::usb
