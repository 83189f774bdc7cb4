// Placing calls with the country file: exact calls, prefixes, overrides and portables.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "logs/cty.h"
#include "logs/log.h"

using namespace replay;

namespace {

const CountryFile& excerpt() {
    static CountryFile file = [] {
        CountryFile f;
        std::string error;
        EXPECT_TRUE(f.load(std::string(TEST_DATA_DIR) + "/cty/cty_excerpt.dat", error)) << error;
        return f;
    }();
    return file;
}

struct Case {
    const char* call;
    const char* prefix;
    const char* continent;
};

void expectPlaces(const CountryFile& cty, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        const CtyResult r = cty.resolve(c.call);
        EXPECT_EQ(r.prefix, c.prefix) << c.call << " (" << r.entity << ")";
        EXPECT_EQ(r.continent, c.continent) << c.call;
    }
}

}  // namespace

TEST(CtyResolve, PrefixesAndExactCalls) {
    expectPlaces(excerpt(), {
                                {"UT5ABC", "UR", "EU"},
                                {"EM1HO", "UR", "EU"},
                                {"UZ2I", "UR", "EU"},
                                {"ut5abc", "UR", "EU"},
                                {"DL1ABC", "DL", "EU"},
                                {"DA0HQ", "DL", "EU"},
                                {"OK1XYZ", "OK", "EU"},
                                {"9A1A", "9A", "EU"},
                                {"K4WW", "K", "NA"},
                                {"AA1K", "K", "NA"},
                                {"KH6KG", "KH6", "OC"},
                                {"KL7SB", "KL", "NA"},
                                {"RA9AA", "UA9", "AS"},
                                {"R9AA", "UA9", "AS"},
                                {"RA3AA", "UA", "EU"},
                                {"UA2FM", "UA2", "EU"},
                                {"OH0Z", "OH0", "EU"},
                                {"OH2BH", "OH", "EU"},
                                {"JA1XYZ", "JA", "AS"},
                                {"VP2EE", "VP2E", "NA"},
                                {"3D2AA", "3D2", "OC"},
                                {"TA2BX", "TA", "AS"},
                                {"GM4FDM", "GM", "EU"},
                                {"JW5E", "JW", "EU"},
                                // Exact calls beat the prefix that would otherwise match.
                                {"AA7DI", "KH6", "OC"},
                                {"3D2C", "3D2/c", "OC"},
                                {"TA1BX/2", "TA", "AS"},
                                {"KT5X/US0Q", "UR", "EU"},
                            });
}

// Entities marked '*' are on the WAE list only: their calls count for the DXCC entity
// that contains them, while the continent stays the one the full list gives.
TEST(CtyResolve, WaeOnlyEntitiesCountForTheirDxccEntity) {
    expectPlaces(
        excerpt(),
        {
            // A prefix of a WAE entity: the longest DXCC prefix of the call.
            {"IT9XYZ", "I", "EU"},
            {"IQ9BF", "I", "EU"},
            {"IR9K", "I", "EU"},  // Sicily
            {"TA1BX", "TA", "EU"},
            {"TC1A", "TA", "EU"},
            {"YM1KE", "TA", "EU"},  // European Turkey
            {"IG9A", "I", "AF"},
            {"IH9P", "I",
             "AF"},  // African Italy
                     // An exact call of a WAE entity that a DXCC entity lists too: that DXCC entity,
                     // not the first entity to list it nor the longest prefix (4U is Italy's, G England's).
            {"4U1A", "OE", "EU"},
            {"4U1VIC", "OE", "EU"},  // Vienna Intl Ctr
            {"GB3LER", "GM", "EU"},
            {"G0FBJ", "GM", "EU"},  // Shetland
                                    // An exact call that only the WAE entity lists: the longest DXCC prefix of the
                                    // call, with the continent of the WAE listing.
            {"MM0ZAL", "GM", "EU"},
            {"2M0ZET", "GM", "EU"},  // Shetland
            {"JW1I", "JW", "EU"},
            {"JW/LB2PG", "JW", "EU"},  // Bear Island
            {"IO9Y", "I", "AF"},
            {"IY9A", "I", "AF"},
            {"IO9ZZ", "I", "EU"},  // African Italy; Sicily
            {"TA2AKG/1", "TA", "EU"},
            {"TC100A", "TA", "EU"},    // European Turkey
            {"IT9CKA/CA", "I", "EU"},  // listed as it is: "/CA" is no move to Chile
                                       // Portables: the WAE prefix that places the station counts for its DXCC entity.
            {"IT9XYZ/P", "I", "EU"},
            {"DL1ABC/IT9", "I", "EU"},
            {"IG9/DL1ABC", "I", "AF"},
            {"TA1/DL1ABC", "TA", "EU"},
            {"TA1BX/P", "TA", "EU"},
            {"4U1A/P", "OE", "EU"},
            {"MM0ZAL/P", "GM", "EU"},
            {"TA2BX/1", "TA", "EU"},
        });
    // The entity named is the one counted.
    EXPECT_EQ(excerpt().resolve("IT9XYZ").entity, "Italy");
    EXPECT_EQ(excerpt().resolve("4U1A").entity, "Austria");
    EXPECT_EQ(excerpt().resolve("TA1BX").entity, "Asiatic Turkey");
    // Sicily and Italy are one multiplier, as are European and Asiatic Turkey.
    EXPECT_EQ(excerpt().resolve("IT9XYZ").prefix, excerpt().resolve("I1XYZ").prefix);
    EXPECT_EQ(excerpt().resolve("TA1BX").prefix, excerpt().resolve("TA7I").prefix);
}

