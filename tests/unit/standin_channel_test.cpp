// The stand-in host's control channel: commands split into words, replies escaped and
// read back, and the plug-in's exports called through it (here with the native library).
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "standin/plugin_driver.h"
#include "standin/protocol.h"

using namespace standin;

TEST(StandInChannel, CommandsSplitIntoWords) {
    const Request r = parseRequest("Reset  UT1AA - EU 2017-12-16T1200 2017-12-17T1159 0 C:\\Orba folder\\  \r\n");
    EXPECT_EQ(r.verb, "reset");
    ASSERT_EQ(r.words.size(), 8u);
    EXPECT_EQ(r.word(0), "UT1AA");
    EXPECT_EQ(r.word(1), "") << "\"-\" is an empty word";
    EXPECT_EQ(r.word(9), "") << "a word that is not there";
    EXPECT_EQ(r.after(6), "C:\\Orba folder\\") << "the rest of the line keeps its inner spaces";
    EXPECT_EQ(r.after(8), "");
    EXPECT_EQ(parseRequest("mode -").after(0), "");
    EXPECT_EQ(parseRequest("mode  BPSK 63").after(0), "BPSK 63");
    EXPECT_EQ(parseRequest("   ").verb, "");
    EXPECT_EQ(parseRequest("quit").words.size(), 0u);
}

TEST(StandInChannel, FieldsEscapeWhatWouldBreakTheLine) {
    struct Case {
        std::string text, escaped;
    };
    const Case cases[] = {
        {"plain \xC6 text", "plain \xC6 text"},  {"a\tb", "a\\tb"},
        {"line\r\nnext", "line\\r\\nnext"},      {"back\\slash", "back\\\\slash"},
        {std::string("nul\0x", 5), "nul\\x00x"}, {"\x1b\x7f", "\\x1B\\x7F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapeField(c.text), c.escaped);
        std::string back;
        EXPECT_TRUE(unescapeField(c.escaped, back));
        EXPECT_EQ(back, c.text);
    }
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string back;
    ASSERT_TRUE(unescapeField(escapeField(all), back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(escapeField(all).find_first_of("\t\r\n"), std::string::npos);
    for (const char* bad : {"ends with \\", "\\q", "\\x4", "\\xZZ"}) EXPECT_FALSE(unescapeField(bad, back)) << bad;
}

TEST(StandInChannel, RepliesReadBack) {
    Reply r;
    ASSERT_TRUE(parseReply(okReply(), r));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.fields.empty());
    ASSERT_TRUE(parseReply(okReply({"2", "", "hint\twith tab\r\n"}) + "\r\n", r));
    EXPECT_EQ(r.fields, (std::vector<std::string>{"2", "", "hint\twith tab\r\n"}));
    ASSERT_TRUE(parseReply(errorReply("no plug-in\nloaded"), r));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.fields, std::vector<std::string>{"no plug-in\nloaded"});
    for (const char* notReply : {"", "okay", "ready pid=1 window=0x1", "error", "ok a\\q"})
        EXPECT_FALSE(parseReply(notReply, r)) << notReply;
}

namespace {

class StandInDriver : public InTempFolder {
protected:
    Reply run(const std::string& line) {
        Reply r;
        const std::string reply = driver.run(parseRequest(line));
        EXPECT_TRUE(parseReply(reply, r)) << reply;
        return r;
    }
    std::vector<std::string> ok(const std::string& line) {
        const Reply r = run(line);
        EXPECT_TRUE(r.ok) << line << ": " << (r.fields.empty() ? "" : r.fields[0]);
        return r.fields;
    }
    void refused(const std::string& line, const std::string& why) {
        const Reply r = run(line);
        EXPECT_FALSE(r.ok) << line;
        ASSERT_EQ(r.fields.size(), 1u);
        EXPECT_NE(r.fields[0].find(why), std::string::npos) << line << ": " << r.fields[0];
    }
    PluginDriver driver;
};

const char* const kQso = "QSO: 14080 RY 2017-12-16 1300 UT1AA 599 KV DL1ABC 599 001";

}  // namespace

TEST_F(StandInDriver, ExportsThroughTheChannel) {
    EXPECT_TRUE(PluginDriver::handles("check"));
    EXPECT_FALSE(PluginDriver::handles("mode"));
    refused("result", "no plug-in is loaded");
    refused("load", "give the path");
    refused("load /no/such/libStats.so", "cannot load the plug-in");
    EXPECT_FALSE(driver.loaded());

    ok(std::string("load ") + STATS_LIBRARY_PATH);
    EXPECT_TRUE(driver.loaded());
    refused(std::string("load ") + STATS_LIBRARY_PATH, "unload it first");
    refused("reset UT1AA UR EU 2017-12-16T1200", "give CALL PREFIX");
    refused("reset UT1AA UR EU 2017-12-16T1200 yesterday", "reset: ");
    refused("reset UT1AA UR EU 2017-12-16T1200 2017-12-17T1159 2", "EXPORT is 0 or 1");
    EXPECT_EQ(ok("reset UT1AA UR EU 2017-12-16T1200 2017-12-17T1159 0 ./"), std::vector<std::string>{"1"});

    EXPECT_EQ(ok(std::string("add DL EU ") + kQso), std::vector<std::string>{"1"});
    EXPECT_EQ(ok("add DL EU QSO: 1830 RY 2017-12-16 1302 UT1AA 599 KV DL2ABC 599 002"), std::vector<std::string>{"0"})
        << "160 m is outside the contest";
    refused("add DL EU QSO: 14080 RY 2017-12-16", "QSO line has");
    refused("add DL", "give PREFIX CONTINENT");

    std::vector<std::string> check = ok("check DL1ABC 20m RTTY DL");
    ASSERT_EQ(check.size(), 3u);
    EXPECT_EQ(check[0], "0") << "dupe";
    check = ok("check OK1AB 20m RTTY OK");
    ASSERT_EQ(check.size(), 3u);
    EXPECT_EQ(check[0], "2") << "a new country is a new multiplier";
    refused("check DL1ABC 20m", "give CALL BAND MODE PREFIX");

    const std::vector<std::string> result = ok("result");
    ASSERT_EQ(result.size(), 2u);
    EXPECT_NE(result[1].find("20m"), std::string::npos) << result[1];

    EXPECT_EQ(ok(std::string("remove DL EU ") + kQso), std::vector<std::string>{"1"});
    EXPECT_NE(ok("check DL1ABC 20m RTTY DL")[0], "0") << "no dupe once removed";

    ok("unload");
    EXPECT_FALSE(driver.loaded());
    refused("check DL1ABC 20m RTTY DL", "no plug-in is loaded");
    ok(std::string("load ") + STATS_LIBRARY_PATH);  // and again, as after a restart of the host
    ok("unload");
}
