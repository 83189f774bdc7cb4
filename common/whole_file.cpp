#include "whole_file.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include "win32_owners.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace fs = std::filesystem;

namespace {

// Names taken by others are skipped; this many in a row means something else is wrong.
constexpr int kAttempts = 64;

std::string hex(uint64_t v) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4) out[size_t(i)] = kDigits[v & 15];
    return out;
}

// Unpredictable: another local user who could plant a link at the name cannot know it
// in advance.
uint64_t randomNumber() {
    static std::mt19937_64 generator = [] {
        std::random_device device;
        const uint64_t seed = (uint64_t(device()) << 32) ^ device() ^
                              uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
        return std::mt19937_64(seed);
    }();
    return generator();
}

fs::path randomName(const fs::path& target) {
    return target.parent_path() / fs::u8path("." + target.filename().u8string() + "." + hex(randomNumber()) + ".tmp");
}

#ifdef _WIN32
std::string systemMessage(DWORD code) { return std::system_category().message(int(code)); }

// Empty when the target may be replaced: absent, or a writable regular file.
std::string refusal(const fs::path& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return std::string();
        // "NUL", "CON", "COM1": devices that have no attributes.
        const win32::FileHandle device(
            CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (device) return "it is a device, not a file";
        return code == ERROR_PATH_NOT_FOUND ? systemMessage(code) : std::string();
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "it is a link; not writing through it";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a folder";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "it is read-only";
    const win32::FileHandle h(CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h) return std::string();
    const DWORD type = GetFileType(h.get());
    return type == FILE_TYPE_DISK ? std::string() : "it is a device, not a file";
}

// True with the file written, flushed and closed; `taken` when the name exists already.
bool writeNew(const fs::path& name, std::string_view content, bool& taken, std::string& error) {
    win32::FileHandle h(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) {
        const DWORD code = GetLastError();
        // A folder of that name gives "access denied" rather than "exists".
        taken = code == ERROR_FILE_EXISTS || GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
        error = systemMessage(code);
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < content.size();) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(content.size() - done < 1u << 30 ? content.size() - done : 1u << 30);
        ok = WriteFile(h.get(), content.data() + done, chunk, &n, nullptr) != 0 && n > 0;
        done += n;
    }
    ok = ok && FlushFileBuffers(h.get()) != 0;
    if (!ok) error = systemMessage(GetLastError());
    // Closed here, not by the owner, because a failed close can mean the data did not
    // reach the disk.
    if (CloseHandle(h.release()) == 0 && ok) {
        error = systemMessage(GetLastError());
        ok = false;
    }
    if (!ok) DeleteFileW(name.c_str());
    return ok;
}

bool renameOver(const fs::path& from, const fs::path& to, std::string& error) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) return true;
    error = systemMessage(GetLastError());
    return false;
}

void removeFile(const fs::path& name) { DeleteFileW(name.c_str()); }
#else
std::string errnoMessage(int code) { return std::generic_category().message(code); }

std::string refusal(const fs::path& target) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0) return errno == ENOENT ? std::string() : errnoMessage(errno);
    if (S_ISLNK(st.st_mode)) return "it is a link; not writing through it";
    if (S_ISDIR(st.st_mode)) return "it is a folder";
    if (!S_ISREG(st.st_mode)) return "it is a device or pipe, not a file";
    if ((st.st_mode & 0222) == 0) return "it is read-only";
    return std::string();
}

bool writeNew(const fs::path& name, std::string_view content, bool& taken, std::string& error, bool flush = true) {
    // O_EXCL with O_NOFOLLOW: never opens what is there already, a link included.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        taken = errno == EEXIST;
        error = errnoMessage(errno);
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < content.size();) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok)
            done += static_cast<size_t>(n);
        else
            error = n < 0 ? errnoMessage(errno) : "nothing written";
    }
    if (ok && flush && fsync(fd) != 0) {
        error = errnoMessage(errno);
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        error = errnoMessage(errno);
        ok = false;
    }
    if (!ok) unlink(name.c_str());
    return ok;
}

