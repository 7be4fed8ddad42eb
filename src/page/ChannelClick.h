// Clicks on the channel of a one-disk page (user page, login page): a left
// click on the port button starts a waiting disk, a right click asks to
// eject it.
#pragma once

class QMouseEvent;
class QWidget;

namespace Tessor::page {

class MavikChan;

// The UI states in which a disk waits for a start: ready, stopped, failed, built.
bool startsOnClick(int state);

// True when the click, given in `page`'s coordinates, was on the channel.
bool clickChannel(MavikChan& channel, const QWidget& page, const QMouseEvent& event);

}  // namespace Tessor::page
