// The console's UI manager: prints every report of the devices on standard
// output, then lets the default handling answer it.
#pragma once

#include "schema/ui/UiInterfaceMgr.h"

class ConsoleUiMgr : public Tessor::schema::UiInterfaceMgr {
public:
    explicit ConsoleUiMgr(Tessor::schema::BaseManager* parent);

protected:
    void myProcessEvent(const Sptr<Tessor::schema::BaseEvent>& event) override;
};
