#include "base/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace {

// Names taken by others are skipped; this many in a row means something else is wrong.
constexpr int kAttempts = 64;

#ifdef _WIN32
unsigned long processId() { return GetCurrentProcessId(); }

bool readOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// True with the file written and closed; `taken` when the name exists already.
bool writeNew(const std::string& name, const std::string& content, bool& taken) {
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A folder of that name gives "access denied" rather than "exists".
        taken = GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < content.size();) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(content.size() - done < 1u << 30 ? content.size() - done : 1u << 30);
        ok = WriteFile(h, content.data() + done, chunk, &n, nullptr) != 0 && n > 0;
        done += n;
    }
    ok = CloseHandle(h) != 0 && ok;
    if (!ok) DeleteFileA(name.c_str());
    return ok;
}

bool renameOver(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void removeFile(const std::string& name) { DeleteFileA(name.c_str()); }
#else
unsigned long processId() { return static_cast<unsigned long>(getpid()); }

bool readOnly(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

bool writeNew(const std::string& name, const std::string& content, bool& taken) {
    // O_EXCL: never opens what is there already, a link included.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        taken = errno == EEXIST;
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < content.size();) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = close(fd) == 0 && ok;
    if (!ok) unlink(name.c_str());
    return ok;
}

bool renameOver(const std::string& from, const std::string& to) {
    // The new file keeps the permissions of the one it replaces.
    struct stat st;
    if (stat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode)) chmod(from.c_str(), st.st_mode & 07777);
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void removeFile(const std::string& name) { unlink(name.c_str()); }
#endif

}  // namespace

std::string temporaryFileName(const std::string& path, int attempt) {
    return path + "." + std::to_string(processId()) + "-" + std::to_string(attempt) + ".tmp";
}

bool replaceFile(const std::string& path, const std::string& content) {
    if (path.empty() || readOnly(path)) return false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string temp = temporaryFileName(path, attempt);
        bool taken = false;
        if (!writeNew(temp, content, taken)) {
            if (taken) continue;
            return false;
        }
        if (renameOver(temp, path)) return true;
        removeFile(temp);
        return false;
    }
    return false;
}
