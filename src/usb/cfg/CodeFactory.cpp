#include "usb/cfg/CodeFactory.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CmdExternalCode.h"

namespace Tessor::usb {

CodeFactory* CodeFactory::s_instance = nullptr;
std::list<std::string>* CodeFactory::s_extCodeList = nullptr;

namespace {

const char* const kExternalCodeFile = "./releases/code/VOR_MP3_Code.img";
const char* const kLabels[] = {"        Scan Code : ", "        UDisk Code to RAM: ",
                               "        UDisk Code to RAM for High Format: ", "        UDisk Code to Flash: ",
                               "        DPF Code: "};
constexpr int kDpfSectorsPerPiece = 8;

}  // namespace

int CodeFactory::sectorsPerPiece()
{
    switch (schema::UsbConfiguration::instance()->getChipSet()) {
    case schema::CHIPSET_6706:
        return 5;
    case schema::CHIPSET_6605:
        return 32;
    default:
        return 8;
    }
}

int CodeFactory::init(std::string* cause)
{
    delete s_instance;
    s_extCodeList = new std::list<std::string>{kExternalCodeFile};
    s_instance = new CodeFactory();
    CodeFactory& f = *s_instance;
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    const int sectors = sectorsPerPiece();
    const int chipSet = config->getChipSet();
    const struct {
        CODE_TYPE_T type;
        const std::list<std::string>* files;
        int failure;
    } images[] = {{CODE_TYPE_SCAN, config->getScanCodeList(chipSet), SCAN_CODE_FAILED},
                  {CODE_TYPE_RAM, config->getUdiskCodeList(chipSet), UDISK_CODE_FAILED},
                  {CODE_TYPE_RAM_HIGH_FORMAT, s_extCodeList, UDISK_CODE_FAILED},
                  {CODE_TYPE_FLASH, s_extCodeList, UDISK_CODE_FAILED}};
    for (const auto& image : images) {
        const int r = f.load(image.type, image.files, sectors, image.failure, cause);
        if (r != 0) {
            return r;
        }
    }
    const int r = f.load(CODE_TYPE_DPF, config->getDpfCodeList(schema::CHIPSET_6716V31), kDpfSectorsPerPiece,
                         DPF_CODE_FAILED, cause);
    if (r != 0) {
        return r;
    }
    f.store(CMD_SCAN_CODE, Sptr<schema::BaseCmdData>(new CmdExternalCode("ScanCode", CODE_TYPE_SCAN)));
    f.store(CMD_EXTERNAL_AS_SCAN_CODE,
            Sptr<schema::BaseCmdData>(new CmdExternalCode("ExternalAsScanCode", CODE_TYPE_RAM)));
    f.store(CMD_EXTERNAL_4_HIGH_FORMAT,
            Sptr<schema::BaseCmdData>(new CmdExternalCode("External4HighFormat", CODE_TYPE_RAM_HIGH_FORMAT)));
    f.store(CMD_DEFAULT_CFG_TABLE, Sptr<schema::BaseCmdData>(new CfgTable(nullptr, "DefaultCfgTable", CFG_TABLE_DEFAULT)));
    return 0;
}

CodeFactory* CodeFactory::instance() { return s_instance; }

Sptr<schema::BaseCmdData> CodeFactory::commonCommand(CMD_COMMON_T key)
{
    if (s_instance == nullptr) {
        CPLOG(3, "No firmware image is loaded: command of type %d is not there", key);
        return Sptr<schema::BaseCmdData>();
    }
    return s_instance->getCommand(key);
}

CodeFactory::~CodeFactory()
{
    delete s_extCodeList;
    s_extCodeList = nullptr;
    if (s_instance == this) {
        s_instance = nullptr;
    }
}

int CodeFactory::load(CODE_TYPE_T type, const std::list<std::string>* files, int sectors, int failure,
                      std::string* cause)
{
    CPLOG(7, "%s", kLabels[type]);
    Sptr<ExternalCode> code(new ExternalCode(type, files, sectors));
    if (code->init() != 0) {
        if (cause != nullptr) {
            *cause = "firmware image '" + code->failedFile() + "' cannot be read";
        }
        if (type == CODE_TYPE_DPF) {
            CPLOG(4, "Read DPF External Code fail");
        }
        return failure;
    }
    Tessor::Threads::Lock guard(m_lock);
    m_codes[type] = code;
    return 0;
}

Sptr<ExternalCode> CodeFactory::find(CODE_TYPE_T type)
{
    Tessor::Threads::Lock guard(m_lock);
    auto it = m_codes.find(type);
    return it == m_codes.end() ? Sptr<ExternalCode>() : it->second;
}

void CodeFactory::store(CMD_COMMON_T key, Sptr<schema::BaseCmdData> command)
{
    Tessor::Threads::Lock guard(m_lock);
    m_commands[key] = command;
}

Sptr<ExternalCode> CodeFactory::getCode(CODE_TYPE_T type)
{
    if (!find(type) && type == CODE_TYPE_DPF) {
        // A missing image is logged and asserted below.
        (void)load(CODE_TYPE_DPF, schema::UsbConfiguration::instance()->getDpfCodeList(schema::CHIPSET_6716V31),
             kDpfSectorsPerPiece, DPF_CODE_FAILED);
    }
    Sptr<ExternalCode> code = find(type);
    TESSOR_ASSERT(code);
    return code;
}

Sptr<schema::BaseCmdData> CodeFactory::getCommand(CMD_COMMON_T key)
{
    Tessor::Threads::Lock guard(m_lock);
    auto it = m_commands.find(key);
    TESSOR_ASSERT(it != m_commands.end());
    CPLOG(7, "get command of type %d", key);
    return it->second;
}

int CodeFactory::resetExtCode()
{
    const int sectors = sectorsPerPiece();
    if (load(CODE_TYPE_FLASH, s_extCodeList, sectors, UDISK_CODE_FAILED) != 0 ||
        load(CODE_TYPE_RAM_HIGH_FORMAT, s_extCodeList, sectors, UDISK_CODE_FAILED) != 0) {
        return UDISK_CODE_FAILED;
    }
    store(CMD_EXTERNAL_4_HIGH_FORMAT,
          Sptr<schema::BaseCmdData>(new CmdExternalCode("External4HighFormat", CODE_TYPE_RAM_HIGH_FORMAT)));
    return 0;
}

}  // namespace Tessor::usb
