#include "shell/UiStateTable.h"

#include "schema/event/UiSignalType.h"
#include "shell/DeviceTexts.h"

namespace Tessor::shell {

using namespace schema;
using enum page::UiState;
using enum page::UserAction;

namespace {

struct Row {
    int state;
    int action;
    UiTransition transition;
};

// Eject while producing shows the port as unplugged at once.
const Row TABLE[] = {
    {UI_READY, ACTION_CLICK, {UI_PRODUCING, UI_SIG_START}},
    {UI_READY, ACTION_START, {UI_PRODUCING, UI_SIG_START}},
    {UI_READY, ACTION_EJECT, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_PRODUCING, ACTION_CLICK, {UI_STOPPED, UI_SIG_CANCEL}},
    {UI_PRODUCING, ACTION_STOP, {UI_STOPPED, UI_SIG_CANCEL}},
    {UI_PRODUCING, ACTION_EJECT, {UI_UNPLUGGED, UI_SIG_EJECT}},
    {UI_STOPPED, ACTION_CLICK, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_STOPPED, ACTION_START, {UI_PRODUCING, UI_SIG_START}},
    {UI_STOPPED, ACTION_EJECT, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_EJECTING, ACTION_CLICK, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_EJECTING, ACTION_EJECT, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_FAILED, ACTION_CLICK, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_FAILED, ACTION_START, {UI_PRODUCING, UI_SIG_START}},
    {UI_FAILED, ACTION_EJECT, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_BUILT, ACTION_CLICK, {UI_EJECTING, UI_SIG_EJECT}},
    {UI_BUILT, ACTION_START, {UI_PRODUCING, UI_SIG_START}},
    {UI_BUILT, ACTION_EJECT, {UI_EJECTING, UI_SIG_EJECT}},
};

}  // namespace

std::optional<UiTransition> uiTransition(int state, int action)
{
    for (const Row& row : TABLE) {
        if (row.state == state && row.action == action) {
            return row.transition;
        }
    }
    return std::nullopt;
}

}  // namespace Tessor::shell
