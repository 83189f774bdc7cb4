// The cross-check of several stations' logs of one contest, as a contest sponsor's log
// checker makes it: a QSO between two stations whose logs are both given must be in
// both, on the same band and mode, at nearly the same time, each log holding the
// other's call and what the other sent.
//
// The two logs of such a QSO are paired first where both hold the other's call exactly,
// then where one of them holds a call one edit away from the other station's (its busted
// call), always the pair closest in time first, each QSO in at most one pair. A QSO that
// names a given station exactly and still finds no pair is not in the other log, unless
// it pairs as a busted call of a station near the call it names: a busted call may land
// on another station's exact call. A call one edit from a station's that finds no pair
// is left alone: it is most likely another station's.
//
// A station is its call without portable parts: 4Z5MY/P, DL/4Z5MY and 4Z5MY are one
// station for matching. QSOs meet through a hash map keyed by the two stations, the band
// and the mode, whose time-sorted lists are merged: the work grows with the QSOs, not
// with the square of the logs or of a pair's QSOs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log.h"

namespace replay {

struct StationLog {
    std::string call;  // the station's own call, in capitals
    const std::vector<Qso>* qsos = nullptr;
};

enum class Finding : uint8_t { none, notInOtherLog, bustedCall, bustedExchange };
// The finding in words, as the page and the per-station files say it ("" for none).
const char* findingText(Finding f);

constexpr uint32_t kNoQso = uint32_t(-1);

// 16 bytes: a contest's checker has a million of them.
struct QsoCheck {
    bool checked = false;  // made with a station whose log is given (or paired with one)
    Finding finding = Finding::none;
    uint32_t otherLog = kNoQso;  // that station's log
    uint32_t otherQso = kNoQso;  // the same QSO there, when paired
    // Not in the other log: the QSO there naming this station, unpaired, nearest in time.
    uint32_t nearestQso = kNoQso;
};

// One entry per log, one per QSO of it, in the logs' order.
using CrossCheck = std::vector<std::vector<QsoCheck>>;

CrossCheck crossCheck(const std::vector<StationLog>& logs, int toleranceMinutes);

// The station a call names: in capitals, without /P, /M, /QRP, /<digit> or a prefix
// ("DL/4Z5MY/P" is 4Z5MY).
std::string stationOf(std::string_view call);

// Exchanges as the two logs write them: letters in any case, serial numbers with or
// without leading zeros ("067" is "0067").
bool sameExchange(std::string_view a, std::string_view b);

// What the other log holds nearest to a QSO not in it: "9A1A logged UW1M 6 minutes later
// on 40m".
std::string describeNearest(const std::string& self, const Qso& mine, const std::string& other, const Qso& theirs);

}  // namespace replay
