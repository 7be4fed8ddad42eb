// Writes data into a photo-frame area block by block over the area's own
// block list, so nothing lands in a block the area does not own.
#pragma once

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::usb {

class DpfCmd;

class AreaWriter {
public:
    AreaWriter(schema::UsbDevice* device, DpfCmd* area);

    // Writes `sectors` sectors from the current place on, in writes of at
    // most `chunk` sectors that never cross a block; 0, or -1 (logged) when
    // the area's blocks run out or the device refuses a write.
    [[nodiscard]] int write(const unsigned char* data, int sectors, int chunk);
    // Goes to sector `sector` of the area's block `block`.
    void seek(int block, int sector);
    // Goes to the start of the next block unless already at a block start.
    void startBlock();
    int getBlock() const { return m_block; }
    int getSectorsPerBlock() const { return m_sectorsPerBlock; }

private:
    schema::UsbDevice* m_device;
    DpfCmd* m_area;
    int m_sectorsPerBlock;
    int m_block = 0;
    int m_sector = 0;
};

}  // namespace Tessor::usb