bool renameOver(const fs::path& from, const fs::path& to, std::string& error) {
    // The new file keeps the permissions of the one it replaces.
    struct stat st;
    if (lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode)) chmod(from.c_str(), st.st_mode & 07777);
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = errnoMessage(errno);
    return false;
}

void removeFile(const fs::path& name) { unlink(name.c_str()); }
#endif

}  // namespace

namespace {

// The text in a new temporary file beside the target, flushed to the disk or not; the
// temporary's name, empty with the reason when none could be written.
fs::path writeTemporary(const fs::path& target, std::string_view content, std::string& error,
                        const TemporaryNames& names, bool flush) {
    if (target.empty() || !target.has_filename()) {
        error = "no file name";
        return {};
    }
    error = refusal(target);
    if (!error.empty()) return {};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const fs::path temporary = names ? names(attempt) : randomName(target);
        bool taken = false;
#ifdef _WIN32
        (void)flush;
        if (writeNew(temporary, content, taken, error)) return temporary;
#else
        if (writeNew(temporary, content, taken, error, flush)) return temporary;
#endif
        if (!taken) return {};
    }
    error = "no free name for a temporary file";
    return {};
}

}  // namespace

bool writeWholeFile(const fs::path& target, std::string_view content, std::string& error, const TemporaryNames& names) {
    const fs::path temporary = writeTemporary(target, content, error, names, true);
    if (temporary.empty()) return false;
    if (renameOver(temporary, target, error)) return true;
    removeFile(temporary);
    return false;
}

WholeFileBatch::~WholeFileBatch() {
    for (const Pending& p : pending_) removeFile(p.temporary);
}

#ifdef _WIN32
// Each file is flushed as it is written: the batch is writeWholeFile file by file.
bool WholeFileBatch::add(const fs::path& target, std::string_view content, std::string& error) {
    return writeWholeFile(target, content, error);
}

std::vector<WholeFileBatch::Failure> WholeFileBatch::commit() { return {}; }
#else
bool WholeFileBatch::add(const fs::path& target, std::string_view content, std::string& error) {
    const fs::path temporary = writeTemporary(target, content, error, {}, false);
    if (temporary.empty()) return false;
    pending_.push_back({temporary, target});
    return true;
}

std::vector<WholeFileBatch::Failure> WholeFileBatch::commit() {
    std::vector<Pending> pending = std::move(pending_);
    pending_.clear();
    std::vector<Failure> failures;
    // One sync of each folder's file system puts every temporary on the disk; a folder
    // that cannot be synced gets none of its files renamed.
    std::vector<fs::path> folders;
    for (const Pending& p : pending) {
        const fs::path folder = p.target.has_parent_path() ? p.target.parent_path() : fs::path(".");
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    std::vector<fs::path> unsynced;
    std::string syncError;
    for (const fs::path& folder : folders) {
        const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 || syncfs(fd) != 0) {
            unsynced.push_back(folder);
            syncError = errnoMessage(errno);
        }
        if (fd >= 0) close(fd);
    }
    for (const Pending& p : pending) {
        const fs::path folder = p.target.has_parent_path() ? p.target.parent_path() : fs::path(".");
        std::string error = syncError;
        if (std::find(unsynced.begin(), unsynced.end(), folder) != unsynced.end() ||
            !renameOver(p.temporary, p.target, error)) {
            removeFile(p.temporary);
            failures.push_back({p.target, error});
        }
    }
    return failures;
}
#endif

bool mayWrite(const fs::path& target, std::string& why) {
    why = refusal(target);
    if (!why.empty()) return false;
    std::error_code ec;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) why = "its folder '" + folder.u8string() + "' does not exist";
    return why.empty();
}

fs::path nativePath(const std::string& path) {
#ifdef _WIN32
    const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), &wide[0], n);
    return fs::path(wide);
#else
    return fs::path(path);
#endif
}
