// CInfo: one logged QSO, as the acceptance rules store it and the score,
// the call check and the reports read it.
#pragma once
#include <cstdint>
#include <string>

#include "contest/datetime.h"

struct CInfo {
    std::string call;
    std::string prefix;
    std::string continent;
    std::string band;
    std::string mode;
    std::string rstReceived;
    std::string rstSent;
    std::string exchangeReceived;
    std::string exchangeSent;
    std::string area;  // normalised area code of an accepted Ukrainian QSO, else empty
    uint32_t frequencyKhz = 0;
    int32_t bandChangeIndex = 0;
    int32_t modeChangeIndex = 0;
    int32_t notCounted = 0;
    int32_t bandChanged = 0;
    int32_t modeChanged = 0;
    int32_t bad = 0;
    int32_t dupe = 0;
    DateTime time;
};
