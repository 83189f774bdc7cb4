#include "stats_library.h"

#include <cstdio>

#include "wine_test.h"

const ExportName kExportNames[] = {
#include "export_names.inc"
};
const int kExportNameCount = static_cast<int>(sizeof kExportNames / sizeof kExportNames[0]);

bool StatsLibrary::load(const std::string& path) {
    this->path = path;
    module.reset(LoadLibraryA(path.c_str()));
    if (!module) {
        std::printf("  FAILED: LoadLibrary(\"%s\"): error %lu\n", path.c_str(), GetLastError());
        return false;
    }
    bool ok = true;
    ok &= bindExport(module.get(), "GetNumberOfSets", getNumberOfSets);
    ok &= bindExport(module.get(), "GetSetName", getSetName);
    ok &= bindExport(module.get(), "SetupSet0", setupSet);
    ok &= bindExport(module.get(), "ResetStats0", resetStats);
    ok &= bindExport(module.get(), "AddData0", addData);
    ok &= bindExport(module.get(), "RemoveData0", removeData);
    ok &= bindExport(module.get(), "setVersion", setVersion);
    ok &= bindExport(module.get(), "GetResult0", getResult);
    ok &= bindExport(module.get(), "CheckCall0", checkCall);
    ok &= bindExport(module.get(), "GetExchgCount0", getExchgCount);
    ok &= bindExport(module.get(), "IsValidExchg0", isValidExchg);
    std::fflush(stdout);
    return ok;
}

int StatsLibrary::reset(const char* hostFolder, int exportRequested, const char* ownCall, const OleDateTime* start,
                        const OleDateTime* end, const char* ownPrefix, const char* ownContinent) const {
    return resetStats(hostFolder, exportRequested, ownCall, start, end, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr, nullptr, nullptr, nullptr, ownPrefix, 0, 0, 0, 0.0, 0.0, nullptr, ownContinent, nullptr);
}

int StatsLibrary::add(const Qso& q) const {
    return addData(q.ownCall, q.call, &q.time, nullptr, nullptr, nullptr, 0, q.frequencyHz, q.mode, q.rstSent,
                   q.rstReceived, q.exchangeSent, q.exchangeReceived, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr, q.prefix, 0, 0, 0, 0.0, 0.0, nullptr, q.continent, nullptr,
                   q.band, nullptr);
}

int runWithStats(unsigned seconds, int argc, char** argv, const std::function<void(StatsLibrary&)>& body) {
    return wt::run(seconds, argc, argv, [&](const std::string& dll) {
        StatsLibrary lib;
        if (wt::check(lib.load(dll), "Stats.dll loads and binds by the plain names")) body(lib);
    });
}

OleDateTime oleTime(double day, int hour, int minute) { return OleDateTime{day + (hour * 60 + minute) / 1440.0, 0}; }
