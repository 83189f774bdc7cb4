// Damaged input: whatever bytes the readers get, they end with QSOs and issues, never a
// crash or a hang. Mutations of real files, with a fixed seed.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "logs/cty.h"
#include "logs/log.h"

using namespace replay;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Flips, deletes, duplicates and inserts the characters the formats care about.
std::string mutate(std::string text, std::mt19937& rng) {
    static const char kSpecial[] = "<>:;,=/{}()[]~ \n\r\t0123456789QSOEORH-.\xFF";
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        size_t at = rng() % text.size();
        switch (rng() % 5) {
            case 0:
                text[at] = kSpecial[rng() % (sizeof kSpecial - 1)];
                break;
            case 1:
                text.erase(at, 1 + rng() % 40);
                break;
            case 2:
                text.insert(at, 1, kSpecial[rng() % (sizeof kSpecial - 1)]);
                break;
            case 3:
                text.insert(at, text.substr(rng() % text.size(), rng() % 60));
                break;
            case 4:
                text.resize(at);
                break;
        }
    }
    return text;
}

}  // namespace

TEST(ReplayRobustness, MutatedLogsAndCountryFilesNeverBreakTheReaders) {
    const std::string dir = TEST_DATA_DIR;
    const std::string cabrillo = readFile(dir + "/logs/uw1m.log").substr(0, 4000);
    const std::string adif = readFile(dir + "/adif/sample.adi");
    const std::string cty = readFile(dir + "/cty/cty_excerpt.dat").substr(0, 6000);
    ASSERT_FALSE(cabrillo.empty() || adif.empty() || cty.empty());
    std::mt19937 rng(20241214);
    for (int round = 0; round < 1500; ++round) {
        for (bool strict : {false, true}) {
            LogData a, b;
            parseCabrillo(mutate(cabrillo, rng), strict, a);
            parseAdif(mutate(adif, rng), strict, b);
            for (const LogData* log : {&a, &b}) {
                for (const LogIssue& issue : log->issues) EXPECT_FALSE(issue.message.empty());
                for (const Qso& q : log->qsos) EXPECT_TRUE(isValidTimestamp(q.time)) << q.call;
                if (strict) {
                    EXPECT_LE(log->issues.size(), 1u);
                }
            }
        }
        CountryFile file;
        std::string error;
        if (file.parse(mutate(cty, rng), "cty.dat", error)) {
            for (const char* call : {"UT5ABC/P", "DL/UT1AA", "W1AW/4", "KH6KG/W5", "UA3ABC/9", "/", "X/Y/Z/MM"})
                file.resolve(call);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}
