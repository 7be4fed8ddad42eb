// The bounds a preview sets on a screen position of the photo frame.
#pragma once

#include <cstdint>

class QSpinBox;

namespace Tessor::page {

// Bounds the up-down `box` to 1..`maximum` and stores the position it then
// shows into `field`, the coordinate it edits: what the operator sees is
// what is saved.
void boundPosition(QSpinBox* box, int maximum, int32_t& field);

}  // namespace Tessor::page
