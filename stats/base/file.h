// An owned C stream: closed when its owner goes, never copied.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

inline UniqueFile openFile(const std::string& path, const char* mode) {
    return UniqueFile(std::fopen(path.c_str(), mode));
}

// Flushes and closes; false when anything written did not reach the file.
inline bool closeFile(UniqueFile& f) {
    if (!f) return false;
    const bool ok = std::ferror(f.get()) == 0;
    return std::fclose(f.release()) == 0 && ok;
}
