#include "platform/Busy.h"

namespace VB {

namespace {
bool busy = false;
} // namespace

bool IsBusy() {
    return busy;
}

BusyScope::BusyScope() : acquired_(!busy) {
    busy = true;
}

BusyScope::~BusyScope() {
    if (acquired_)
        busy = false;
}

} // namespace VB
