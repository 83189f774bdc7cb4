#include "state.h"

ContestState::WorkedSnapshot ContestState::snapshot() const {
    std::lock_guard<std::mutex> guard(lock);
    return WorkedSnapshot{dxccRtty, areaRtty, dxccBpsk, areaBpsk, qsoLog};
}
