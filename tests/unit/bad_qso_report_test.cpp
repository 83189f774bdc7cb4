// The bad-QSO report when its file misbehaves: nothing that counts is lost, the count
// stays right, and a failure is reported once.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "fake_platform.h"

namespace {
const char* const kFile = "BadQSO_StatsTALVENCP_17_12_2017.txt";

int badQsoLine(const std::string& summary) {
    const size_t at = summary.find("Bad QSO\t ");
    return at == std::string::npos ? -1 : std::stoi(summary.substr(at + 9));
}
}  // namespace

using BadQsoFile = PluginTest;

TEST_F(BadQsoFile, AFolderInPlaceOfTheFileLosesNothingThatCounts) {
    std::filesystem::create_directory(kFile);
    reset();
    add(qso("DL1AA", "160m", "RTTY", "1200"));
    add(qso("UT1AA", "20m", "RTTY", "1201", "XX", "UR"));
    add(qso("UT1AA", "20m", "RTTY", "1202", "XX", "UR"));  // bad area and dupe
    EXPECT_EQ(badQsoLine(plugin->getResult()), 3);
    EXPECT_EQ(diagnostics.faults.size(), 1u);  // once, not once per QSO

    // Once the file can be written again, it gets every entry, the earlier ones included.
    std::filesystem::remove(kFile);
    add(qso("DL1AB", "20m", "PSK31", "1203"));
    EXPECT_EQ(report(), plugin->report().text());
    EXPECT_NE(report().find("DL1AA"), std::string::npos);
    EXPECT_EQ(badQsoLine(plugin->getResult()), 4);
    EXPECT_EQ(diagnostics.faults.size(), 1u);
}

TEST_F(BadQsoFile, AFileRemovedOrEmptiedBetweenCallsIsWrittenWhole) {
    reset();
    add(qso("DL1AA", "160m", "RTTY", "1200"));
    for (const bool removeIt : {true, false}) {
        if (removeIt)
            std::remove(kFile);
        else
            std::fclose(std::fopen(kFile, "w"));
        add(qso(removeIt ? "DL1AB" : "DL1AC", "160m", "RTTY", "1201"));
        EXPECT_EQ(report(), plugin->report().text());
        EXPECT_EQ(report().rfind("TALVEN-CUP TEST UBN file \n", 0), 0u);
    }
    EXPECT_TRUE(diagnostics.faults.empty());
}

TEST_F(BadQsoFile, EachEntryCountsOnceWhateverItsCallSign) {
    reset();
    add(qso("UT1AA", "20m", "RTTY", "1200", "XX", "UR"));  // two physical lines
    add(qso("DUPE1", "20m", "RTTY", "1201"));
    add(qso("UBN1AA", "160m", "RTTY", "1202"));  // a call that holds the header's word
    add(qso("DUPE1", "20m", "RTTY", "1203"));    // the only dupe
    EXPECT_EQ(badQsoLine(plugin->getResult()), 2);
    plugin->removeData(qso("UT1AA", "20m", "RTTY", "1200"));
    EXPECT_EQ(badQsoLine(plugin->getResult()), 1);
    EXPECT_EQ(report().find(" !!!\n !!!"), std::string::npos);
}

TEST_F(BadQsoFile, FaultsBetweenCallsLoseNothingAndHealWhenLifted) {
    for (const bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "a folder in place of the file");
        diagnostics.faults.clear();
        reset();
        add(qso("DL1AA", "160m", "RTTY", "1200"));
        {
            std::unique_ptr<FullDisk> full;
            if (fullDisk) {
                full = std::make_unique<FullDisk>(report().size());
            } else {
                std::remove(kFile);
                std::filesystem::create_directory(kFile);
            }
            add(qso("DL1AB", "20m", "PSK31", "1201"));
            add(qso("UT1AA", "20m", "RTTY", "1202", "XX", "UR"));
            plugin->removeData(qso("DL1AA", "160m", "RTTY", "1200"));
            EXPECT_EQ(badQsoLine(plugin->getResult()), 2);
            EXPECT_EQ(diagnostics.faults.size(), 1u);
        }
        if (!fullDisk) std::filesystem::remove(kFile);
        add(qso("DL1AC", "20m", "RTTY", "1203", ""));
        EXPECT_EQ(report(), plugin->report().text());
        EXPECT_EQ(report().find("DL1AA"), std::string::npos);
        EXPECT_EQ(badQsoLine(plugin->getResult()), 3);
        EXPECT_EQ(diagnostics.faults.size(), 1u);
    }
}
