// The settings file format, the host version detection and the "Start" toggle.
#include <sys/stat.h>

#include <fstream>

#include "fake_platform.h"
#include "platform/ini_file.h"

using SettingsFile = InTempFolder;

TEST_F(SettingsFile, ReadsAndWritesLikeTheProfileFunctions) {
    HeadlessProfileStore store;
    const std::string file = "Plugins\\TALVENA-CUP.ini";
    EXPECT_EQ(store.read(file, "Settings", "Start"), "");
    store.write(file, "Settings", "Start", "1");
    EXPECT_FALSE(fileExists("Plugins/TALVENA-CUP.ini")) << "the folder is not created";

    mkdir("Plugins", 0755);
    store.write(file, "Settings", "Start", "1");
    store.write(file, "Settings", "Claimed", "1234");
    store.write(file, "Settings", "start", "0");  // key names ignore case: replaced in place
    store.write(file, "Other", "Start", "9");
    EXPECT_EQ(readFile("Plugins/TALVENA-CUP.ini"), "[Settings]\r\nStart=0\r\nClaimed=1234\r\n[Other]\r\nStart=9\r\n");
    EXPECT_EQ(store.read(file, "SETTINGS", "START"), "0");
    EXPECT_EQ(store.read(file, "Other", "Start"), "9");
    EXPECT_EQ(store.read(file, "Settings", "Missing"), "");

    store.write(file, "Settings", "SoapBox", std::string(150, 'x'));
    EXPECT_EQ(store.read(file, "Settings", "SoapBox"), std::string(99, 'x'));
}

TEST_F(SettingsFile, ToleratesHandWrittenFiles) {
    std::ofstream("hand.ini")
        << "; comment\n[Settings]\n  Name =  Ivan Petrenko  \nQuoted=\"a b\"\n[Next]\nName=other\n";
    EXPECT_EQ(ini::read("hand.ini", "Settings", "Name"), "Ivan Petrenko");
    EXPECT_EQ(ini::read("hand.ini", "Settings", "Quoted"), "a b");
    ini::write("hand.ini", "Settings", "Club", "UCC");
    EXPECT_EQ(ini::read("hand.ini", "Settings", "Club"), "UCC");
    EXPECT_EQ(ini::read("hand.ini", "Next", "Name"), "other");
    EXPECT_EQ(readFile("hand.ini").find("; comment"), 0u);
}

TEST_F(SettingsFile, HostVersionFromTheHostsOwnFile) {
    HeadlessFolderSearch search;
    std::string version;
    detectHostVersion(search, "host/", version);
    EXPECT_EQ(version, "Orba");  // folder missing

    mkdir("host", 0755);
    std::ofstream("host/other.ini") << "x";
    detectHostVersion(search, "host/", version);
    EXPECT_EQ(version, "Orba");

    std::ofstream("host/Orba2.ini") << "x";
    // Listed in the host folder, but read by its bare name from the current folder.
    version = "before";
    detectHostVersion(search, "host/", version);
    EXPECT_EQ(version, "before");
    std::ofstream("Orba2.ini") << "[Main]\r\nOrba=2.16\r\nOrba=2.19\r\n";
    detectHostVersion(search, "host/", version);
    EXPECT_EQ(version, "2.16");
    std::ofstream("Orba2.ini") << "[Main]\r\nNothing=here\r\n";
    detectHostVersion(search, "host\\", version);  // a Windows separator works too
    EXPECT_EQ(version, "2.16");
}

namespace {
struct StartToggle : PluginTest {};
}  // namespace

TEST_F(StartToggle, AlternatesAndHonoursTheHostVersion) {
    reset();
    EXPECT_EQ(windows.starts, 1);
    EXPECT_EQ(profile.values["Start"], "1");
    reset();
    EXPECT_EQ(windows.starts, 1);
    EXPECT_EQ(profile.values["Start"], "0");
    reset();
    EXPECT_EQ(windows.starts, 2);

    // While the window runs nothing is written.
    windows.running = true;
    profile.values["Start"] = "0";
    reset();
    EXPECT_EQ(profile.values["Start"], "0");
    EXPECT_EQ(windows.starts, 2);
    windows.running = false;

    // Old hosts get no windows, but the toggle still moves.
    folders.names = {"Orba2.ini"};
    std::ofstream("Orba2.ini") << "Orba=2.14R\n";
    reset();
    EXPECT_EQ(data()->hostVersion, "2.14R");
    EXPECT_EQ(windows.starts, 2);
    EXPECT_EQ(profile.values["Start"], "1");
    EXPECT_EQ(folders.patterns.back(), "host/*.ini");
}

TEST_F(StartToggle, AnExportRunNeverStartsTheWindows) {
    reset("OK1XYZ", "OK", "EU", 1);
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_EQ(windows.starts, 0);
    EXPECT_EQ(profile.values["Start"], "0");
    dialog.confirm = false;
    reset("OK1XYZ", "OK", "EU", 1);
    EXPECT_EQ(data()->exportRequested, 0);
    EXPECT_EQ(windows.starts, 0);
}
