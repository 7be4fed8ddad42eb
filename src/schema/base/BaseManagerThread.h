// The thread of one manager. It holds the only counted reference to its
// manager, so the manager lives exactly as long as its thread.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/base/ThreadIf.h"

namespace Tessor::schema {

class BaseManager;

class BaseManagerThread : public ThreadIf {
public:
    explicit BaseManagerThread(BaseManager* manager);
    void thread() override;

private:
    Sptr<BaseManager> m_manager;
};

}  // namespace Tessor::schema
