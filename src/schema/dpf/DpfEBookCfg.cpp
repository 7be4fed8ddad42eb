#include "schema/dpf/DpfEBookCfg.h"

#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

int DpfEBookCfg::init()
{
    MaxBookCount = 0;
    SelectedBookId = 0;
    CursorOffset = 0;
    return 0;
}

void DpfEBookCfg::debug()
{
    SystemInfo::debug("\tEBook Config Info : \n");
    SystemInfo::debug("\t\tMaxBookCount : %d\t SelectedBookId : %d\tCursorOffset : %d\n", MaxBookCount, SelectedBookId,
                      CursorOffset);
}

}  // namespace Tessor::schema
