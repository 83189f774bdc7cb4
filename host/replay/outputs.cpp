#include "replay/outputs.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "ascii_text.h"

namespace replay {

namespace fs = std::filesystem;

namespace {

// The file's identity, following links as a read does; false when there is no file.
struct FileId {
    unsigned long long device = 0, inode = 0;
};

bool fileId(const std::string& path, FileId& id) {
#ifdef _WIN32
    HANDLE h = CreateFileW(fs::u8path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    id.device = info.dwVolumeSerialNumber;
    id.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return ok;
#else
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    id.device = static_cast<unsigned long long>(st.st_dev);
    id.inode = static_cast<unsigned long long>(st.st_ino);
    return true;
#endif
}

// Two names of one file: the same identity where both exist, the same path where they
// do not yet (two outputs).
bool sameFile(const std::string& a, const std::string& b) {
    FileId x, y;
    const bool hasX = fileId(a, x), hasY = fileId(b, y);
    if (hasX && hasY) return x.device == y.device && x.inode == y.inode;
    if (hasX != hasY) return false;
    std::error_code ec1, ec2;
    const fs::path p = fs::weakly_canonical(fs::absolute(fs::u8path(a)), ec1);
    const fs::path q = fs::weakly_canonical(fs::absolute(fs::u8path(b)), ec2);
    return !ec1 && !ec2 && p == q;
}

std::string quoted(const std::string& path) { return "'" + printable(path, 200) + "'"; }

}  // namespace

bool isAnalysisPage(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::string head(1024, '\0');
    in.read(&head[0], std::streamsize(head.size()));
    head.resize(size_t(in.gcount()));
    return head.rfind("<!DOCTYPE html>", 0) == 0 &&
           head.find("<meta name=\"generator\" content=\"talven-replay ") != std::string::npos;
}

std::string refusedOutput(const RunFiles& files) {
    for (size_t i = 0; i < files.outputs.size(); ++i) {
        const NamedFile& out = files.outputs[i];
        for (const NamedFile& in : files.inputs)
            if (sameFile(out.path, in.path))
                return out.what + " " + quoted(out.path) + " is " + in.what + " " + quoted(in.path) +
                       "; an input is never replaced";
        for (size_t j = 0; j < i; ++j)
            if (sameFile(out.path, files.outputs[j].path))
                return out.what + " " + quoted(out.path) + " is also " + files.outputs[j].what + "; name another";
    }
    std::error_code ec;
    if (!files.page.empty() && fs::is_regular_file(fs::u8path(files.page), ec) && !isAnalysisPage(files.page))
        return "the analysis page " + quoted(files.page) +
               " names an existing file that is not a page of talven-replay; it is not replaced (name another page)";
    return std::string();
}

}  // namespace replay
