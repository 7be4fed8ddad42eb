// The run settings the pages edit, the folder the tool was started in, and
// the commit of edited settings to the engine and the user profile.
//
// Pages and records keep the settings by Sptr: installing new settings
// never frees a copy that someone still holds.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "schema/base/Mutex.h"
#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::schema {
class UiInterfaceMgr;
}

namespace Tessor::page {

class MavikConfig : public Threads::Lockable {
public:
    explicit MavikConfig(schema::UiInterfaceMgr* uiMgr);

    // Installs a copy of `info`; the caller's object is never shared.
    void setConfigInfo(const Sptr<schema::ConfigInfo>& info);
    Sptr<schema::ConfigInfo> getConfigInfo() const;
    // Hands a copy of the held settings to the UI manager and writes the
    // user profile from it; 0.
    int commitConfigInfo();
    // The "UIConfig" lock the pages take around their edits of the settings.
    void lock() override;
    void unlock() override;

    // Leading partitions whose size is not 0.
    int getActivePartitions() const { return m_activePartitions; }
    // Host path of the start folder; empty when it could not be read.
    const std::string& getWorkDir() const { return m_workDir; }

    // Narrow fields of the held settings from and to the controls' texts.
    void toMultiByteString(const QString& newPassword);
    void toMultiByteStringProduct(const QString& product);
    void toMultiByteStringVendor(const QString& vendor);
    void toMultiByteStringSerialLabel(const QString& label);
    QString toWideString() const;
    // Volume label and copy path of partition `index`; none past the last.
    std::optional<QString> partInfoToWide(int index) const;
    std::optional<QString> partInfoCopyPathToWide(int index) const;

    bool manualSelection = false;
    bool dualChannel = false;
    int chipsPerDisk = 0;
    QString flashModel;
    Sptr<usb::FlashInfo> flashInfo;

private:
    mutable Threads::Mutex m_settingsMutex;
    Sptr<schema::ConfigInfo> m_settings;
    int m_activePartitions = 0;
    std::string m_workDir;
    Threads::Mutex m_lock;
    schema::UiInterfaceMgr* m_uiMgr;
};

}  // namespace Tessor::page