TEST(CtyResolve, WaeOnlyEntitiesInAHandWrittenFile) {
    const std::string text =
        "Waeland:                  20:  39:  EU:   41.00:   -28.00:    -2.0:  *DD1:\n"
        "    DD1,WW,=DD2XX{AF},=OT1ZZ,=DD3YY;\n"
        "Dxland:                   20:  39:  AS:   39.00:   -35.00:    -2.0:  DD:\n"
        "    DD,WW{OC},=DD3YY{OC};\n"
        "Otherland:                14:  27:  EU:   46.00:    -2.00:    -1.0:  OT:\n"
        "    OT;\n"
        "Islandia:                 14:  27:  EU:   46.00:    -2.00:    -1.0:  *QQ9:\n"
        "    QQ9,=QQ8A;\n";
    CountryFile cty;
    std::string error;
    ASSERT_TRUE(cty.parse(text, "test.dat", error)) << error;
    EXPECT_EQ(cty.entityCount(), 4u);
    expectPlaces(cty, {
                          {"DD1AA", "DD", "EU"},
                          {"DD2AA", "DD", "AS"},  // WAE prefix; DXCC prefix
                          {"DD2XX", "DD", "AF"},  // exact WAE call keeps its override
                          {"OT1ZZ", "OT", "EU"},  // exact WAE call: the DXCC entity of its longest prefix
                          {"DD3YY", "DD", "EU"},  // listed by both: the continent of the first listing
                          {"WW1A", "DD", "EU"},   // prefix listed by both: the DXCC entity, the first continent
                          // No DXCC entity covers it: the WAE entity is all the file knows.
                          {"QQ9AA", "QQ9", "EU"},
                          {"QQ8A", "QQ9", "EU"},
                          {"QQ8B", "", ""},
                      });
}

TEST(CtyResolve, PortableCalls) {
    expectPlaces(excerpt(), {
                                // How the station operates says nothing about where.
                                {"UT5ABC/P", "UR", "EU"},
                                {"DL1ABC/M", "DL", "EU"},
                                {"K4WW/QRP", "K", "NA"},
                                {"OK1XYZ/A", "OK", "EU"},
                                {"K4WW/AM", "K", "NA"},
                                {"M1SJE/P", "G", "EU"},
                                {"AA7DI/P", "KH6", "OC"},  // exact call under a suffix
                                                           // A location prefix on either side wins.
                                {"DL/UT1AA", "DL", "EU"},
                                {"UT1AA/DL", "DL", "EU"},
                                {"KH6KG/W5", "K", "NA"},
                                {"W5/KH6KG", "K", "NA"},
                                {"OH2BH/OH0", "OH0", "EU"},
                                {"F/DL1ABC/P", "F", "EU"},
                                {"VP2E/K1ABC", "VP2E", "NA"},
                                // A lone digit is a new call area; US calls stay where they are.
                                {"UA3ABC/9", "UA9", "AS"},
                                {"RA9AA/3", "UA", "EU"},
                                {"IT9XYZ/4", "I", "EU"},
                                {"JA1XYZ/6", "JA", "AS"},
                                {"W1AW/4", "K", "NA"},
                                {"KH6KG/4", "KH6", "OC"},
                                {"KL7SB/1", "KL", "NA"},
                                // Maritime mobile has no country, unless the file lists the call itself.
                                {"UT5ABC/MM", "", ""},
                                {"DL1ABC/MM/P", "", ""},
                                {"UR3IDD/MM", "UR", "EU"},
                                // Nothing known: empty.
                                {"", "", ""},
                                {"/", "", ""},
                                {"ZZ9ZZ", "", ""},
                                {"QQ/UT5ABC", "UR", "EU"},
                            });
    EXPECT_TRUE(excerpt().resolve("UT5ABC/MM").maritime);
    EXPECT_FALSE(excerpt().resolve("ZZ9ZZ").maritime);
}

