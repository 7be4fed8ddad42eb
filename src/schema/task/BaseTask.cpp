#include "schema/task/BaseTask.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/data/BaseCmdData.h"
#include "schema/ops/BaseOperator.h"

namespace Tessor::schema {

BaseTask::BaseTask(TASK_TYPE_T type, const std::string& name) : ManagedObject(name), m_type(type) {}

BaseTask::BaseTask(const BaseTask& other) = default;

BaseTask& BaseTask::operator=(const BaseTask& other) = default;

BaseTask::~BaseTask() = default;

void BaseTask::updateProgressInfo(Sptr<BaseEvent> event, int amount)
{
    TESSOR_ASSERT(m_operator != nullptr);
    CPLOG(7, "Update Progress info in Task of %s in operator of %s", getName(), m_operator->getName());
    m_operator->updateProgressInfo(event, amount);
}

}  // namespace Tessor::schema
