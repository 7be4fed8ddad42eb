#include "schema/data/ManagedObject.h"

namespace Tessor::schema {

ManagedObject::ManagedObject(const std::string& name) : m_name(name) {}

ManagedObject::ManagedObject(BaseManager* parent, const std::string& name)
    : m_name(name), m_parent(parent)
{
}

ManagedObject::~ManagedObject() = default;

void ManagedObject::debug() {}

}  // namespace Tessor::schema
