// The contest state: the log and what is derived from it, the operator's own station,
// the contest period, and the values shared with the operator windows. One object per
// loaded plug-in.
//
// Threads. The host's thread writes the state through the exports; the window thread
// reads it. Everything in ContestData is private to the state and reached only through
// lock(), which holds the state's mutex for as long as the returned handle lives (or
// through snapshot(), a copy taken under it). The few values the window thread reads
// or writes without the lock are the atomics of SharedFlags. Nobody holding the lock
// waits for the other thread.
#pragma once
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "contest/info.h"
#include "contest/qso_index.h"
#include "contest/qso_log.h"
#include "contest/tables.h"

using BandLists = std::array<std::vector<std::string>, kBandCount>;
// Six rows (band index) of a label and four cells.
using InfoGrid = std::array<std::array<std::string, 5>, kBandCount>;

struct OwnStation {
    std::string ownCall, ownPrefix, ownContinent;
    // HOST-QUIRK: a run sets these and none clears them while the plug-in stays loaded.
    bool ownIsUkraine = false, ownIsEurope = false, russianTexts = false;
};

struct ContestPeriod {
    std::string contestStartDayMonth;  // "%d.%m"
    std::string contestStartYear;      // "%Y"
    std::string contestEndDate;        // "%d.%m.%Y"
};

// Under the state's lock.
struct ContestData {
    ContestData() = default;
    ContestData(const ContestData&) = delete;
    ContestData& operator=(const ContestData&) = delete;

    QsoLog qsoLog;
    QsoIndex index{qsoLog};  // kept in step with qsoLog
    std::vector<std::string> workedBands;
    InfoGrid infoGridRows{};
    BandLists dxccRtty, areaRtty, dxccBpsk, areaBpsk;

    OwnStation own;
    ContestPeriod period;
    std::string hostVersion;
    std::string badQsoFileName;
    int exportRequested = 0;
    bool htmlOutput = false;
    int claimedScore = 0;
    int badQsoCount = 0;
};

// Shared between the host's thread and the window thread without the lock.
struct SharedFlags {
    std::atomic<bool> changeWarning{false};
    std::atomic<bool> refreshPending{true};
    std::atomic<bool> areaHintEnabled{false};  // the companion window's hint option
    std::atomic<bool> logEmptied{false};
    std::atomic<bool> changeUndone{false};
    std::atomic<int> lastChangeQsoIndex{0};
    std::atomic<int> lastBandChangeIndex{0};
    std::atomic<int> lastModeChangeIndex{0};
    // The operator windows while they exist (window handles), else null. Each is set by
    // the window thread and cleared by whoever closes the window.
    std::atomic<void*> companionWindow{nullptr};
    std::atomic<void*> dxccWindow{nullptr};
    std::atomic<void*> areaWindow{nullptr};
    std::atomic<void*> bandChangeWindow{nullptr};
};

class ContestState {
public:
    // The data with the lock held until this handle goes.
    template <typename Data>
    class Locked {
    public:
        Locked(std::mutex& m, Data& d) : guard_(m), data_(&d) {}
        Data* operator->() const { return data_; }
        Data& operator*() const { return *data_; }

    private:
        std::unique_lock<std::mutex> guard_;
        Data* data_;
    };

    Locked<ContestData> lock() { return Locked<ContestData>(mutex_, data_); }
    Locked<const ContestData> lock() const { return Locked<const ContestData>(mutex_, data_); }

    // What the multiplier windows and the watch draw, copied under the lock.
    struct Snapshot {
        BandLists dxccRtty, areaRtty, dxccBpsk, areaBpsk;
        InfoGrid infoGridRows;
        std::string contestStartYear;
        bool ownIsUkraine = false, russianTexts = false;
        size_t logSize = 0;
    };
    Snapshot snapshot() const;

    // Whether nobody holds the lock at this moment. Only meaningful when asked from a
    // thread that does not hold it; checks use it to show that no wait happens under it.
    bool lockIsFree() const {
        if (!mutex_.try_lock()) return false;
        mutex_.unlock();
        return true;
    }

    SharedFlags shared;

private:
    mutable std::mutex mutex_;
    ContestData data_;
};
