// The long exports of the built Stats.dll, bound by their plain names and called with
// the host's parameter lists and a value of its own in every position (see
// tests/host_calls/host_calls.h). Under the 32-bit loader every argument travels on the
// stack, as it does from the host.
//
//   stack_arguments_test.exe PATH\Stats.dll        (run in an empty working folder)
#include <windows.h>

#include "host_calls.h"
#include "wine_test.h"

namespace {

template <typename F>
bool bind(HMODULE module, const char* name, F& out) {
    out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return wt::check(out != nullptr, std::string("GetProcAddress(\"") + name + "\")");
}

void report(const char* what, const hostcalls::Failures& failures) {
    wt::check(true, what);
    for (const std::string& f : failures) wt::check(false, std::string(what) + ": " + f);
}

}  // namespace

int main(int argc, char** argv) {
    wt::startWatchdog(60);
    if (argc < 2) {
        std::printf("usage: stack_arguments_test PATH\\Stats.dll\n");
        return 2;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    if (!wt::check(module != nullptr, "Stats.dll loads")) return wt::finish("stack_arguments_test");
    hostcalls::Exports e;
    bool bound = bind(module, "ResetStats0", e.resetStats);
    bound &= bind(module, "AddData0", e.addData);
    bound &= bind(module, "RemoveData0", e.removeData);
    bound &= bind(module, "CheckCall0", e.checkCall);
    bound &= bind(module, "GetResult0", e.getResult);
    if (bound) {
        // One working folder for all: each check starts with a reset that rewrites the report.
        report("ResetStats0", hostcalls::resetArguments(e));
        report("AddData0", hostcalls::addDataArguments(e));
        report("RemoveData0", hostcalls::removeDataArguments(e));
        report("CheckCall0", hostcalls::checkCallArguments(e));
    }
    // The library stays loaded until the process ends, as in the host.
    return wt::finish("stack_arguments_test");
}
