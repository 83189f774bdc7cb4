// The one error policy of the exported boundary: nothing may be thrown across it. A call
// that fails gives the export's neutral result, and what was caught is recorded for
// whoever debugs the host (the host itself only sees results).
#pragma once
#include <exception>
#include <string>

#include "platform/seams.h"

template <typename R, typename F>
R guarded(Diagnostics& diagnostics, const char* where, R fallback, F f) noexcept {
    const auto record = [&](const char* what) noexcept {
        try {
            diagnostics.fault(std::string(where) + ": " + what);
        } catch (...) {
            // Out of memory while reporting: nothing more can be done without the host seeing it.
        }
    };
    try {
        return f();
    } catch (const std::exception& e) {
        record(e.what());
    } catch (...) {
        record("unknown exception");
    }
    return fallback;
}
