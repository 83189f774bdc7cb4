// The settings file in every bad state an operator's PC can leave it in: the plug-in
// keeps scoring and exporting, loses nothing of the log, and never spoils the file.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "fake_platform.h"
#include "platform/ini_file.h"

namespace {

// The plug-in with its settings in the real file (Plugins/TALVENA-CUP.ini).
struct SettingsOnFile : PluginTest {
    HeadlessProfileStore file;
    Platform onFile{file, folders, notifier, dialog, windows, clock, diagnostics};
    SettingsOnFile() { plugin = std::make_unique<Plugin>(onFile); }

    // An export run of a small log; the summary.
    std::string contest() {
        reset("UT1ZZ", "UR", "EU", 1);
        add(qso("DL1AA", "20m", "RTTY", "1200"));
        add(qso("UT1AA", "40m", "RTTY", "1201", "KV", "UR"));
        add(qso("DL1AA", "20m", "RTTY", "1202"));  // dupe
        return plugin->getResult();
    }
};

const char* const kPath = "Plugins/TALVENA-CUP.ini";

void write(const std::string& content) {
    mkdir("Plugins", 0755);
    std::ofstream(kPath, std::ios::binary) << content;
}

struct Fault {
    const char* name;
    std::function<void()> make;
    bool written;  // whether the settings can be written in this state
};

}  // namespace

TEST_F(SettingsOnFile, EveryBadStateKeepsTheLogAndTheFile) {
    mkdir("Plugins", 0755);
    const std::string expected = contest();
    ASSERT_EQ(ini::read(kPath, "Settings", "Claimed"), std::to_string(plugin->state().lock()->claimedScore));

    const std::string junk = [] {
        std::string s;
        for (int i = 0; i < 65536; ++i) s.push_back(static_cast<char>((i * 7919) % 256));
        return s;
    }();
    const Fault faults[] = {
        {"no folder", [] {}, false},
        {"a file in place of the folder", [] { std::ofstream("Plugins") << "x"; }, false},
        {"a folder in place of the file", [] { std::filesystem::create_directories(kPath); }, false},
        {"read-only",
         [] {
             write("[Settings]\r\nName=Ivan\r\n");
             chmod(kPath, 0444);
         },
         false},
        {"binary", [&] { write(junk); }, true},
        {"10 MB without a line end", [] { write(std::string(10 << 20, 'x')); }, true},
        {"no section", [] { write("Start=1\r\nClaimed=5\r\n"); }, true},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        std::filesystem::remove_all("Plugins");
        f.make();
        std::string before;
        if (std::filesystem::is_regular_file(kPath)) before = readFile(kPath);

        EXPECT_EQ(contest(), expected);
        EXPECT_EQ(notifier.shown.back(), "Output|File produced: UT1ZZ.cbr");
        EXPECT_NE(readFile("UT1ZZ.cbr").find("UT1AA"), std::string::npos);
        EXPECT_FALSE(temporaryFilesIn("Plugins"));
        if (f.written) {
            EXPECT_EQ(ini::read(kPath, "Settings", "Claimed"), std::to_string(plugin->state().lock()->claimedScore));
            EXPECT_EQ(ini::read(kPath, "Settings", "Operators"), "UT1ZZ");
            if (before.size() >= 10 << 20) {
                EXPECT_EQ(readFile(kPath).compare(0, before.size(), before), 0);
            }
        } else if (!before.empty()) {
            EXPECT_EQ(readFile(kPath), before);
            EXPECT_EQ(dialog.seen.name, "Ivan");  // still read
        }
    }
}

using SettingsFileFaults = InTempFolder;

TEST_F(SettingsFileFaults, AFullDiskLeavesThePreviousFile) {
    mkdir("Plugins", 0755);
    HeadlessProfileStore store;
    for (int i = 0; i < 40; ++i)
        store.write("Plugins\\TALVENA-CUP.ini", "Settings", "key" + std::to_string(i), "value");
    const std::string before = readFile(kPath);
    {
        FullDisk full(before.size());
        store.write("Plugins\\TALVENA-CUP.ini", "Settings", "key0", "a longer value");
    }
    EXPECT_EQ(readFile(kPath), before);
    EXPECT_FALSE(temporaryFilesIn("Plugins"));
    store.write("Plugins\\TALVENA-CUP.ini", "Settings", "key0", "a longer value");
    EXPECT_EQ(store.read("Plugins\\TALVENA-CUP.ini", "Settings", "key0"), "a longer value");
    EXPECT_EQ(store.read("Plugins\\TALVENA-CUP.ini", "Settings", "key39"), "value");
}
