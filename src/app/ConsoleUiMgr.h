// The console's UI manager: prints every report of the devices on standard
// output with the texts a port's channel shows, then lets the default
// handling answer it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "schema/ui/UiInterfaceMgr.h"

namespace Tessor::schema {
class ConfigInfo;
class UiEvent;
}

class ConsoleUiMgr : public Tessor::schema::UiInterfaceMgr {
public:
    explicit ConsoleUiMgr(Tessor::schema::BaseManager* parent);

protected:
    void myProcessEvent(const Sptr<Tessor::schema::BaseEvent>& event) override;
    // The station's settings fitted to the ready device as the window fits
    // them, so one profile makes one device whichever front end runs.
    Sptr<Tessor::schema::ConfigInfo> runSettings(const Sptr<Tessor::schema::UiEvent>& ready) override;

private:
    // The channel text of `report`, empty for reports that show none.
    std::string channelText(const Sptr<Tessor::schema::UiEvent>& report);

    // When each port's device became ready: a build's time is counted from it.
    std::map<int, uint32_t> m_readyTick;
};
