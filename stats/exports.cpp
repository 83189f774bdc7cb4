// The exported boundary the host binds by name. Each export converts the host's
// arguments (a null text is empty, a null date-time is null, buffers get at most 99
// characters and a terminator), calls the plug-in and never lets anything escape:
// whatever is thrown is recorded for whoever debugs the host, and the host gets the
// export's neutral result.
#include "exports.h"

#include <cstring>
#include <exception>
#include <string>

#include "contest/exchange.h"
#include "export_guard.h"
#include "plugin.h"

namespace {

std::string text(const char* s) { return s ? std::string(s) : std::string(); }

void copyToHostBuffer(char* buffer, const std::string& value) {
    if (!buffer) return;
    const size_t n = value.size() < 99 ? value.size() : 99;
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
}

QsoArgs qsoArgs(const char* ownCall, const char* call, const OleDateTime* time, unsigned frequencyHz, const char* mode,
                const char* rstSent, const char* rstReceived, const char* exchangeSent, const char* exchangeReceived,
                const char* prefix, const char* continent, const char* band) {
    QsoArgs a;
    a.ownCall = text(ownCall);
    a.call = text(call);
    a.time = DateTime::fromHost(time);
    a.frequencyHz = frequencyHz;
    a.mode = text(mode);
    a.rstSent = text(rstSent);
    a.rstReceived = text(rstReceived);
    a.exchangeSent = text(exchangeSent);
    a.exchangeReceived = text(exchangeReceived);
    a.prefix = text(prefix);
    a.continent = text(continent);
    a.band = text(band);
    return a;
}

// Every export runs inside this, with the platform's diagnostics.
template <typename R, typename F>
R guarded(const char* where, R fallback, F f) {
    return guarded(defaultPlatform().diagnostics, where, fallback, f);
}

}  // namespace

STATS_EXPORT int GetNumberOfSets() {
    return guarded("GetNumberOfSets", 1, [] { return 1; });
}

STATS_EXPORT const char* GetSetName(int set) {
    return guarded("GetSetName", "", [set] { return set == 0 ? "TALVEN-CUP" : ""; });
}

STATS_EXPORT void SetupSet0() {
    guarded("SetupSet0", 0, [] {
        defaultPlatform().notifier.show("No additional setup for this contest", "", Notifier::Icon::none);
        return 0;
    });
}

STATS_EXPORT int ResetStats0(const char* hostFolder, int exportRequested, const char* ownCall, const OleDateTime* start,
                             const OleDateTime* end, const char*, const char*, const char*, const char*, const char*,
                             const char*, const char*, const char*, const char*, const char* ownPrefix, int, int, int,
                             double, double, const char*, const char* ownContinent, const char*) {
    return guarded("ResetStats0", 1, [&] {
        ResetArgs a;
        a.hostFolder = text(hostFolder);
        a.exportRequested = exportRequested;
        a.ownCall = text(ownCall);
        a.start = DateTime::fromHost(start);
        a.end = DateTime::fromHost(end);
        a.ownPrefix = text(ownPrefix);
        a.ownContinent = text(ownContinent);
        thePlugin().resetStats(a);
        return 1;
    });
}

STATS_EXPORT int AddData0(const char* ownCall, const char* call, const OleDateTime* time, const OleDateTime*,
                          const OleDateTime*, const OleDateTime*, unsigned, unsigned frequencyHz, const char* mode,
                          const char* rstSent, const char* rstReceived, const char* exchangeSent,
                          const char* exchangeReceived, const char*, const char*, const char*, const char*, const char*,
                          const char*, const char*, const char*, const char*, const char* prefix, int, int, int, double,
                          double, const char*, const char* continent, const char*, const char* band, const char*) {
    return guarded("AddData0", 0, [&] {
        return thePlugin().addData(qsoArgs(ownCall, call, time, frequencyHz, mode, rstSent, rstReceived, exchangeSent,
                                           exchangeReceived, prefix, continent, band))
                   ? 1
                   : 0;
    });
}

STATS_EXPORT int RemoveData0(const char* ownCall, const char* call, const OleDateTime* time, const OleDateTime*,
                             const OleDateTime*, const OleDateTime*, unsigned, unsigned frequencyHz, const char* mode,
                             const char* rstSent, const char* rstReceived, const char* exchangeSent,
                             const char* exchangeReceived, const char*, const char*, const char*, const char*,
                             const char*, const char*, const char*, const char*, const char*, const char* prefix, int,
                             int, int, double, double, const char*, const char* continent, const char*,
                             const char* band, const char*) {
    return guarded("RemoveData0", 1, [&] {
        thePlugin().removeData(qsoArgs(ownCall, call, time, frequencyHz, mode, rstSent, rstReceived, exchangeSent,
                                       exchangeReceived, prefix, continent, band));
        return 1;
    });
}

// The version text itself is not used: any host that announces itself reads HTML.
STATS_EXPORT unsigned long setVersion(const char*) {
    return guarded("setVersion", 0UL, [] {
        thePlugin().setHtml();
        return 0UL;
    });
}

STATS_EXPORT const char* GetResult0(int* out) {
    const char* result = guarded("GetResult0", "", [] { return thePlugin().getResult().c_str(); });
    // HOST-QUIRK: the score reaches the host only in the text.
    if (out) *out = -1;
    return result;
}

STATS_EXPORT int CheckCallFunc0(const char* call, unsigned, unsigned, const char* mode, const char*, const char*,
                                const char*, const char*, const char*, const char*, const char*, const char*,
                                const char* stationText, const char* prefix, int, int, int, double, double, const char*,
                                const char*, const char*, const char*, const char* area, const char* band,
                                const char* band2, char* hintBuffer, char* warningBuffer) {
    return guarded("CheckCallFunc0", 4, [&] {
        CallCheckArgs a;
        a.call = text(call);
        a.mode = text(mode);
        a.stationText = text(stationText);
        a.prefix = text(prefix);
        a.area = text(area);
        a.band = band;
        a.band2 = band2;
        const CallCheckAnswer ans = thePlugin().checkCall(a);
        if (ans.warningWritten) copyToHostBuffer(warningBuffer, ans.warning);
        if (ans.hintWritten) copyToHostBuffer(hintBuffer, ans.hint);
        return ans.result;
    });
}

STATS_EXPORT int StatsGetExchgCount0(const char*, const char*, const char*) {
    return guarded("StatsGetExchgCount0", 1, [] { return exchangeFieldCount(); });
}

STATS_EXPORT int StatsIsValidExchg0(const char* exchange, const char*, const char* prefix, const char*, int, int, int) {
    return guarded("StatsIsValidExchg0", 0, [&] { return isValidExchange(text(exchange), text(prefix)) ? 1 : 0; });
}
