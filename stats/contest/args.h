// What the host's calls carry into the contest engine, after the exported boundary has
// turned the host's raw arguments into values (null texts are empty), and what the
// call check answers.
#pragma once
#include <string>

#include "contest/datetime.h"

// A scoring run's start: the arguments of ResetStats0 that the plug-in uses.
struct ResetArgs {
    std::string hostFolder;  // searched for the host's own settings file; ends with a separator
    int exportRequested = 0;
    std::string ownCall;
    DateTime start, end;
    std::string ownPrefix, ownContinent;
};

// One QSO, as AddData0 and RemoveData0 pass it.
struct QsoArgs {
    std::string ownCall, call;
    DateTime time;
    unsigned frequencyHz = 0;
    std::string mode, rstSent, rstReceived, exchangeSent, exchangeReceived, prefix, continent, band;
};

// A call being typed, as CheckCallFunc0 passes it.
struct CallCheckArgs {
    std::string call, mode, stationText, prefix, area;
    const char* band = nullptr;   // may be null
    const char* band2 = nullptr;  // may be null
};

// The call check's result code and the texts it writes into the host's buffers; a
// buffer is written only when its flag says so.
struct CallCheckAnswer {
    int result = 0;  // 0 dupe, 1 no new multiplier, 2 new multiplier, 4 outside the contest
    bool warningWritten = false;
    std::string warning;
    bool hintWritten = false;
    std::string hint;
};
