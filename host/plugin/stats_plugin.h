// The Stats plug-in as the host sees it: a library whose exports are bound by their
// plain names, called with the C calling convention.
#pragma once
#include <cstdint>
#include <string>

#include "logs/log.h"
#include "logs/timestamp.h"

#if defined(_WIN32) && !defined(_WIN64)
#define REPLAY_CDECL __cdecl
#else
#define REPLAY_CDECL
#endif

namespace replay {

// The host's date-time as the plug-in receives it: OLE Automation date plus status.
struct OleDateTime {
    double dt;
    int32_t status;  // 0 valid, 1 invalid, 2 null
};

using cstr = const char*;
using dtp = const OleDateTime*;

extern "C" {
typedef int(REPLAY_CDECL* GetNumberOfSetsFn)();
typedef cstr(REPLAY_CDECL* GetSetNameFn)(int set);
typedef unsigned long(REPLAY_CDECL* SetVersionFn)(cstr version);
typedef int(REPLAY_CDECL* ResetStats0Fn)(cstr hostFolder, int exportRequested, cstr ownCall, dtp start, dtp end, cstr,
                                         cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr,  // 6..14
                                         cstr ownPrefix, int, int, int, double, double, cstr, cstr ownContinent, cstr);
typedef int(REPLAY_CDECL* AddData0Fn)(cstr ownCall, cstr call, dtp time, dtp, dtp, dtp, unsigned, unsigned frequencyHz,
                                      cstr mode, cstr rstSent, cstr rstReceived, cstr exchangeSent,
                                      cstr exchangeReceived, cstr, cstr, cstr, cstr, cstr, cstr, cstr, cstr,
                                      cstr,  // 14..22
                                      cstr prefix, int, int, int, double, double, cstr, cstr continent, cstr, cstr band,
                                      cstr);
typedef cstr(REPLAY_CDECL* GetResult0Fn)(int* out);
typedef int(REPLAY_CDECL* CheckCall0Fn)(cstr call, unsigned, unsigned, cstr mode, cstr, cstr, cstr, cstr, cstr, cstr,
                                        cstr, cstr,  // 5..12
                                        cstr stationText, cstr prefix, int, int, int, double, double, cstr, cstr, cstr,
                                        cstr, cstr area, cstr band, cstr band2, char* hint, char* warning);
typedef int(REPLAY_CDECL* GetExchgCount0Fn)(cstr, cstr, cstr);
typedef int(REPLAY_CDECL* IsValidExchg0Fn)(cstr exch, cstr, cstr prefix, cstr, int, int, int);
}

class StatsPlugin {
public:
    StatsPlugin() = default;
    StatsPlugin(const StatsPlugin&) = delete;
    StatsPlugin& operator=(const StatsPlugin&) = delete;
    // The library stays loaded until the process ends: the plug-in may keep threads or
    // write its files from its own shutdown code.
    ~StatsPlugin() = default;

    // Loads the library and binds every export it has. False with a reason when the
    // library cannot be loaded or lacks ResetStats0, AddData0 or GetResult0; such a
    // library is unloaded again and nothing stays bound.
    bool load(const std::string& path, std::string& error);
    bool loaded() const { return handle_ != nullptr; }
    // Unloads the library now, as the host does when it closes; nothing stays bound.
    void unload();

    // The exports with the arguments the host fills for this plug-in; every other
    // argument is an empty text or zero, as from a logger that does not track it. The
    // export must be bound.
    int reset(const std::string& hostFolder, bool exportRun, const std::string& ownCall, const Timestamp& start,
              const Timestamp& end, const std::string& ownPrefix, const std::string& ownContinent) const;
    // AddData0 and RemoveData0 with one QSO; prefix and continent are the worked station's.
    int addQso(const Qso& q, const std::string& ownCall, const std::string& prefix, const std::string& continent) const;
    int removeQso(const Qso& q, const std::string& ownCall, const std::string& prefix,
                  const std::string& continent) const;
    // CheckCall0 for a call being typed, with the hint and warning it writes back. The
    // second band is null, as from a logger with one radio.
    int checkCallSign(const std::string& call, const std::string& band, const std::string& mode,
                      const std::string& prefix, const std::string& area, std::string& hint,
                      std::string& warning) const;

    GetNumberOfSetsFn getNumberOfSets = nullptr;
    GetSetNameFn getSetName = nullptr;
    SetVersionFn setVersion = nullptr;
    ResetStats0Fn resetStats = nullptr;
    AddData0Fn addData = nullptr;
    AddData0Fn removeData = nullptr;
    GetResult0Fn getResult = nullptr;
    CheckCall0Fn checkCall = nullptr;
    GetExchgCount0Fn getExchangeCount = nullptr;
    IsValidExchg0Fn isValidExchange = nullptr;

private:
    void* symbol(const char* name) const;
    void unbind();
    void* handle_ = nullptr;
};

// Folder of the running program, without a trailing separator.
std::string programDirectory();
// Library file name of the plug-in on this platform.
const char* pluginFileName();

}  // namespace replay
