// Faults the plug-in cannot report to the host (the host only sees results): a caught
// exception, a file that could not be written. For whoever debugs the host.
#pragma once
#include <exception>
#include <string>

class Diagnostics {
public:
    virtual ~Diagnostics() = default;
    virtual void fault(const std::string& what) = 0;
};

// The build's diagnostics (OutputDebugString on Windows, standard error headless), for
// code that has no platform at hand: window procedures and thread entries.
Diagnostics& defaultDiagnostics();

// Records the exception being handled, as "where: what". Call it only inside a catch
// block. Never throws: code that must not let anything leave (an export, a window
// procedure, a thread's entry) reports through it and goes on.
inline void reportCaught(Diagnostics& diagnostics, const char* where) noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            diagnostics.fault(std::string(where) + ": " + e.what());
        } catch (...) {
            diagnostics.fault(std::string(where) + ": unknown exception");
        }
    } catch (...) {
        // Out of memory while reporting: nothing more can be done without the host seeing it.
    }
}
