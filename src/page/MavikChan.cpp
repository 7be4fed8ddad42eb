#include "page/MavikChan.h"

namespace Tessor::page {

MavikChan::MavikChan() : progress(new UProgressInfoCtrl()) {}

MavikChan::~MavikChan() { delete progress.data(); }

}  // namespace Tessor::page
