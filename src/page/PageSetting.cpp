#include "page/PageSetting.h"

#include <unistd.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>

#include "page/CDlgGetPath.h"
#include "page/MavikChan.h"
#include "page/PageHost.h"
#include "page/PortRecord.h"
#include "platform/mfc/FileDialog.h"
#include "platform/mfc/MessageBox.h"
#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/data/BaseCmdData.h"
#include "schema/device/VolumeLabel.h"
#include "utils/AnsiText.h"
#include "platform/orrin/CodePage.h"
#include "utils/FileSizes.h"
#include "platform/orrin/HostPath.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using schema::DISK_CDROM;
using schema::DISK_LOCAL;
using schema::DISK_REMOVABLE;
using utils::MavikLang;

namespace {

constexpr int LABEL_BYTES = 11;
constexpr int LABEL_CHECK_FROM = 5;
constexpr char LOGIN_ISO[] = "\\releases\\fileSystems\\iso\\Login.iso";
constexpr char LOGIN_FOLDER_V30[] = "\\releases\\fileSystems\\kelvo_v30";
constexpr char LOGIN_FOLDER_V31[] = "\\releases\\fileSystems\\kelvo_v31";

// Whole sectors holding `bytes`; none when they do not fit a signed 32-bit count.
std::optional<int> sectorsOf(uint64_t bytes)
{
    constexpr uint64_t SECTOR = SECTOR_BYTES;
    const uint64_t sectors = ceilDivide(bytes, SECTOR);
    if (sectors > static_cast<uint64_t>(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(sectors);
}

}  // namespace

PageSetting::PageSetting(const std::string& name, QWidget* parent) : PageConfig(name, parent) {}

QLineEdit* PageSetting::edit(int id) const { return qobject_cast<QLineEdit*>(GetDlgItem(id)); }

QComboBox* PageSetting::combo(int id) const { return qobject_cast<QComboBox*>(GetDlgItem(id)); }

QAbstractButton* PageSetting::button(int id) const { return qobject_cast<QAbstractButton*>(GetDlgItem(id)); }

bool PageSetting::isChecked(int id) const
{
    QAbstractButton* box = button(id);
    return box != nullptr && box->isChecked();
}

void PageSetting::setChecked(int id, bool checked)
{
    if (QAbstractButton* box = button(id)) {
        box->setChecked(checked);
    }
}

int PageSetting::editNumber(int id) const { return GetDlgItemText(id).trimmed().toInt(); }

void PageSetting::setMb(int id, int sectors) { SetDlgItemText(id, QString::number(sectors / SECTORS_PER_MB)); }

int PageSetting::selectedCount() const
{
    QComboBox* box = combo(m_ids.count);
    const int count = box != nullptr ? box->currentText().toInt() : 1;
    CPLOG(7, "index = %d", count);
    return count >= 1 && count <= PARTITIONS ? count : 1;
}

void PageSetting::selectCount(int count)
{
    if (QComboBox* box = combo(m_ids.count)) {
        box->setCurrentIndex(count - 1);
    }
}

void PageSetting::message(const char* key)
{
    m_error = 1;
    mfc::AfxMessageBox(MavikLang::text(key));
}

void PageSetting::sizeMessage(const char* english)
{
    // A locale file's key cannot hold the "=" of these texts: the other
    // languages say what they mean.
    message(MavikLang::language() == utils::LANG_ENGLISH ? english
                                                          : "Message: Capacity Is Invalid ,Please Setting Over Again!");
}

QString PageSetting::workDir() const { return holder != nullptr ? QString::fromStdString(holder->getWorkDir()) : QString(); }

void PageSetting::loadPartitions()
{
    const int capacityMb = m_runSettings->getRealCapacity() / SECTORS_PER_MB;
    SetDlgItemText(m_ids.capacity, QString::number(capacityMb));
    m_totalSectors = capacityMb * SECTORS_PER_MB;
    SetDlgItemText(m_ids.password, utils::fromAnsi(m_runSettings->getPassword()));
    applyPasswordRule();

    if (QComboBox* box = combo(m_ids.count)) {
        box->clear();
        box->addItems({"1", "2", "3"});
    }
    m_partCount = std::clamp(holder->getActivePartitions(), 1, PARTITIONS);
    selectCount(m_partCount);

    m_capacityPolicy = m_runSettings->getCapacityPolicy();
    SetDlgItemText(POLICY_RATIONAL_RADIO, MavikLang::text("Rational"));
    SetDlgItemText(POLICY_RATIONAL_RADIO + 1, MavikLang::text("First Priority"));
    setChecked(POLICY_RATIONAL_RADIO + m_capacityPolicy, true);
    if (QComboBox* box = combo(m_ids.policy)) {
        box->setCurrentIndex(m_capacityPolicy);
    }

    Sptr<schema::PartInfo> first = m_runSettings->getPartInfo(0);
    if (QComboBox* box = combo(m_ids.bootDisk)) {
        box->clear();
        box->addItems({MavikLang::text("Not Support"), MavikLang::text("ZIP32")});
        box->setCurrentIndex(first ? first->getBootType() : 0);
    }
    OnSelChangeBootDisk();

    m_partCount = selectedCount();
    if (m_partCount < 3) {
        clearPartitionFields(2);
    }
    if (m_partCount == 1) {
        clearPartitionFields(1);
    }
    enablePartition(1, m_partCount >= 2);
    if (m_partCount >= 2) {
        enablePartition(2, m_partCount == 3);
    }

    applyPasswordRule();
    for (int i = 0; i < PARTITIONS; ++i) {
        const auto at = static_cast<size_t>(i);
        Sptr<schema::PartInfo> part = m_runSettings->getPartInfo(i);
        if (!part) {
            m_partSectors[at] = 0;
            continue;
        }
        if (i == 0) {
            setChecked(m_ids.encrypt, part->getIsEncrypted());
            m_encrypt = part->getIsEncrypted() ? 1 : 0;
        }
        m_kinds[at] = part->getDiskType();
        if (m_kinds[at] == DISK_CDROM) {
            m_isoPath = utils::fromAnsi(part->getCopyPath());
            if (i == 0) {
                OnClickedCdrom(0);
            }
        }
        checkKind(i, m_kinds[at]);
        SetDlgItemText(m_ids.contentLabel[at],
                       MavikLang::text(m_kinds[at] == DISK_CDROM ? "ISO File:" : "Directory:"));
        m_partSectors[at] = static_cast<int>(part->getCapacity());
        setMb(m_ids.partCapacity[at], m_partSectors[at]);
        SetDlgItemText(m_ids.volume[at], utils::fromAnsi(part->getVolumeLabel()));
        SetDlgItemText(m_ids.content[at], utils::fromAnsi(part->getCopyPath()));
        setChecked(m_ids.writeProtect[at], part->getWriteProtected());
        if (i == 0) {
            setChecked(HIDDEN_BOX, part->getHide());
        }
    }
}

void PageSetting::clearPartitionFields(int index)
{
    const auto at = static_cast<size_t>(index);
    SetDlgItemText(m_ids.partCapacity[at], QString());
    SetDlgItemText(m_ids.volume[at], QString());
    SetDlgItemText(m_ids.content[at], QString());
}

void PageSetting::checkKind(int index, int kind)
{
    const auto at = static_cast<size_t>(index);
    const int radio = kind == DISK_CDROM ? m_ids.cdrom[at] : kind == DISK_LOCAL ? m_ids.localDisk[at] : m_ids.removable[at];
    setChecked(radio, true);
}

void PageSetting::enablePartition(int index, bool enable)
{
    const auto at = static_cast<size_t>(index);
    for (int id : {m_ids.cdrom[at], m_ids.removable[at], m_ids.localDisk[at], m_ids.writeProtect[at],
                   m_ids.partCapacity[at], m_ids.volume[at], m_ids.content[at], m_ids.confirm[at],
                   m_ids.browse[at]}) {
        EnableDlgItem(id, enable);
    }
    if (enable) {
        setMb(m_ids.partCapacity[at], m_partSectors[at]);
    } else if (index == 1) {
        enablePartition(2, false);
        SetDlgItemText(m_ids.partCapacity[at], "0");
    }
}

void PageSetting::OnSelChangePartitionCount()
{
    int count = selectedCount();
    if (count == 3 && isChecked(m_ids.encrypt)) {
        // An encrypted disk has at most two partitions.
        selectCount(2);
        count = selectedCount();
    }
    m_partCount = count;
    for (int i = count; i < PARTITIONS; ++i) {
        const auto at = static_cast<size_t>(i);
        clearPartitionFields(i);
        m_kinds[at] = DISK_REMOVABLE;
        checkKind(i, DISK_REMOVABLE);
        setChecked(m_ids.writeProtect[at], false);
    }
    if (count == 1) {
        enablePartition(1, false);
    } else {
        enablePartition(1, true);
        enablePartition(2, count == 3);
    }
    OnClickedConfirmPartition();
}

void PageSetting::OnSelChangeCapacityPolicy()
{
    if (QComboBox* box = combo(m_ids.policy)) {
        m_capacityPolicy = std::max(0, box->currentIndex());
    }
}

void PageSetting::OnSelChangeBootDisk()
{
    QComboBox* box = combo(m_ids.bootDisk);
    m_bootType = box != nullptr ? std::max(0, box->currentIndex()) : 0;
    if (m_bootType == 0) {
        for (int id : {m_ids.cdrom[0], m_ids.removable[0], m_ids.localDisk[0], m_ids.encrypt}) {
            EnableDlgItem(id, true);
        }
    } else if (m_bootType == 1 || m_bootType == 2) {
        m_kinds[0] = DISK_REMOVABLE;
        checkKind(0, DISK_REMOVABLE);
        for (int id : {m_ids.cdrom[0], m_ids.localDisk[0], m_ids.encrypt}) {
            EnableDlgItem(id, false);
        }
        setChecked(m_ids.encrypt, false);
        m_encrypt = 0;
        setChecked(m_ids.writeProtect[0], false);
        SetDlgItemText(m_ids.content[0], QString());
    } else {
        m_kinds[0] = DISK_LOCAL;
        checkKind(0, DISK_LOCAL);
        EnableDlgItem(m_ids.cdrom[0], false);
        EnableDlgItem(m_ids.removable[0], false);
    }
}

void PageSetting::OnClickedCdrom(int index)
{
    const auto at = static_cast<size_t>(index);
    if (index != 0) {
        if (m_kinds[at] == DISK_CDROM) {
            return;
        }
        m_kinds[at] = DISK_CDROM;
        setChecked(m_ids.writeProtect[at], true);
        SetDlgItemText(m_ids.contentLabel[at], MavikLang::text("ISO File:"));
        SetDlgItemText(m_ids.content[at], m_isoPath);
        m_partSectors[at] = editNumber(m_ids.partCapacity[at]) * SECTORS_PER_MB;
        EnableDlgItem(m_ids.browse[at], true);
        SetDlgItemText(m_ids.partCapacity[at], QString());
        return;
    }
    m_kinds[0] = DISK_CDROM;
    setChecked(m_ids.writeProtect[0], false);
    SetDlgItemText(m_ids.contentLabel[0], MavikLang::text("ISO File:"));
    if (!isChecked(m_ids.encrypt)) {
        SetDlgItemText(m_ids.content[0], m_isoPath);
        m_partSectors[0] = editNumber(m_ids.partCapacity[0]) * SECTORS_PER_MB;
    } else {
        if (editNumber(m_ids.partCapacity[0]) == 0) {
            message("Message: Capacity Is Invalid ,Please Setting Over Again!");
        }
        (void)setupLoginPartition();  // missing login content was shown; Apply refuses it
    }
    EnableDlgItem(m_ids.bootDisk, false);
    setChecked(m_ids.encrypt, false);
    m_encrypt = 0;
    EnableDlgItem(m_ids.encrypt, false);
    SetDlgItemText(m_ids.password, QString());
    EnableDlgItem(m_ids.password, false);
    EnableDlgItem(m_ids.browse[0], true);
    // A CD-ROM partition takes its size from the image when confirmed.
    SetDlgItemText(m_ids.partCapacity[0], QString());
}

void PageSetting::onClickedDisk(int index, int kind)
{
    const auto at = static_cast<size_t>(index);
    if (index == 0 && m_kinds[0] == kind) {
        return;
    }
    m_kinds[at] = kind;
    setChecked(m_ids.writeProtect[at], false);
    SetDlgItemText(m_ids.contentLabel[at], MavikLang::text("Directory:"));
    SetDlgItemText(m_ids.content[at], QString());
    if (index != 0) {
        return;
    }
    if (isChecked(m_ids.encrypt)) {
        if (editNumber(m_ids.partCapacity[0]) == 0) {
            message("Message: Capacity Is Invalid ,Please Setting Over Again!");
        }
        (void)setupLoginPartition();  // missing login content was shown; Apply refuses it
    }
    setMb(m_ids.partCapacity[0], m_partSectors[0]);
    EnableDlgItem(m_ids.bootDisk, true);
    EnableDlgItem(m_ids.encrypt, true);
}

void PageSetting::OnClickedEncrypt()
{
    m_encrypt = isChecked(m_ids.encrypt) ? 1 : 0;
    EnableDlgItem(m_ids.browse[0], m_encrypt == 0);
    if (m_encrypt != 0) {
        EnableDlgItem(m_ids.password, true);
        if (selectedCount() == 3) {
            selectCount(2);
            OnSelChangePartitionCount();
        }
    } else {
        setChecked(m_ids.writeProtect[0], false);
        if (m_kinds[0] == DISK_CDROM) {
            SetDlgItemText(m_ids.content[0], m_isoPath);
            setMb(m_ids.partCapacity[0], m_cdImageSectors > 0 ? m_cdImageSectors : m_partSectors[0]);
        } else {
            Sptr<schema::PartInfo> first = m_runSettings->getPartInfo(0);
            SetDlgItemText(m_ids.content[0], first ? utils::fromAnsi(first->getCopyPath()) : QString());
            setMb(m_ids.partCapacity[0], m_partSectors[0]);
        }
        SetDlgItemText(m_ids.password, QString());
        EnableDlgItem(m_ids.password, false);
    }
    if (m_encrypt != 0 && !setupLoginPartition()) {
        setChecked(m_ids.encrypt, false);
        m_encrypt = 0;
        EnableDlgItem(m_ids.browse[0], true);
    }
    applyPasswordRule();
}

bool PageSetting::setupLoginPartition()
{
    const QString work = workDir();
    QString content;
    std::optional<int> sectors;
    if (m_kinds[0] == DISK_CDROM) {
        content = work + LOGIN_ISO;
        std::error_code ec;
        const uintmax_t bytes = std::filesystem::file_size(HostPath::toHost(utils::toAnsi(content)), ec);
        if (!ec) {
            sectors = sectorsOf(bytes);
        }
    } else {
        const int version = schema::UsbConfiguration::instance()->getVersion().getVersion();
        const char* folder = version == 300 ? LOGIN_FOLDER_V30 : version == 310 ? LOGIN_FOLDER_V31 : nullptr;
        if (folder != nullptr) {
            content = work + folder;
            std::error_code ec;
            if (std::filesystem::is_directory(HostPath::toHost(utils::toAnsi(content)), ec)) {
                sectors = sectorsOf(utils::getFolderSize(utils::toAnsi(content)));
            }
        }
    }
    if (!sectors || *sectors > std::numeric_limits<int>::max() - LOGIN_RESERVE) {
        CPLOG(3, "No login content for version %d at %s", schema::UsbConfiguration::instance()->getVersion().getVersion(),
              utils::toAnsi(content).c_str());
        message("Message: Login Content Is Missing!");
        return false;
    }
    m_loginCapacity = *sectors + LOGIN_RESERVE;
    m_loginContent = content;
    SetDlgItemText(m_ids.content[0], m_loginContent);
    return true;
}

void PageSetting::applyPasswordRule()
{
    const bool encrypted = isChecked(m_ids.encrypt);
    EnableDlgItem(m_ids.password, encrypted);
    if (!encrypted) {
        return;
    }
    if (GetDlgItemText(m_ids.password).isEmpty() && m_runSettings) {
        SetDlgItemText(m_ids.password, utils::fromAnsi(m_runSettings->getPassword()));
    }
}

void PageSetting::limitVolumeLabel(int index)
{
    QLineEdit* label = edit(m_ids.volume[static_cast<size_t>(index)]);
    if (label == nullptr || label->text().size() <= LABEL_CHECK_FROM) {
        return;
    }
    const QString text = label->text();
    int weight = 0;
    for (int i = 0; i < text.size(); ++i) {
        weight += text[i].unicode() > 0x100 ? 2 : 1;
        if (weight > LABEL_BYTES) {
            label->setText(text.left(i));
            label->setCursorPosition(i);
            return;
        }
    }
}

bool PageSetting::acceptVolumeLabels()
{
    using Fault = schema::VolumeLabel::Fault;
    for (int i = 0; i < selectedCount(); ++i) {
        std::string narrow;
        const bool written = CodePage::fromUtf8(GetDlgItemText(m_ids.volume[static_cast<size_t>(i)]).toStdString(), &narrow);
        const schema::VolumeLabel label(narrow);
        const Fault fault = written ? label.fault() : Fault::NOT_CODE_PAGE;
        QString why;
        switch (fault) {
        case Fault::NONE: continue;
        case Fault::NOT_CODE_PAGE:
            why = MavikLang::text("Volume label holds a character the code page cannot write!");
            break;
        case Fault::LEADING_BLANK: why = MavikLang::text("Volume label can not start with a blank!"); break;
        case Fault::CONTROL_CHARACTER: why = MavikLang::text("Volume label can not hold a control character!"); break;
        case Fault::FORBIDDEN_CHARACTER:
            why = QString("%1 %2").arg(MavikLang::text("Volume label can not hold the character"),
                                       QChar::fromLatin1(label.forbidden()));
            break;
        }
        m_error = 1;
        mfc::AfxMessageBox(QString("%1%2: %3").arg(MavikLang::text("Partition")).arg(i + 1).arg(why));
        return false;
    }
    return true;
}

bool PageSetting::acceptContents()
{
    for (int i = 0; i < selectedCount(); ++i) {
        const auto at = static_cast<size_t>(i);
        const QString content = GetDlgItemText(m_ids.content[at]);
        if (content.isEmpty()) {
            continue;
        }
        // Typed by hand or gone since it was chosen: every device would
        // fail copying it.
        const bool image = m_kinds[at] == DISK_CDROM;
        std::error_code ec;
        const std::filesystem::path path = HostPath::toHost(utils::toAnsi(content));
        if (image ? std::filesystem::is_regular_file(path, ec) : std::filesystem::is_directory(path, ec)) {
            continue;
        }
        m_error = 1;
        mfc::AfxMessageBox(QString("%1%2: %3 %4")
                               .arg(MavikLang::text("Partition"))
                               .arg(i + 1)
                               .arg(MavikLang::text(image ? "Can not find cdrom iso file!"
                                                          : "Message: Directory Does Not Exist!"),
                                    content));
        return false;
    }
    return true;
}

bool PageSetting::anyDeviceBusy()
{
    const int count = uiMgr != nullptr ? uiMgr->getCount() : 0;
    for (int i = 0; i < count; ++i) {
        MavikChan* channel = getChannel(i);
        if (channel != nullptr && channel->device != nullptr && channel->device->isBusy()) {
            return true;
        }
    }
    return false;
}

bool PageSetting::chooseFolder(const QString& start, QString* path)
{
    CDlgGetPath dialog(this);
    dialog.setPath(start);
    if (dialog.DoModal() != mfc::IDOK) {
        return false;
    }
    *path = dialog.getPath();
    return true;
}

void PageSetting::OnClickedBrowse(int index)
{
    const auto at = static_cast<size_t>(index);
    if (anyDeviceBusy()) {
        message("Dangerous!This action will change the work directory!");
        return;
    }
    int limit = editNumber(m_ids.capacity);
    QString path;
    if (m_kinds[at] == DISK_CDROM) {
        path = mfc::fileDialogService()->openFile(MavikLang::text("CDROM Image File(*.iso)|*.iso||"), ".iso");
        if (!path.isEmpty()) {
            const int64_t sectors = utils::getFileSectorCount(utils::toAnsi(path), static_cast<uint32_t>(std::max(0, limit)));
            // Refused alike: an image that cannot be read, one over the
            // disk, one whose count passes a signed 32-bit size.
            if (sectors <= 0 || sectors > std::numeric_limits<int>::max()) {
                message("Message: CDROM Image File Is Too Big!");
            } else {
                m_cdImageSectors = static_cast<int>(sectors);
                m_isoPath = path;
                setMb(m_ids.partCapacity[at], m_cdImageSectors);
                SetDlgItemText(m_ids.content[at], path);
            }
        }
    } else if (chooseFolder(workDir(), &path)) {
        const std::optional<int> sectors = sectorsOf(utils::getFolderSize(utils::toAnsi(path)));
        if (sectors && limit == 0) {
            limit = *sectors / SECTORS_PER_MB;
        }
        if (!sectors || *sectors / SECTORS_PER_MB > limit) {
            message("Message: Directory Is Oversize!");
        } else {
            m_folderSectors[at] = *sectors;
            SetDlgItemText(m_ids.content[at], path.chopped(1));
        }
    }
    if (holder != nullptr && !holder->getWorkDir().empty() && ::chdir(holder->getWorkDir().c_str()) != 0) {
        CPLOG(3, "The work folder %s cannot be made current again", holder->getWorkDir().c_str());
    }
}

void PageSetting::resetEmptyContentSizes()
{
    for (size_t i = 0; i < PARTITIONS; ++i) {
        if (GetDlgItemText(m_ids.content[i]).isEmpty()) {
            m_folderSectors[i] = 0;
        }
    }
}

int PageSetting::neededSectors() const { return m_encrypt != 0 ? m_loginCapacity : m_folderSectors[0]; }

void PageSetting::OnClickedConfirmPartition()
{
    m_totalSectors = editNumber(m_ids.capacity) * SECTORS_PER_MB;
    const int total = m_totalSectors;
    int count = selectedCount();
    auto& part = m_partSectors;
    for (size_t i = 0; i < PARTITIONS; ++i) {
        part[i] = editNumber(m_ids.partCapacity[i]) * SECTORS_PER_MB;
    }
    m_encrypt = isChecked(m_ids.encrypt) ? 1 : 0;
    const bool firstCdrom = m_kinds[0] == DISK_CDROM;

    if (firstCdrom && m_encrypt == 0) {
        if (GetDlgItemText(m_ids.content[0]).isEmpty() || part[0] == 0) {
            m_error = 1;
            mfc::AfxMessageBox(QString("%1 %2%3")
                                   .arg(MavikLang::text("Load the ISO file in"), MavikLang::text("Partition"))
                                   .arg(1));
            SetDlgItemText(m_ids.content[0], QString());
        }
        if (m_cdImageSectors > 0) {
            part[0] = m_cdImageSectors;
        }
        setMb(m_ids.partCapacity[0], part[0]);
    }

    if (count == 1) {
        // A disk of no known size (none plugged, none typed) leaves the
        // partition as it was set: saving then keeps the stored layout.
        if (!firstCdrom && total > 0) {
            part[0] = total;
            if (total < neededSectors()) {
                message("Partition Capacity Is Too Small!");
                return;
            }
        }
        part[1] = part[2] = 0;
        enablePartition(1, false);
    } else if (count == 2) {
        if (part[0] > 0 && part[0] < total && (part[1] != 0 || firstCdrom)) {
            part[1] = total - part[0];
        } else {
            part[0] = part[1] = total / 2;
        }
        part[2] = 0;
        enablePartition(1, true);
        enablePartition(2, false);
        if (part[0] <= 0 || part[1] <= 0) {
            sizeMessage("(partSectors[0] <= 0) || (partSectors[1] <= 0)");
        }
    } else {
        if (part[0] > 0 && part[0] < total && part[1] != 0 && (part[2] != 0 || firstCdrom)) {
            if (part[0] + part[1] == total) {
                part[1] = part[2] = (total - part[0]) / 2;
            } else if (part[0] + part[1] > total) {
                count = 2;
                selectCount(2);
                part[1] = total - part[0];
                part[2] = 0;
            } else {
                part[2] = total - part[0] - part[1];
            }
        } else {
            part[0] = part[1] = total / 3;
            part[2] = total - 2 * (total / 3);
        }
        if (part[0] < neededSectors()) {
            message("Partition Capacity Is Too Small!");
            return;
        }
        enablePartition(2, count == 3);
        if (part[0] <= 0 || part[1] <= 0 || (count == 3 && part[2] <= 0)) {
            sizeMessage("(partSectors[0] <= 0) || (partSectors[1] <= 0) || (partSectors[2] <= 0)");
        }
    }
    m_partCount = count;
    for (size_t i = 0; i < PARTITIONS; ++i) {
        setMb(m_ids.partCapacity[i], part[i]);
    }
    applyPasswordRule();
}

void PageSetting::commitPartInfo()
{
    Threads::Lock guard(*holder);
    m_runSettings->setCapacityPolicy(m_capacityPolicy);
    m_runSettings->setRealCapacity(editNumber(m_ids.capacity) * SECTORS_PER_MB);
    m_runSettings->setConfigCapacity(editNumber(FIXED_CAPACITY_EDIT) * SECTORS_PER_MB);
    m_runSettings->clearData();
    const int count = selectedCount();
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<size_t>(i);
        if (m_partSectors[at] <= 0) {
            break;
        }
        Sptr<schema::PartInfo> part(new schema::PartInfo(m_partSectors[at]));
        part->setPartitionIndex(i);
        part->setVolumeLabel(utils::toAnsi(GetDlgItemText(m_ids.volume[at])));
        part->setCopyPath(utils::toAnsi(GetDlgItemText(m_ids.content[at])));
        part->setIsEncrypted(m_encrypt != 0);
        part->setWriteProtected(isChecked(m_ids.writeProtect[at]));
        part->setDiskType(m_kinds[at]);
        part->setHide(i == 0 && isChecked(HIDDEN_BOX));
        part->setBootType(i == 0 ? m_bootType : 0);
        m_runSettings->addPartInfo(part);
    }
}

QGroupBox* PageSetting::createPartitionGroup(int index, bool volumeRules)
{
    const auto at = static_cast<size_t>(index);
    auto* group = new QGroupBox(MavikLang::text(QString("Partition%1").arg(index + 1)));
    auto* grid = new QGridLayout(group);
    auto* kinds = new QButtonGroup(group);
    auto* cdrom = new QRadioButton(MavikLang::text("CD-ROM"));
    auto* removable = new QRadioButton(MavikLang::text("Removable Disk"));
    auto* local = new QRadioButton(MavikLang::text("Local Disk"));
    for (QRadioButton* radio : {cdrom, removable, local}) {
        kinds->addButton(radio);
    }
    removable->setChecked(true);
    auto* protect = new QCheckBox(MavikLang::text("Write Protect"));
    auto* capacity = new QLineEdit;
    auto* volume = new QLineEdit;
    auto* content = new QLineEdit;
    auto* contentLabel = new QLabel(MavikLang::text("Directory:"));
    auto* browse = new QPushButton("...");
    auto* confirm = new QPushButton(MavikLang::text("Confirm"));
    grid->addWidget(new QLabel(MavikLang::text("Partition Type:")), 0, 0);
    grid->addWidget(cdrom, 0, 1);
    grid->addWidget(removable, 0, 2);
    grid->addWidget(local, 0, 3);
    grid->addWidget(protect, 0, 4);
    grid->addWidget(new QLabel(MavikLang::text("Capacity:")), 1, 0);
    grid->addWidget(capacity, 1, 1);
    grid->addWidget(new QLabel("MB"), 1, 2);
    grid->addWidget(new QLabel(MavikLang::text("Volume:")), 1, 3);
    grid->addWidget(volume, 1, 4);
    grid->addWidget(contentLabel, 2, 0);
    grid->addWidget(content, 2, 1, 1, 3);
    grid->addWidget(browse, 2, 4);
    grid->addWidget(confirm, 2, 5);
    addControl(m_ids.cdrom[at], cdrom);
    addControl(m_ids.removable[at], removable);
    addControl(m_ids.localDisk[at], local);
    addControl(m_ids.writeProtect[at], protect);
    addControl(m_ids.partCapacity[at], capacity);
    addControl(m_ids.volume[at], volume);
    addControl(m_ids.content[at], content);
    addControl(m_ids.contentLabel[at], contentLabel);
    addControl(m_ids.browse[at], browse);
    addControl(m_ids.confirm[at], confirm);
    QObject::connect(cdrom, &QRadioButton::clicked, this, [this, index] { OnClickedCdrom(index); });
    QObject::connect(removable, &QRadioButton::clicked, this, [this, index] { OnClickedRemovable(index); });
    QObject::connect(local, &QRadioButton::clicked, this, [this, index] { OnClickedLocalDisk(index); });
    QObject::connect(browse, &QPushButton::clicked, this, [this, index] { OnClickedBrowse(index); });
    QObject::connect(confirm, &QPushButton::clicked, this, [this] { OnClickedConfirmPartition(); });
    if (volumeRules) {
        QObject::connect(volume, &QLineEdit::textChanged, this, [this, index] { limitVolumeLabel(index); });
        QObject::connect(protect, &QCheckBox::clicked, this, [this] { OnClickedWriteProtect(); });
    }
    if (index == 0) {
        auto* encrypt = new QCheckBox(MavikLang::text("Encrypt"));
        grid->addWidget(encrypt, 0, 5);
        addControl(m_ids.encrypt, encrypt);
        QObject::connect(encrypt, &QCheckBox::clicked, this, [this] { OnClickedEncrypt(); });
    }
    return group;
}

QWidget* PageSetting::createPartitionControls(bool volumeRules)
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    auto* setting = new QGroupBox(MavikLang::text("Partition Setting"));
    auto* grid = new QGridLayout(setting);
    auto* capacity = new QLineEdit;
    auto* count = new QComboBox;
    auto* policy = new QComboBox;
    policy->addItems({MavikLang::text("Rational"), MavikLang::text("First Priority")});
    auto* boot = new QComboBox;
    auto* password = new QLineEdit;
    grid->addWidget(new QLabel(MavikLang::text("Capacity:")), 0, 0);
    grid->addWidget(capacity, 0, 1);
    grid->addWidget(new QLabel("MB"), 0, 2);
    grid->addWidget(new QLabel(MavikLang::text("Partition Count:")), 0, 3);
    grid->addWidget(count, 0, 4);
    grid->addWidget(policy, 0, 5);
    grid->addWidget(new QLabel(MavikLang::text("Boot Disk:")), 1, 0);
    grid->addWidget(boot, 1, 1);
    auto* passwordLabel = new QLabel(MavikLang::text("Default Password:"));
    grid->addWidget(passwordLabel, 1, 3);
    grid->addWidget(password, 1, 4);
    addControl(PASSWORD_LABEL, passwordLabel);
    addControl(m_ids.capacity, capacity);
    addControl(m_ids.count, count);
    addControl(m_ids.policy, policy);
    addControl(m_ids.bootDisk, boot);
    addControl(m_ids.password, password);
    QObject::connect(count, &QComboBox::activated, this, [this] { OnSelChangePartitionCount(); });
    QObject::connect(policy, &QComboBox::activated, this, [this] { OnSelChangeCapacityPolicy(); });
    QObject::connect(boot, &QComboBox::activated, this, [this] { OnSelChangeBootDisk(); });
    column->addWidget(setting);
    for (int i = 0; i < PARTITIONS; ++i) {
        column->addWidget(createPartitionGroup(i, volumeRules));
    }
    return panel;
}

}  // namespace Tessor::page
