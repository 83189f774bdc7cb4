// The one file writer of common/ on Windows: what is at the target decides whether it may
// be replaced (CREATE_NEW for the temporary file, MoveFileEx over the target), nothing
// found at a temporary name is written through, and a failure leaves the old file.
#include "whole_file.h"

#include <filesystem>
#include <functional>
#include <string>

#include "wine_test.h"

namespace fs = std::filesystem;

namespace {

bool temporaryFilesLeft() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(".", ec))
        if (e.path().extension() == ".tmp") return true;
    return false;
}

void clearFolder() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(".", ec)) {
        SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(e.path(), ec);
    }
}

// A link made the Windows way; false where the system cannot make one here (Wine's
// CreateSymbolicLinkW answers TRUE and makes nothing).
bool makeLink(const wchar_t* link, const wchar_t* target) {
    if (!CreateSymbolicLinkW(link, target, SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) return false;
    const DWORD attributes = GetFileAttributesW(link);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void whatIsAtTheTargetDecides() {
    struct Case {
        const char* name;
        std::wstring target;
        std::function<bool()> make;  // false: the case cannot be set up here
        const char* refusal;         // nullptr: written
    };
    const Case cases[] = {
        {"absent", L"page.html", [] { return true; }, nullptr},
        {"regular", L"page.html", [] { return wt::writeFile("page.html", "old"); }, nullptr},
        {"folder", L"page.html", [] { return CreateDirectoryW(L"page.html", nullptr) != 0; }, "it is a folder"},
        {"device", L"NUL", [] { return true; }, "it is a device"},
        {"read-only", L"page.html",
         [] { return wt::writeFile("page.html", "old") && SetFileAttributesW(L"page.html", FILE_ATTRIBUTE_READONLY); },
         "read-only"},
        {"link to a file", L"page.html",
         [] { return wt::writeFile("victim.txt", "keep") && makeLink(L"page.html", L"victim.txt"); }, "it is a link"},
        {"missing folder", L"no\\such\\page.html", [] { return true; }, ""},
    };
    for (const Case& c : cases) {
        const std::string n = std::string(c.name) + ": ";
        clearFolder();
        if (!c.make()) {
            std::printf("whole_file_test: %snot possible here, skipped\n", n.c_str());
            continue;
        }
        std::string error;
        const bool written = writeWholeFile(fs::path(c.target), "new text", error);
        if (!c.refusal) {
            wt::check(written, n + "written (" + error + ")");
            std::string text;
            wt::check(wt::readFile(fs::path(c.target).string(), text) && text == "new text", n + "the new text");
        } else {
            wt::check(!written, n + "refused");
            wt::check(error.find(c.refusal) != std::string::npos, n + "says why: " + error);
        }
        if (wt::fileExists("victim.txt")) {
            std::string text;
            wt::check(wt::readFile("victim.txt", text) && text == "keep", n + "the link's target untouched");
        }
        wt::check(!temporaryFilesLeft(), n + "no temporary file left");
    }
    clearFolder();
}

void nothingAtATemporaryNameIsWrittenThrough() {
    wt::writeFile("page.html", "old");
    wt::writeFile(".t0.tmp", "someone's");
    CreateDirectoryW(L".t1.tmp", nullptr);
    wt::writeFile("victim.txt", "keep");
    const bool linked = makeLink(L".t2.tmp", L"victim.txt");
    std::string error;
    const bool written = writeWholeFile("page.html", "new", error,
                                        [](int attempt) { return fs::path(".t" + std::to_string(attempt) + ".tmp"); });
    wt::check(written, "planted names: written (" + error + ")");
    std::string text;
    wt::check(wt::readFile("page.html", text) && text == "new", "planted names: the new text");
    wt::check(wt::readFile(".t0.tmp", text) && text == "someone's", "planted names: a file there untouched");
    wt::check(wt::readFile("victim.txt", text) && text == "keep" && (linked || !wt::fileExists(".t2.tmp")) &&
                  !wt::fileExists(".t3.tmp"),
              "planted names: nothing written through a link");
    clearFolder();
}

// A rename that fails (a folder put at the target while the text was written) leaves the
// folder and no temporary file; an open file without FILE_SHARE_DELETE is not replaced.
void aFailureMidwayKeepsTheOldFile() {
    std::string error;
    const bool written = writeWholeFile("page.html", "new", error, [](int) {
        CreateDirectoryW(L"page.html", nullptr);
        CreateDirectoryW(L"page.html\\inside", nullptr);
        return fs::path(".t.tmp");
    });
    wt::check(!written, "a folder put at the target: not written");
    wt::check(GetFileAttributesW(L"page.html\\inside") != INVALID_FILE_ATTRIBUTES, "the folder is as it was");
    wt::check(!temporaryFilesLeft(), "a folder put at the target: no temporary file left");
    clearFolder();

    wt::writeFile("page.html", "old");
    {
        win32::FileHandle reader(
            CreateFileW(L"page.html", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        wt::check(!writeWholeFile("page.html", "new", error), "a file held open without sharing: not replaced");
    }
    std::string text;
    wt::check(wt::readFile("page.html", text) && text == "old", "held open: the old text");
    wt::check(!temporaryFilesLeft(), "held open: no temporary file left");
    clearFolder();
}

}  // namespace

int main() {
    return wt::run(60, [] {
        // A folder of its own, which the cases empty between them (the runner keeps its
        // output beside).
        CreateDirectoryW(L"whole_file", nullptr);
        if (!wt::check(SetCurrentDirectoryW(L"whole_file") != 0, "a folder of its own")) return;
        whatIsAtTheTargetDecides();
        nothingAtATemporaryNameIsWrittenThrough();
        aFailureMidwayKeepsTheOldFile();
    });
}
