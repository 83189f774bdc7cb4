// The cross-check of several stations' logs of one contest, as a contest sponsor's log
// checker makes it: a QSO between two stations whose logs are both given must be in
// both, on the same band and mode, at nearly the same time, each log holding the
// other's call and what the other sent.
//
// The two logs of such a QSO are paired first where both hold the other's call exactly,
// then where one of them holds a call one edit away (its busted call), always the pair
// closest in time first, each QSO in at most one pair. A QSO that names a given station
// exactly and finds no pair is not in the other log. A call one edit from a station's
// that finds no pair is left alone: it is most likely another station's.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log.h"

namespace replay {

struct StationLog {
    std::string call;  // the station's own call, in capitals
    const std::vector<Qso>* qsos = nullptr;
};

enum class Finding { none, notInOtherLog, bustedCall, bustedExchange };

constexpr size_t kNoQso = size_t(-1);

struct QsoCheck {
    bool checked = false;  // made with a station whose log is given (or paired with one)
    Finding finding = Finding::none;
    size_t otherLog = kNoQso;  // that station's log
    size_t otherQso = kNoQso;  // the same QSO there, when paired
};

// One entry per log, one per QSO of it, in the logs' order.
using CrossCheck = std::vector<std::vector<QsoCheck>>;

CrossCheck crossCheck(const std::vector<StationLog>& logs, int toleranceMinutes);

// Exchanges as the two logs write them: letters in any case, serial numbers with or
// without leading zeros ("067" is "0067").
bool sameExchange(std::string_view a, std::string_view b);

}  // namespace replay
