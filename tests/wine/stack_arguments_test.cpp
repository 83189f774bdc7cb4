// The long exports of the built Stats.dll, bound by their plain names and called with
// the host's parameter lists and a value of its own in every position (see
// tests/host_calls/host_calls.h). Under the 32-bit loader every argument travels on the
// stack, as it does from the host.
//
//   stack_arguments_test.exe PATH\Stats.dll        (run in an empty working folder)
#include <windows.h>

#include "host_calls.h"
#include "stats_library.h"
#include "wine_test.h"

namespace {

// Bound by the types of the host's own declarations.
template <typename F>
bool bind(const StatsLibrary& lib, const char* name, F& out) {
    return wt::check(bindExport(lib.module.get(), name, out), std::string("GetProcAddress(\"") + name + "\")");
}

void report(const char* what, const hostcalls::Failures& failures) {
    wt::check(true, what);
    for (const std::string& f : failures) wt::check(false, std::string(what) + ": " + f);
}

}  // namespace

int main(int argc, char** argv) {
    return runWithStats(60, argc, argv, [](StatsLibrary& lib) {
        hostcalls::Exports e;
        bool bound = bind(lib, "ResetStats0", e.resetStats);
        bound &= bind(lib, "AddData0", e.addData);
        bound &= bind(lib, "RemoveData0", e.removeData);
        bound &= bind(lib, "CheckCall0", e.checkCall);
        bound &= bind(lib, "GetResult0", e.getResult);
        if (!bound) return;
        // One working folder for all: each check starts with a reset that rewrites the report.
        report("ResetStats0", hostcalls::resetArguments(e));
        report("AddData0", hostcalls::addDataArguments(e));
        report("RemoveData0", hostcalls::removeDataArguments(e));
        report("CheckCall0", hostcalls::checkCallArguments(e));
    });
}
