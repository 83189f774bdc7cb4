// The one error policy of the exported boundary: nothing may be thrown across it. A call
// that fails gives the export's neutral result, and what was caught is recorded for
// whoever debugs the host (the host itself only sees results).
#pragma once
#include "platform/seams.h"

template <typename R, typename F>
R guarded(Diagnostics& diagnostics, const char* where, R fallback, F f) noexcept {
    try {
        return f();
    } catch (...) {
        reportCaught(diagnostics, where);
    }
    return fallback;
}
