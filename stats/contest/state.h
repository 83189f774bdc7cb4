// The contest state: the log, the lists derived from it, the operator's own station,
// the change watch and the flags shared with the operator windows. One object per
// loaded plug-in.
//
// Threads: the host's thread writes everything through the exports while holding
// `lock`; the window thread takes the same lock for every read of the log and the
// lists (or copies them under it). Single values the window thread reads or writes
// without the lock are atomics.
#pragma once
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "info.h"
#include "qso_index.h"
#include "tables.h"

using BandLists = std::array<std::vector<std::string>, kBandCount>;

struct ContestState {
    mutable std::mutex lock;

    std::vector<CInfo> qsoLog;
    QsoIndex index{qsoLog};  // kept in step with qsoLog
    std::vector<std::string> workedBands;
    std::array<std::array<std::string, 5>, kBandCount> infoGridRows{};
    BandLists dxccRtty, areaRtty, dxccBpsk, areaBpsk;

    std::string ownCall, ownPrefix, ownContinent;
    std::atomic<int> ownIsUkraine{0}, ownIsEurope{0}, russianTexts{0};
    int exportRequested = 0;

    std::string contestStartDayMonth, contestStartYear, contestEndDate;
    std::string hostVersion;
    std::string badQsoFileName;

    std::atomic<int> htmlOutput{0};
    std::atomic<int> changeWarning{0};
    std::atomic<int> lastChangeQsoIndex{0};
    std::atomic<int> lastBandChangeIndex{0};
    std::atomic<int> lastModeChangeIndex{0};
    std::atomic<int> changeUndone{0};
    std::atomic<int> logEmptied{0};
    std::atomic<int> refreshPending{1};
    std::atomic<int> areaHintEnabled{0};  // owned by the companion window's Hint option

    int claimedScore = 0;
    int badQsoCount = 0;

    // A copy of what the multiplier windows draw, taken under the lock.
    struct WorkedSnapshot {
        BandLists dxccRtty, areaRtty, dxccBpsk, areaBpsk;
        std::vector<CInfo> qsoLog;
    };
    WorkedSnapshot snapshot() const;
};
