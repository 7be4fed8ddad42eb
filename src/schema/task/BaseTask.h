// One unit of work on one device, run by its operator on the device's
// thread. startup: 0 goes on with the next task, a positive value ends the
// list, a negative value ends it as a failure (the error code is then in the
// event).
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/ManagedObject.h"
#include "schema/event/BaseEvent.h"

namespace Tessor::schema {

class BaseCmdData;
class BaseData;
class BaseOperator;
class UsbDevice;

enum TASK_TYPE_T {
    TASK_READ_VERSION = 0,
    TASK_READ_FLASH_ID = 1,
    TASK_SCAN_CODE_DOWNLOAD = 2,
    TASK_LF_CODE_DOWNLOAD = 3,
    TASK_HF_CODE_DOWNLOAD = 4,
    TASK_CFG_TABLE_TO_RAM = 7,
    TASK_UPDATE_SETTING = 8,
    TASK_CFG_TABLE_DOWNLOAD = 9,
    TASK_SCAN_SPEED = 12,
    TASK_PRE_SCAN = 13,
    TASK_SCAN = 14,
    TASK_WRITE_BITMAP = 15,
    TASK_ALLOCATE_DPF = 16,
    TASK_CREATE_SET_LIST = 17,
    TASK_VALIDATE_DATA = 18,
    TASK_TEST_UDISK = 20,
    TASK_FORMAT_ALL = 21,
};

class BaseTask : public ManagedObject {
public:
    BaseTask(TASK_TYPE_T type, const std::string& name);
    BaseTask(const BaseTask& other);
    BaseTask& operator=(const BaseTask& other);
    ~BaseTask() override;

    virtual int addParams(Sptr<BaseData> /*params*/) { return 0; }
    [[nodiscard]] virtual int startup(UsbDevice* device, Sptr<BaseEvent> event) = 0;
    // The class's check of its kind.
    virtual int init() = 0;

    void setOperator(BaseOperator* op) { m_operator = op; }
    TASK_TYPE_T getType() const { return m_type; }
    // Reports `amount` percent through the operator that runs this task.
    void updateProgressInfo(Sptr<BaseEvent> event, int amount);

protected:
    Sptr<BaseCmdData> m_cmdData;

private:
    TASK_TYPE_T m_type;
    BaseOperator* m_operator = nullptr;
};

}  // namespace Tessor::schema
