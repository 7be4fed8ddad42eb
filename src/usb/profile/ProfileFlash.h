// Identifies a device's NAND flash from its chip ids and the flash-chip
// table, or from the forced flash model of the settings.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "usb/profile/BaseProfile.h"
#include "usb/profile/FlashIdReader.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::usb {

class ProfileFlash : public Tessor::schema::BaseProfile {
public:
    ProfileFlash();
    ~ProfileFlash() override = default;

    // Builds a new FlashInfo; 0, or -1 when the flash cannot be identified.
    [[nodiscard]] int parseFlashId(FlashIdReader* device);
    [[nodiscard]] int parseFlashId(Tessor::schema::UsbDevice* device);
    // The part of the forced flash model, without reading ids.
    [[nodiscard]] int setFlashId(FlashIdReader* device);
    Sptr<FlashInfo> getFlashInfo() const { return m_flashInfo; }

protected:
    // 0 when the chip answered, 1 when no chip is there, -1 when the read failed.
    [[nodiscard]] int readOneChip(FlashIdReader* device, FLASH_TYPES kind);
    [[nodiscard]] bool getFlashIdByModel(const std::string& model, std::string& idString, const std::string& file);

private:
    void reset();
    [[nodiscard]] int probeChips(FlashIdReader* device);
    [[nodiscard]] int takeForcedModel();
    // The section of the flash file that holds `model`; false, logged, when none does.
    [[nodiscard]] bool findModelSection(const std::string& model, std::string& section);
    uint32_t chipZeroId() const;
    // Reads the part of the current section into the FlashInfo.
    [[nodiscard]] int readPart(const char* deviceName);

    Sptr<FlashInfo> m_flashInfo;
    int m_chips;
    unsigned char m_ids[4][4];
    bool m_dualChannel;
    bool m_dualDie;
};

}  // namespace Tessor::usb
