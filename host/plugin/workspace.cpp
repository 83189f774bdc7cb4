#include "plugin/workspace.h"

#include <cstdio>
#include <system_error>

#include "plugin/interrupt.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace replay {

namespace fs = std::filesystem;

Workspace::~Workspace() {
    if (!created_) return;
    leave();
    std::error_code ec;
    fs::remove_all(workDir_, ec);
    keepOnInterrupt(workDir_);
}

bool Workspace::create(const std::string& outDir, std::string& error) {
    std::error_code ec;
    outDir_ = fs::absolute(fs::u8path(outDir.empty() ? "." : outDir), ec);
    if (ec) {
        error = "cannot use the output folder '" + outDir + "': " + ec.message();
        return false;
    }
    if (!fs::is_directory(outDir_, ec)) {
        fs::create_directories(outDir_, ec);
        if (!ec) removeOnInterrupt(outDir_, true);
        if (ec) {
            error = "cannot create the output folder '" + outDir + "': " + ec.message();
            return false;
        }
    }
    // Without it the settings file cannot be put in place afterwards, which is reported
    // then; the run itself needs only the work folder.
    if (!fs::is_directory(outDir_ / "Plugins", ec) && fs::create_directory(outDir_ / "Plugins", ec))
        removeOnInterrupt(outDir_ / "Plugins", true);
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    for (int n = 0; n < 100; ++n) {
        fs::path candidate = outDir_ / (".talven-replay-" + std::to_string(pid) + "-" + std::to_string(n));
        if (fs::create_directory(candidate, ec)) {
            workDir_ = candidate;
            created_ = true;
            removeOnInterrupt(workDir_);
            break;
        }
        if (ec) break;  // not "it exists": no use trying other names
    }
    if (!created_) {
        error = "cannot create a work folder in the output folder '" + outDir + "'" + (ec ? ": " + ec.message() : "");
        return false;
    }
    fs::create_directory(workDir_ / "Plugins", ec);
    if (ec) {
        error = "cannot create a work folder in the output folder '" + outDir + "': " + ec.message();
        return false;
    }
    return true;
}

bool Workspace::enter(std::string& error) {
    std::error_code ec;
    fs::current_path(workDir_, ec);
    if (ec) error = "cannot work in '" + workDir_.string() + "': " + ec.message();
    return !ec;
}

void Workspace::leave() {
    // The output folder stays the current one, as it was the host's.
    std::error_code ec;
    fs::current_path(outDir_, ec);
}

std::vector<std::string> Workspace::files() const {
    std::vector<std::string> names;
    for (const char* sub : {"", "Plugins"}) {
        std::error_code ec;
        fs::directory_iterator it(*sub ? workDir_ / sub : workDir_, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            std::error_code e;
            if (!it->is_regular_file(e) || e) continue;
            const std::string name = it->path().filename().u8string();
            names.push_back(*sub ? std::string(sub) + "/" + name : name);
        }
    }
    return names;
}

MemoryFolder::MemoryFolder() {
#ifndef _WIN32
    struct statvfs fsInfo;
    if (statvfs("/dev/shm", &fsInfo) != 0 || (fsInfo.f_flag & (ST_NOEXEC | ST_RDONLY))) return;
    std::string name = "/dev/shm/talven-replay-XXXXXX";
    if (!mkdtemp(&name[0])) return;
    path_ = name;
    removeOnInterrupt(path_);
#endif
}

MemoryFolder::~MemoryFolder() {
    if (path_.empty()) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
    keepOnInterrupt(path_);
}

std::string displayPath(const fs::path& p) { return p.empty() ? std::string(".") : p.u8string(); }

}  // namespace replay
