// Where the plug-in works during a replay. The plug-in writes its report, the Cabrillo
// file and its settings into the host's current folder under fixed names, and a name
// already taken there (a stale "<call>.cbr.tmp" folder or link, a good Cabrillo file that
// an incomplete log must not replace) would decide what becomes of them. So it works in
// a fresh, empty folder inside the output folder, and the tool then moves each file it
// wrote into place by a rename: a file in the output folder is replaced whole or not at
// all, and the tool decides which.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace replay {

class Workspace {
public:
    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    ~Workspace();  // leaves the work folder and removes it

    // Creates the output folder (and its Plugins/, where it can) when missing, and the
    // work folder in it.
    bool create(const std::string& outDir, std::string& error);
    // Makes the work folder (or the output folder) the current folder.
    bool enter(std::string& error);
    void leave();

    const std::filesystem::path& outDir() const { return outDir_; }
    const std::filesystem::path& workDir() const { return workDir_; }

    // Plain files in the work folder and its Plugins/, as "name" and "Plugins/name".
    std::vector<std::string> files() const;

private:
    std::filesystem::path outDir_, workDir_;
    bool created_ = false;
};

// A private folder (made under an unguessable name, for the user alone) on a file system
// kept in memory, where the system has one that may hold libraries to load (Linux's
// /dev/shm); an empty path elsewhere. Removed with all it holds when it goes. For work
// whose files are of no use afterwards: there a flush to the disk costs nothing.
class MemoryFolder {
public:
    MemoryFolder();
    MemoryFolder(const MemoryFolder&) = delete;
    MemoryFolder& operator=(const MemoryFolder&) = delete;
    ~MemoryFolder();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Shown in messages: the path as given, "." for the current folder.
std::string displayPath(const std::filesystem::path& p);

}  // namespace replay
