// The one way the project writes a file: whole or not at all, and never through anything
// planted. The text goes to a new temporary file in the target's folder, created
// exclusively (no file, folder or link already there is opened or followed) under a name
// no one can guess, is flushed to the disk and then renamed over the target. The target
// must be absent or a regular file: a link, device, pipe or folder there is refused, as
// is a read-only file. On any failure the target is as it was and the temporary gone.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The names tried for the temporary file, attempt 0, 1, ...; a name already taken is
// skipped. Left empty, random names beside the target ("." + its name + ".<random>.tmp").
using TemporaryNames = std::function<std::filesystem::path(int attempt)>;

// False with the reason in `error` ("it is a link", "No space left on device") when the
// file was not written.
bool writeWholeFile(const std::filesystem::path& target, std::string_view content, std::string& error,
                    const TemporaryNames& names = {});

// Many files written as writeWholeFile writes one, whole or not at all, with one flush
// to the disk for all of them instead of one each: each text goes to a temporary file
// beside its target, unflushed; commit syncs the file system of each folder once, and
// only then does each temporary take its target's name, so a crash leaves old files or
// complete new ones. For a folder of many small results, where a flush per file would
// take most of the time. Temporaries not committed are removed when the batch goes.
class WholeFileBatch {
public:
    struct Failure {
        std::filesystem::path target;
        std::string error;
    };
    WholeFileBatch() = default;
    WholeFileBatch(const WholeFileBatch&) = delete;
    WholeFileBatch& operator=(const WholeFileBatch&) = delete;
    ~WholeFileBatch();
    // False with the reason (as writeWholeFile's) when this target cannot be written.
    bool add(const std::filesystem::path& target, std::string_view content, std::string& error);
    // The targets added that could not be put in place, with the reasons.
    std::vector<Failure> commit();

private:
    struct Pending {
        std::filesystem::path temporary, target;
    };
    std::vector<Pending> pending_;
};

// Whether writeWholeFile could replace the target now: its folder exists and the
// target is absent or a writable regular file. For knowing before long work is done.
bool mayWrite(const std::filesystem::path& target, std::string& why);

// A path given as bytes of the system's narrow encoding (the active code page on Windows,
// as the plug-in has them; bytes elsewhere).
std::filesystem::path nativePath(const std::string& path);
