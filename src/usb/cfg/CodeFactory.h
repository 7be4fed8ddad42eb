// The firmware images of the run, read once at start-up, and the commands
// every device shares. Device threads read the maps while a production
// start may replace the external code, so every map access is locked.
#pragma once

#include <list>
#include <map>
#include <string>

#include "schema/base/Mutex.h"
#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cfg/CodeTypes.h"
#include "usb/cfg/ExternalCode.h"

namespace Tessor::usb {

class CodeFactory {
public:
    static constexpr int SCAN_CODE_FAILED = -4098;
    static constexpr int UDISK_CODE_FAILED = -4097;
    static constexpr int DPF_CODE_FAILED = -4099;

    // Builds the singleton (replacing an earlier one); 0 or the code of the
    // first image that failed, named in `cause`.
    [[nodiscard]] static int init(std::string* cause = nullptr);
    // Null before init.
    static CodeFactory* instance();
    // The common command of `key`; empty, and logged, while no factory is
    // loaded, so a device fails its download instead of the process.
    static Sptr<schema::BaseCmdData> commonCommand(CMD_COMMON_T key);
    // Sectors per piece of the controller variant.
    static int sectorsPerPiece();

    ~CodeFactory();

    Sptr<ExternalCode> getCode(CODE_TYPE_T type);
    Sptr<schema::BaseCmdData> getCommand(CMD_COMMON_T key);
    int getScanCodeLength() { return getCode(CODE_TYPE_SCAN)->getCodeLength(); }
    int getExternalCodeLength() { return getCode(CODE_TYPE_FLASH)->getCodeLength(); }
    int getDpfCodeLength() { return getCode(CODE_TYPE_DPF)->getCodeLength(); }
    // Reads the external-code file again; 0 or -4097.
    [[nodiscard]] int resetExtCode();

private:
    CodeFactory() = default;

    [[nodiscard]] int load(CODE_TYPE_T type, const std::list<std::string>* files, int sectors, int failure,
             std::string* cause = nullptr);
    Sptr<ExternalCode> find(CODE_TYPE_T type);
    void store(CMD_COMMON_T key, Sptr<schema::BaseCmdData> command);

    static CodeFactory* s_instance;
    static std::list<std::string>* s_extCodeList;

    Tessor::Threads::Mutex m_lock;
    std::map<CODE_TYPE_T, Sptr<ExternalCode>> m_codes;
    std::map<CMD_COMMON_T, Sptr<schema::BaseCmdData>> m_commands;
};

}  // namespace Tessor::usb
