#include "stats_library.h"

#include <cstdio>

const ExportName kExportNames[] = {
#include "export_names.inc"
};
const int kExportNameCount = static_cast<int>(sizeof kExportNames / sizeof kExportNames[0]);

namespace {
template <typename F>
bool bind(const win32::Module& module, const char* name, F& out) {
    out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
    if (!out) std::printf("  FAILED: GetProcAddress(\"%s\") found nothing\n", name);
    return out != nullptr;
}
}  // namespace

bool StatsLibrary::load(const std::string& path) {
    module.reset(LoadLibraryA(path.c_str()));
    if (!module) {
        std::printf("  FAILED: LoadLibrary(\"%s\"): error %lu\n", path.c_str(), GetLastError());
        return false;
    }
    bool ok = true;
    ok &= bind(module, "GetNumberOfSets", getNumberOfSets);
    ok &= bind(module, "GetSetName", getSetName);
    ok &= bind(module, "SetupSet0", setupSet);
    ok &= bind(module, "ResetStats0", resetStats);
    ok &= bind(module, "AddData0", addData);
    ok &= bind(module, "RemoveData0", removeData);
    ok &= bind(module, "setVersion", setVersion);
    ok &= bind(module, "GetResult0", getResult);
    ok &= bind(module, "CheckCall0", checkCall);
    ok &= bind(module, "GetExchgCount0", getExchgCount);
    ok &= bind(module, "IsValidExchg0", isValidExchg);
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

OleDateTime oleTime(double day, int hour, int minute) { return OleDateTime{day + (hour * 60 + minute) / 1440.0, 0}; }
