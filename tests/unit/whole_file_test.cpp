// The one file writer of the plug-in and the replay tool: what is at the target decides
// whether it may be replaced, nothing planted beside it is written through, and a
// failure leaves the old file and no temporary one.
#include "whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "fake_platform.h"

namespace fs = std::filesystem;

namespace {

using WholeFile = InTempFolder;

bool isLink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

TEST_F(WholeFile, WhatIsAtTheTargetDecides) {
    struct Case {
        const char* name;
        std::string target;
        std::function<void()> make;
        const char* refusal;  // nullptr: written
    };
    const Case cases[] = {
        {"absent", "page.html", [] {}, nullptr},
        {"regular", "page.html", [] { std::ofstream("page.html") << "old"; }, nullptr},
        {"link to a file", "page.html",
         [] {
             std::ofstream("victim.txt") << "keep";
             ASSERT_EQ(symlink("victim.txt", "page.html"), 0);
         },
         "it is a link"},
        {"dangling link", "page.html", [] { ASSERT_EQ(symlink("no/such/victim.txt", "page.html"), 0); },
         "it is a link"},
        // A null device of the test's own (root may make one): a regression must not be
        // able to replace the system's.
        {"device", "null", [] { ASSERT_EQ(mknod("null", S_IFCHR | 0666, makedev(1, 3)), 0); },
         "it is a device or pipe"},
        {"FIFO", "page.html", [] { ASSERT_EQ(mkfifo("page.html", 0600), 0); }, "it is a device or pipe"},
        {"folder", "page.html", [] { ASSERT_EQ(mkdir("page.html", 0755), 0); }, "it is a folder"},
        {"read-only", "page.html",
         [] {
             std::ofstream("page.html") << "old";
             chmod("page.html", 0444);
         },
         "read-only"},
        {"missing folder", "no/such/page.html", [] {}, "No such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& e : fs::directory_iterator(".")) fs::remove_all(e.path());
        c.make();
        struct stat before {};
        lstat(c.target.c_str(), &before);
        std::string error;
        const bool written = writeWholeFile(c.target, "new text", error);
        if (!c.refusal) {
            EXPECT_TRUE(written) << error;
            EXPECT_EQ(readFile(c.target), "new text");
        } else {
            EXPECT_FALSE(written);
            EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
            struct stat after {};
            lstat(c.target.c_str(), &after);
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(after.st_mode, before.st_mode);
        }
        if (fileExists("victim.txt")) {
            EXPECT_EQ(readFile("victim.txt"), "keep");
        }
        EXPECT_FALSE(temporaryFilesIn("."));
    }
}

TEST_F(WholeFile, AReplacedFileKeepsItsPermissions) {
    std::ofstream("settings.ini") << "old";
    chmod("settings.ini", 0600);
    std::string error;
    ASSERT_TRUE(writeWholeFile("settings.ini", "new", error)) << error;
    struct stat st {};
    ASSERT_EQ(stat("settings.ini", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// Whatever someone planted at a name the writer tries (a link to a victim, a folder, a
// file, a pipe) is skipped untouched, and the next free name is used.
TEST_F(WholeFile, NothingPlantedAtATemporaryNameIsWrittenThrough) {
    std::ofstream("victim.txt") << "keep";
    std::ofstream("page.html") << "old";
    ASSERT_EQ(symlink("victim.txt", ".t0.tmp"), 0);
    ASSERT_EQ(symlink("no/such/file", ".t1.tmp"), 0);
    ASSERT_EQ(mkdir(".t2.tmp", 0755), 0);
    std::ofstream(".t3.tmp") << "someone's";
    ASSERT_EQ(mkfifo(".t4.tmp", 0600), 0);
    std::vector<int> tried;
    const auto names = [&](int attempt) {
        tried.push_back(attempt);
        return fs::path(".t" + std::to_string(attempt) + ".tmp");
    };
    std::string error;
    ASSERT_TRUE(writeWholeFile("page.html", "new", error, names)) << error;
    EXPECT_EQ(tried, std::vector<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(readFile("page.html"), "new");
    EXPECT_FALSE(isLink("page.html"));
    EXPECT_EQ(readFile("victim.txt"), "keep");
    EXPECT_TRUE(isLink(".t0.tmp") && isLink(".t1.tmp") && fs::is_directory(".t2.tmp"));
    EXPECT_EQ(readFile(".t3.tmp"), "someone's");
    EXPECT_FALSE(fileExists(".t1.tmp/x") || fileExists("no/such/file") || fileExists(".t5.tmp"));
}

TEST_F(WholeFile, EveryNameTakenWritesNothing) {
    std::ofstream("page.html") << "old";
    std::ofstream(".taken.tmp") << "x";
    std::string error;
    EXPECT_FALSE(writeWholeFile("page.html", "new", error, [](int) { return fs::path(".taken.tmp"); }));
    EXPECT_NE(error.find("no free name"), std::string::npos) << error;
    EXPECT_EQ(readFile("page.html"), "old");
}

// A write that fails half-way (a full disk) leaves the old file and no temporary one;
// so does a rename that fails (a folder put at the target while the text was written).
TEST_F(WholeFile, AFailureMidwayKeepsTheOldFileAndNoTemporary) {
    std::ofstream("page.html") << "old";
    std::string error;
    {
        FullDisk full(100);
        EXPECT_FALSE(writeWholeFile("page.html", std::string(10000, 'x'), error));
    }
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_EQ(readFile("page.html"), "old");
    EXPECT_FALSE(temporaryFilesIn("."));

    const auto raced = [](int) {
        fs::remove("page.html");
        fs::create_directories("page.html/inside");
        return fs::path(".t.tmp");
    };
    EXPECT_FALSE(writeWholeFile("page.html", "new", error, raced));
    EXPECT_TRUE(fs::is_directory("page.html/inside"));
    EXPECT_FALSE(temporaryFilesIn("."));
}

// A batch puts every file in place only at commit, refuses what writeWholeFile refuses,
// and one dropped before its commit leaves the old files and no temporaries.
TEST_F(WholeFile, ABatchWritesAllAtCommitOrNothing) {
    std::ofstream("old.txt") << "old";
    std::ofstream("victim.txt") << "keep";
    ASSERT_EQ(symlink("victim.txt", "link.txt"), 0);
    std::string error;
    {
        WholeFileBatch dropped;
        EXPECT_TRUE(dropped.add("old.txt", "new", error)) << error;
        EXPECT_TRUE(dropped.add("fresh.txt", "fresh", error)) << error;
        EXPECT_EQ(readFile("old.txt"), "old");
    }
    EXPECT_FALSE(fileExists("fresh.txt"));
    EXPECT_FALSE(temporaryFilesIn("."));

    WholeFileBatch batch;
    EXPECT_TRUE(batch.add("old.txt", "new", error)) << error;
    EXPECT_TRUE(batch.add("fresh.txt", "fresh", error)) << error;
    EXPECT_FALSE(batch.add("link.txt", "through", error));
    EXPECT_NE(error.find("it is a link"), std::string::npos) << error;
    EXPECT_TRUE(batch.commit().empty());
    EXPECT_EQ(readFile("old.txt"), "new");
    EXPECT_EQ(readFile("fresh.txt"), "fresh");
    EXPECT_EQ(readFile("victim.txt"), "keep");
    EXPECT_TRUE(isLink("link.txt"));
    EXPECT_FALSE(temporaryFilesIn("."));
}
