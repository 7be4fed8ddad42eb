#include "schema/dpf/DpfDataGroup.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"

namespace Tessor::schema {

DpfDataGroup::DpfDataGroup(const std::string& name, PHOTO_ADDRESS_T type) : BaseData(name), m_type(type) {}

int DpfDataGroup::init()
{
    m_totalSectors = 0;
    return 0;
}

int DpfDataGroup::addOneFile(const std::string& name, const std::string& path, int declaredSectors)
{
    Sptr<DpfDataFile> file(new DpfDataFile(name, path, declaredSectors));
    if (file->init() <= 0) {
        CPLOG(3, "%s file '%s' init failed", name.c_str(), path.c_str());
        return 0;
    }
    addData(file);
    m_totalSectors += declaredSectors;
    return 0;
}

Sptr<DpfDataFile> DpfDataGroup::getOneFile(int index)
{
    Sptr<BaseData> child = getData(index);
    if (!child) {
        return Sptr<DpfDataFile>();
    }
    Sptr<DpfDataFile> file = child;
    TESSOR_ASSERT(file);
    return file;
}

int DpfDataGroup::getStoredSectors()
{
    int sectors = 0;
    for (int i = 0; Sptr<DpfDataFile> file = getOneFile(i); ++i) {
        sectors += file->getSectorLength();
    }
    return sectors;
}

}  // namespace Tessor::schema
