#pragma once

#include <atomic>

namespace Tessor::schema {
class BaseManager;
}

namespace Tessor::interim {

// The UI manager that device reports go to, until the run agent holds it.
class RunAgent {
public:
    static schema::BaseManager* getUiMgr() { return uiMgr().load(); }
    static void setUiMgr(schema::BaseManager* manager) { uiMgr().store(manager); }

private:
    static std::atomic<schema::BaseManager*>& uiMgr()
    {
        static std::atomic<schema::BaseManager*> manager{nullptr};
        return manager;
    }
};

}  // namespace Tessor::interim
