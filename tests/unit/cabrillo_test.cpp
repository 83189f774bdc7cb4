// The Cabrillo log: file name, header values through the settings, the file's layout.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "ascii_text.h"
#include "fake_platform.h"

TEST(ReplaceAll, ScansOnAfterEachReplacement) {
    EXPECT_EQ(replaceAll("a/b/c", "/", "_"), "a_b_c");
    EXPECT_EQ(replaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaceAll("abab", "ab", "ab"), "abab");
    EXPECT_EQ(replaceAll("x<CR><LF>y", "<CR>", "\r"), "x\r<LF>y");
    EXPECT_EQ(replaceAll("", "a", "b"), "");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
}

TEST(CabrilloNames, FileBaseAndModeCodes) {
    EXPECT_EQ(CabrilloLog::fileBaseFor("N0CALL/P"), "N0CALL_P");
    EXPECT_EQ(CabrilloLog::fileBaseFor("UT1AA\\M"), "UT1AA_M");
    EXPECT_EQ(CabrilloLog::fileBaseFor("  UT1AA  "), "UT1AA");
    EXPECT_EQ(CabrilloLog::fileBaseFor(""), "KVAT");
    EXPECT_EQ(CabrilloLog::fileBaseFor("   "), "KVAT");
    EXPECT_EQ(CabrilloLog::modeCode("RTTY"), "RY");
    EXPECT_EQ(CabrilloLog::modeCode("BPSK63"), "PK");
    EXPECT_EQ(CabrilloLog::modeCode("BPSK62"), "PK");
    EXPECT_EQ(CabrilloLog::modeCode("rtty"), "??");
}

using Cabrillo = PluginTest;

TEST_F(Cabrillo, HeaderValuesRoundTripThroughTheSettings) {
    profile.values["SoapBox"] = "old";
    profile.values["Claimed"] = "42";
    dialog.edit = [](CabrilloHeader& h) {
        h.soapbox = "abc\r\ndef";
        h.address = "Street 1\r\nKyiv";
        h.callsign = "UT1AA";
        h.club = "UCC";
    };
    reset("UT1AA/P", "UR", "EU", 1);
    EXPECT_EQ(dialog.seen.soapbox, "old");
    EXPECT_EQ(dialog.seen.claimed, "42");
    EXPECT_EQ(dialog.seen.operators, "UT1AA/P");  // default: the own call
    EXPECT_EQ(dialog.seen.contest, "TALVEN-CUP");
    EXPECT_EQ(dialog.seen.category, "SINGLE-OP ALL HIGH");
    EXPECT_EQ(dialog.seen.arrlSection, "DX");
    EXPECT_EQ(profile.values["SoapBox"], "abc<CR><LF>def");
    EXPECT_EQ(profile.values["Address"], "Street 1<CR><LF>Kyiv");
    EXPECT_EQ(profile.values["Contest"], "TALVEN-CUP");

    // The next prepare shows real line breaks again, and fixes the three values anew.
    profile.values["Category"] = "CHECKLOG";
    dialog.edit = nullptr;
    reset("UT1AA/P", "UR", "EU", 1);
    EXPECT_EQ(dialog.seen.soapbox, "abc\r\ndef");
    EXPECT_EQ(dialog.seen.category, "SINGLE-OP ALL HIGH");
}

