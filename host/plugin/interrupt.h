// An interrupted run (SIGINT or SIGTERM; on Windows Ctrl+C, Ctrl+Break or the console
// closing) leaves nothing of its own behind and keeps every file that was there: the
// work folders registered here (with the plug-in's copies and files in them) are
// removed, a file being put in place is finished first (it is written whole or not at
// all), and the process ends with 128 + the signal's number: 130 for SIGINT, 143 for
// SIGTERM.
#pragma once
#include <filesystem>
#include <mutex>

namespace replay {

// Once, from main, before any thread or work folder is made: the signals are then
// taken by a thread of their own, never in the middle of the plug-in's code.
void handleInterrupts();

// A folder to remove if the run is interrupted, and no longer; one made only to hold
// what the run writes (the output folder, its Plugins/) is removed only when empty.
// The latest registered goes first.
void removeOnInterrupt(const std::filesystem::path& folder, bool onlyWhenEmpty = false);
void keepOnInterrupt(const std::filesystem::path& folder);

// While one lives, an interrupt waits: what is being written into place is finished.
class InterruptsWait {
public:
    InterruptsWait();

private:
    std::lock_guard<std::mutex> hold_;
};

}  // namespace replay
