// A page that shows channels and edits the partitions of the run settings:
// up to three partitions, each a removable disk, a local disk or a CD-ROM
// with a size, a volume label, a folder or ISO image to copy and write
// protection; the first may be encrypted behind a login partition and be a
// boot disk. The derived page builds the controls under its own dialog ids
// and routes their notifications to the handlers here.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "page/PageConfig.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QAbstractButton;

namespace Tessor::page {

class MavikChan;

// The dialog ids of one page's partition controls.
struct PartitionIds {
    int capacity;
    int count;
    int policy;
    int password;
    std::array<int, 3> partCapacity;
    std::array<int, 3> content;
    std::array<int, 3> volume;
    std::array<int, 3> contentLabel;
    int bootDisk;
    std::array<int, 3> writeProtect;
    std::array<int, 3> localDisk;
    std::array<int, 3> removable;
    std::array<int, 3> cdrom;
    int encrypt;
    std::array<int, 3> confirm;
    std::array<int, 3> browse;
};

class PageSetting : public PageConfig {
public:
    static constexpr int PARTITIONS = 3;
    static constexpr int SECTORS_PER_MB = 2048;
    // Sectors a login partition needs beyond its content.
    static constexpr int LOGIN_RESERVE = 0x1100;
    // Edits of the production-settings page that other pages lack.
    static constexpr int FIXED_CAPACITY_EDIT = 1074;
    static constexpr int POLICY_RATIONAL_RADIO = 1296;
    static constexpr int HIDDEN_BOX = 1307;
    static constexpr int PASSWORD_LABEL = 1145;

    PageSetting(const std::string& name, QWidget* parent = nullptr);

    virtual MavikChan* getChannel(int index) = 0;
    // Writes the edited partitions into the run settings.
    virtual void commitPartInfo();

    void loadPartitions();
    void OnSelChangePartitionCount();
    void OnSelChangeCapacityPolicy();
    void OnSelChangeBootDisk();
    void OnClickedConfirmPartition();
    void OnClickedEncrypt();
    void OnClickedWriteProtect() { applyPasswordRule(); }
    // Partition `index` (0..2) becomes a CD-ROM, removable or local disk.
    void OnClickedCdrom(int index);
    void OnClickedRemovable(int index) { onClickedDisk(index, schema::DISK_REMOVABLE); }
    void OnClickedLocalDisk(int index) { onClickedDisk(index, schema::DISK_LOCAL); }
    void OnClickedBrowse(int index);
    // Cuts the volume label of partition `index` to 11 bytes of a
    // double-byte code page.
    void limitVolumeLabel(int index);
    // Says why the first volume label of the active partitions that FAT
    // cannot hold is refused, and sets the error; true when all can be held.
    [[nodiscard]] bool acceptVolumeLabels();
    // The same for a content of the active partitions that is not there: a
    // folder, or a CD-ROM's image file.
    [[nodiscard]] bool acceptContents();

    // What a check found wrong since the last clearError.
    bool hasError() const { return m_error != 0; }
    void clearError() { m_error = 0; }
    int partitionSectors(int index) const { return m_partSectors[static_cast<size_t>(index)]; }
    int partitionKind(int index) const { return m_kinds[static_cast<size_t>(index)]; }
    int loginCapacity() const { return m_loginCapacity; }

protected:
    // The folder chooser of Browse; false when the operator cancels. The
    // path ends with "/".
    [[nodiscard]] virtual bool chooseFolder(const QString& start, QString* path);

    // Builds the partition controls under the page's ids and connects them
    // to the handlers; `volumeRules` adds the label limit and the password
    // rule of the write-protect boxes.
    QWidget* createPartitionControls(bool volumeRules);
    void setCapacityPolicy(int policy) { m_capacityPolicy = policy; }
    // Partitions without content need no room for it.
    void resetEmptyContentSizes();

    PartitionIds m_ids{};

private:
    QLineEdit* edit(int id) const;
    QComboBox* combo(int id) const;
    QAbstractButton* button(int id) const;
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    int editNumber(int id) const;
    void setMb(int id, int sectors);
    int selectedCount() const;
    void selectCount(int count);
    void message(const char* key);
    // The partition checks' message of a size that is not positive.
    void sizeMessage(const char* english);
    QString workDir() const;

    void onClickedDisk(int index, int kind);
    void enablePartition(int index, bool enable);
    void clearPartitionFields(int index);
    void checkKind(int index, int kind);
    void applyPasswordRule();
    [[nodiscard]] bool setupLoginPartition();
    bool anyDeviceBusy();
    // Sectors still needed for partition 1's content.
    int neededSectors() const;

    QGroupBox* createPartitionGroup(int index, bool volumeRules);

    int m_cdImageSectors = 0;
    QString m_loginContent;
    QString m_isoPath;
    int m_loginCapacity = 0;
    std::array<int, 3> m_folderSectors{};
    int m_bootType = 0;
    std::array<int, 3> m_kinds{};
    int m_encrypt = 0;
    std::array<int, 3> m_partSectors{};
    int m_capacityPolicy = 0;
    int m_totalSectors = 0;
    int m_partCount = 1;
    int m_error = 0;
};

}  // namespace Tessor::page