TEST_F(Cabrillo, WrittenFileLayout) {
    dialog.edit = [](CabrilloHeader& h) {
        h.soapbox = "abc\r\ndef";
        h.callsign = "UT1AA";
    };
    reset("UT1AA/P", "UR", "EU", 1);
    add(qso("DL1AA", "20m", "RTTY", "1405", "001"));
    add(qso("DL1AA", "20m", "RTTY", "1406", "002"));  // dupe, still written
    add(qso("UT2AA", "80m", "BPSK63", "1407", "XX", "UR"));
    add(qso("DL1AB", "20m", "PSK31", "1408"));  // refused: never written
    plugin->getResult();
    EXPECT_EQ(notifier.shown.back(), "Output|File produced: UT1AA_P.cbr");
    EXPECT_EQ(readFile("UT1AA_P.cbr"),
              "START-OF-LOG: 2.0\r\nARRL-SECTION: DX \r\nCALLSIGN: UT1AA\r\nCATEGORY: SINGLE-OP ALL HIGH\r\n"
              "CLAIMED-SCORE: 1\r\nCLUB: \r\nCONTEST: TALVEN-CUP \r\nCREATED-BY: Orba Orba\r\nNAME: \r\n"
              "ADDRESS: \r\nOPERATORS: UT1AA/P\r\nEMAIL: \r\nSOAPBOX: abc\r\nSOAPBOX: def\r\n"
              "QSO: 14080 RY 2017-12-16 1405 UT1AA         599 001    DL1AA         599 001\r\n"
              "QSO: 14080 RY 2017-12-16 1406 UT1AA         599 001    DL1AA         599 002\r\n"
              "QSO:  3580 PK 2017-12-16 1407 UT1AA         599 001    UT2AA         599 XX\r\n"
              "END-OF-LOG:\r\n");
    // A second result of the same run rewrites the file with each QSO once.
    const std::string first = readFile("UT1AA_P.cbr");
    plugin->getResult();
    EXPECT_EQ(plugin->cabrillo().qsoLines.size(), 3u);
    EXPECT_EQ(readFile("UT1AA_P.cbr"), first);
}

TEST_F(Cabrillo, CancelWritesNothing) {
    dialog.confirm = false;
    reset("UT1AA", "UR", "EU", 1);
    add(qso("DL1AA", "20m", "RTTY", "1405"));
    EXPECT_NE(plugin->getResult().find("Hourly"), std::string::npos);
    EXPECT_FALSE(fileExists("UT1AA.cbr"));
    EXPECT_TRUE(notifier.shown.empty());
    EXPECT_EQ(profile.values.count("SoapBox"), 0u);
}

TEST_F(Cabrillo, AFailedWriteIsReportedAndKeepsTheOldFile) {
    reset("UT1AA", "UR", "EU", 1);
    add(qso("DL1AA", "20m", "RTTY", "1405"));
    for (const bool fullDisk : {true, false}) {
        std::ofstream("UT1AA.cbr") << "previous";
        if (fullDisk) {
            FullDisk full(100);
            plugin->getResult();
        } else {
            chmod("UT1AA.cbr", 0444);  // read-only: Windows would not replace it either
            plugin->getResult();
            chmod("UT1AA.cbr", 0644);
        }
        EXPECT_EQ(notifier.shown.back().rfind("Output|File not produced: UT1AA.cbr could not be written (", 0), 0u)
            << notifier.shown.back();
        EXPECT_EQ(readFile("UT1AA.cbr"), "previous");
        EXPECT_FALSE(temporaryFilesIn("."));
    }
}

TEST_F(Cabrillo, NoStaleOrPlantedNameBlocksOrRedirectsTheExport) {
    reset("UT1AA", "UR", "EU", 1);
    add(qso("DL1AA", "20m", "RTTY", "1405"));
    mkdir("UT1AA.cbr.tmp", 0755);  // left by an older version
    std::ofstream("victim.txt") << "keep";
    ASSERT_EQ(symlink("victim.txt", ".UT1AA.cbr.tmp"), 0);  // planted at a name once used
    plugin->getResult();
    EXPECT_EQ(notifier.shown.back(), "Output|File produced: UT1AA.cbr");
    EXPECT_NE(readFile("UT1AA.cbr").find("DL1AA"), std::string::npos);
    EXPECT_EQ(readFile("victim.txt"), "keep");
    struct stat st;
    ASSERT_EQ(lstat("UT1AA.cbr", &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST_F(Cabrillo, LongValuesDoNotOverflow) {
    const std::string huge(5000, 'Z');
    dialog.edit = [&](CabrilloHeader& h) { h.name = huge; };
    reset(huge, "UR", "EU", 1);
    auto q = qso(huge, "20m", "RTTY", "1405", huge);
    add(q);
    plugin->getResult();
    const std::string file = readFile(huge.substr(0, 200) + ".cbr");  // the name was too long for the file system
    EXPECT_TRUE(file.empty() || file.find("END-OF-LOG:\r\n") != std::string::npos);
    EXPECT_EQ(plugin->cabrillo().qsoLines.back().size(),
              4u + 1 + 5 + 1 + 2 + 1 + 15 + 1 + 5000 + 1 + 3 + 1 + 6 + 1 + 5000 + 1 + 3 + 1 + 5000 + 2);
}
