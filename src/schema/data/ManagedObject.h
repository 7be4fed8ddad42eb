// A named object that may hang under a manager.
#pragma once

#include <string>

namespace Tessor::schema {

class BaseManager;

class ManagedObject {
public:
    explicit ManagedObject(const std::string& name);
    ManagedObject(BaseManager* parent, const std::string& name);
    ManagedObject(const ManagedObject& other) = default;
    ManagedObject& operator=(const ManagedObject& other) = default;
    virtual ~ManagedObject();

    virtual void debug();

    const char* getName() const { return m_name.c_str(); }
    BaseManager* getParent() const { return m_parent; }

protected:
    std::string m_name;
    BaseManager* m_parent = nullptr;
};

}  // namespace Tessor::schema
