// Stats.dll as the host sees it: loaded with LoadLibrary and bound by the plain export
// names, with the types of the declarations in exports.h. Short calls for the long
// parameter lists fill the arguments the plug-in ignores with nulls and zeros.
#pragma once
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "exports.h"
#include "win32_owners.h"

struct ExportName {
    const char* plain;
    const char* decorated;
};
// Both names of every export, from stats/exports.list.
extern const ExportName kExportNames[];
extern const int kExportNameCount;

// Binds `out` to the export `name` of `module`; false (with the name printed) when
// there is none.
template <typename F>
bool bindExport(HMODULE module, const char* name, F& out) {
    out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!out) std::printf("  FAILED: GetProcAddress(\"%s\") found nothing\n", name);
    return out != nullptr;
}

struct StatsLibrary {
    // Unloaded when the test ends, as the host unloads its plug-ins when it closes.
    win32::Module module;
    std::string path;
    decltype(&GetNumberOfSets) getNumberOfSets = nullptr;
    decltype(&GetSetName) getSetName = nullptr;
    decltype(&SetupSet0) setupSet = nullptr;
    decltype(&ResetStats0) resetStats = nullptr;
    decltype(&AddData0) addData = nullptr;
    decltype(&RemoveData0) removeData = nullptr;
    decltype(&setVersion) setVersion = nullptr;
    decltype(&GetResult0) getResult = nullptr;
    decltype(&CheckCallFunc0) checkCall = nullptr;
    decltype(&StatsGetExchgCount0) getExchgCount = nullptr;
    decltype(&StatsIsValidExchg0) isValidExchg = nullptr;

    // Loads the DLL and binds every plain name; false (with the reason printed) when
    // anything is missing.
    bool load(const std::string& path);

    // ResetStats0 with the arguments the plug-in reads.
    int reset(const char* hostFolder, int exportRequested, const char* ownCall, const OleDateTime* start,
              const OleDateTime* end, const char* ownPrefix, const char* ownContinent) const;

    struct Qso {
        const char* ownCall;
        const char* call;
        OleDateTime time;
        unsigned frequencyHz;
        const char* mode;
        const char* rstSent;
        const char* exchangeSent;
        const char* rstReceived;
        const char* exchangeReceived;
        const char* prefix;
        const char* continent;
        const char* band;
    };
    int add(const Qso& q) const;
};

// wt::run for a program of the exports: Stats.dll, the program's argument, is loaded and
// bound before the body runs; when it is not, that is the program's one failed check.
int runWithStats(unsigned seconds, int argc, char** argv, const std::function<void(StatsLibrary&)>& body);

// An OLE date-time: whole days since 30 December 1899 plus the time of day.
OleDateTime oleTime(double day, int hour, int minute);
// Day numbers used by the tests.
constexpr double kDec16_2017 = 43085.0;
constexpr double kDec17_2017 = 43086.0;
