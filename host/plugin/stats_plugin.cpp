#include "plugin/stats_plugin.h"

#ifdef _WIN32
#include <windows.h>

#include "win32_owners.h"
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <climits>
#include <vector>

namespace replay {

namespace {

template <typename Fn>
void bind(Fn& fn, void* address) {
    // Function and object pointers share a representation on every platform we build for.
    fn = reinterpret_cast<Fn>(reinterpret_cast<uintptr_t>(address));
}

#ifdef _WIN32
std::string lastErrorText() {
    DWORD code = GetLastError();
    win32::LocalMemory<char> text;
    // With ALLOCATE_BUFFER the buffer argument is where the address of the new text goes.
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<char*>(text.put()), 0, nullptr);
    std::string s = text ? text.get() : "error " + std::to_string(code);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}
#endif

}  // namespace

bool StatsPlugin::load(const std::string& path, std::string& error) {
#ifdef _WIN32
    // Unloaded again unless it turns out to be a usable plug-in.
    win32::Module module(LoadLibraryA(path.c_str()));
    if (!module) {
        error = "cannot load the plug-in '" + path + "': " + lastErrorText();
        return false;
    }
    handle_ = reinterpret_cast<void*>(module.get());
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = dlerror();
        error = "cannot load the plug-in '" + path + "': " + (why ? why : "unknown reason");
        return false;
    }
#endif
    bind(getNumberOfSets, symbol("GetNumberOfSets"));
    bind(getSetName, symbol("GetSetName"));
    bind(setVersion, symbol("setVersion"));
    bind(resetStats, symbol("ResetStats0"));
    bind(addData, symbol("AddData0"));
    bind(removeData, symbol("RemoveData0"));
    bind(getResult, symbol("GetResult0"));
    bind(checkCall, symbol("CheckCall0"));
    bind(getExchangeCount, symbol("GetExchgCount0"));
    bind(isValidExchange, symbol("IsValidExchg0"));
    std::string missing;
    if (!resetStats) missing += " ResetStats0";
    if (!addData) missing += " AddData0";
    if (!getResult) missing += " GetResult0";
    if (!missing.empty()) {
        error = "the plug-in '" + path + "' does not export:" + missing;
        unbind();
#ifndef _WIN32
        dlclose(handle_);
#endif
        handle_ = nullptr;
        return false;
    }
#ifdef _WIN32
    module.release();
#endif
    return true;
}

void StatsPlugin::unload() {
    if (!handle_) return;
    unbind();
#ifdef _WIN32
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
}

int StatsPlugin::reset(const std::string& hostFolder, bool exportRun, const std::string& ownCall,
                       const Timestamp& start, const Timestamp& end, const std::string& ownPrefix,
                       const std::string& ownContinent) const {
    const OleDateTime startDt{toOleDate(start), 0}, endDt{toOleDate(end), 0};
    return resetStats(hostFolder.c_str(), exportRun ? 1 : 0, ownCall.c_str(), &startDt, &endDt, "", "", "", "", "", "",
                      "", "", "", ownPrefix.c_str(), 0, 0, 0, 0.0, 0.0, "", ownContinent.c_str(), "");
}

namespace {
int callWithQso(AddData0Fn fn, const Qso& q, const std::string& ownCall, const std::string& prefix,
                const std::string& continent) {
    const OleDateTime when{toOleDate(q.time), 0}, none{0.0, 2};
    // The host's frequency argument is 32 bits wide: a value beyond it reaches the
    // plug-in as no frequency.
    const unsigned hz = q.frequencyHz <= 0xFFFFFFFFull ? unsigned(q.frequencyHz) : 0u;
    return fn(ownCall.c_str(), q.call.c_str(), &when, &none, &none, &none, 0, hz, q.mode.c_str(), q.rstSent.c_str(),
              q.rstReceived.c_str(), q.exchangeSent.c_str(), q.exchangeReceived.c_str(), "", "", "", "", "", "", "", "",
              "", prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", continent.c_str(), "", q.band.c_str(), "");
}
}  // namespace

int StatsPlugin::addQso(const Qso& q, const std::string& ownCall, const std::string& prefix,
                        const std::string& continent) const {
    return callWithQso(addData, q, ownCall, prefix, continent);
}

int StatsPlugin::removeQso(const Qso& q, const std::string& ownCall, const std::string& prefix,
                           const std::string& continent) const {
    return callWithQso(removeData, q, ownCall, prefix, continent);
}

int StatsPlugin::checkCallSign(const std::string& call, const std::string& band, const std::string& mode,
                               const std::string& prefix, const std::string& area, std::string& hint,
                               std::string& warning) const {
    // The host's buffers hold 100 bytes.
    char hintBuffer[100] = {}, warningBuffer[100] = {};
    const int answer =
        checkCall(call.c_str(), 0, 0, mode.c_str(), "", "", "", "", "", "", "", "", "", prefix.c_str(), 0, 0, 0, 0.0,
                  0.0, "", "", "", "", area.c_str(), band.c_str(), nullptr, hintBuffer, warningBuffer);
    hintBuffer[sizeof hintBuffer - 1] = warningBuffer[sizeof warningBuffer - 1] = '\0';
    hint = hintBuffer;
    warning = warningBuffer;
    return answer;
}

void StatsPlugin::unbind() {
    // Nothing may call into a library that is being unloaded.
    getNumberOfSets = nullptr;
    getSetName = nullptr;
    setVersion = nullptr;
    resetStats = nullptr;
    addData = nullptr;
    removeData = nullptr;
    getResult = nullptr;
    checkCall = nullptr;
    getExchangeCount = nullptr;
    isValidExchange = nullptr;
}

void* StatsPlugin::symbol(const char* name) const {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

std::string programDirectory() {
    std::string path;
#ifdef _WIN32
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), DWORD(buf.size()));
        if (n == 0) return ".";
        if (n < buf.size()) {
            path.assign(buf.data(), n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    size_t cut = path.find_last_of("\\/");
#else
    std::vector<char> buf(PATH_MAX);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return ".";
    path.assign(buf.data(), size_t(n));
    size_t cut = path.find_last_of('/');
#endif
    if (cut == std::string::npos) return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

const char* pluginFileName() {
#ifdef _WIN32
    return "Stats.dll";
#else
    return "libStats.so";
#endif
}

}  // namespace replay