TEST(CtyResolve, OverridesInTheAliasList) {
    const std::string text =
        "Testland:                 20:  39:  AS:   41.00:   -28.00:    -2.0:  *TT:\n"
        "    TT,TT1(20)[39]{EU}<41.0/-28.9>~-2.0~,=TT2XX{AF}(33),\n"
        "    =TT3YY/P[37];\n"
        "Other Land:               14:  27:  EU:   46.00:    -2.00:    -1.0:  OL:\n"
        "    OL;\n";
    CountryFile cty;
    std::string error;
    ASSERT_TRUE(cty.parse(text, "test.dat", error)) << error;
    EXPECT_EQ(cty.entityCount(), 2u);
    expectPlaces(cty, {{"TT5AA", "TT", "AS"},
                       {"TT1AA", "TT", "EU"},
                       {"TT2XX", "TT", "AF"},
                       {"TT2XY", "TT", "AS"},
                       {"TT3YY/P", "TT", "AS"},
                       {"OL1A", "OL", "EU"}});
}

TEST(CtyResolve, BrokenCountryFilesAreRefusedWithALineNumber) {
    struct Bad {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "no entities"},
        {"just some text\n", "fewer than 8"},
        {"Testland: 20: 39: AS: 41.0: -28.0: -2.0: TT:\n    TT,TT1\n", "not closed by ';'"},
        {"Okland: 14: 27: EU: 1: 2: 3: OL:\n  OL;\nTestland: 20: 39: 41.0: -28.0: -2.0: TT:\n    TT;\n", "test.dat:3:"},
        {"Testland: 20: 39: ASIA: 41.0: -28.0: -2.0: TT:\n    TT;\n", "continent"},
        {" : 20: 39: AS: 41.0: -28.0: -2.0: TT:\n    TT;\n", "without a name"},
    };
    for (const Bad& c : cases) {
        CountryFile cty;
        std::string error;
        EXPECT_FALSE(cty.parse(c.text, "test.dat", error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_FALSE(cty.resolve("TT1AA").found());
    }
    CountryFile cty;
    std::string error;
    EXPECT_FALSE(cty.load(std::string(TEST_DATA_DIR) + "/cty/no_such_file.dat", error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

// The full community file, as Debian's hamradio-files installs it, on every call of the
// sample logs.
TEST(CtyResolve, EveryCallOfTheRealLogsWithTheInstalledFile) {
    const std::string path = defaultCtyPath("");
    if (!std::ifstream(path)) GTEST_SKIP() << path << " not installed";
    CountryFile cty;
    std::string error;
    ASSERT_TRUE(cty.load(path, error)) << error;
    EXPECT_GT(cty.entityCount(), 340u);
    std::set<std::string> unplaced;
    size_t calls = 0;
    for (const char* file : {"7k4vpv.log", "9a1a.log", "ab1j.log", "uw1m.log"}) {
        LogData log;
        ASSERT_TRUE(readLogFile(std::string(TEST_DATA_DIR) + "/logs/" + file, false, log, error)) << error;
        for (const Qso& q : log.qsos) {
            ++calls;
            const CtyResult r = cty.resolve(q.call);
            if (!r.found())
                unplaced.insert(q.call);
            else
                EXPECT_EQ(r.continent.size(), 2u) << q.call;
            // No call counts for an entity on the WAE list only.
            for (const char* wae : {"IT9", "TA1", "4U1V", "IG9", "JW/b", "GM/s"}) EXPECT_NE(r.prefix, wae) << q.call;
        }
    }
    EXPECT_GT(calls, 7000u);
    EXPECT_LE(unplaced.size(), 3u) << *unplaced.begin();
    expectPlaces(cty, {{"UW1M", "UR", "EU"},
                       {"9A1A", "9A", "EU"},
                       {"7K4VPV", "JA", "AS"},
                       {"AB1J", "K", "NA"},
                       {"J6/NG7E", "J6", "NA"},
                       {"KP4/K6DTT", "KP4", "NA"},
                       {"TB7BIY/QRP", "TA", "AS"},
                       {"IT9RGY/4", "I", "EU"},
                       // WAE-only entities count for their DXCC entity; the continent stays.
                       {"IT9ACJ", "I", "EU"},
                       {"IR9K", "I", "EU"},
                       {"4U1A", "OE", "EU"},
                       {"TA1BX", "TA", "EU"},
                       {"IG9A", "I", "AF"},
                       {"IO9Y", "I", "AF"},
                       {"JW1I", "JW", "EU"},
                       {"MM0ZAL", "GM", "EU"},
                       {"GB3LER", "GM", "EU"},
                       {"TA2AKG/1", "TA", "EU"},
                       {"IT9CKA/CA", "I", "EU"}});
}
