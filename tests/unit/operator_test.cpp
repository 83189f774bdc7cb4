// The operator windows' decisions without the windows: the watch's host calls, titles,
// per-call grid and area marks; the band-change lamp at given times; the table layout.
#include <initializer_list>
#include <thread>

#include "fake_platform.h"
#include "operator/grid_layout.h"
#include "operator/lamp.h"
#include "operator/placement.h"
#include "operator/texts.h"
#include "operator/watch.h"

namespace {

// Counts the host and window calls the watch makes with the state's lock held. Each of
// them may wait for the host's thread (a COM call, a window's activation messages), and
// that thread may be waiting for the lock: a deadlock that shows only with real windows.
struct LockProbe {
    const ContestState* state = nullptr;
    int callsUnderLock = 0;
    void check() {
        if (!state) return;
        bool free = false;
        std::thread([&] { free = state->lockIsFree(); }).join();
        if (!free) ++callsUnderLock;
    }
} lockProbe;

// The typing host, with every call it gets recorded and checked for the lock.
struct ScriptedHost : TypingHost {
    bool entryField(int field, std::string& text) override {
        return seen("entry" + std::to_string(field)) && TypingHost::entryField(field, text);
    }
    bool frequency(double& hz) override { return seen("frequency") && TypingHost::frequency(hz); }
    bool mode(std::string& text) override { return seen("mode") && TypingHost::mode(text); }
    bool executeMacro(const std::string& macro) override { return seen(macro) && TypingHost::executeMacro(macro); }
    bool seen(const std::string& call) {
        lockProbe.check();
        calls.push_back(call);
        return true;
    }
    std::vector<std::string> calls;
};

struct RecordingGrids : GridWindows {
    bool dxccOpen() override { return dxcc; }
    void openDxcc() override { lockProbe.check(), dxcc = true, ++opened; }
    bool areaOpen() override { return area; }
    void openArea(bool showKrAndSl) override { lockProbe.check(), area = true, krAndSl = showKrAndSl, ++opened; }
    void setDxccTitle(const std::string& t) override { lockProbe.check(), dxccTitle = t; }
    void setAreaTitle(const std::string& t) override { lockProbe.check(), areaTitle = t; }
    void clearAreaMarks() override { marks.clear(); }
    void markAreaWorked(const std::string& code) override { marks.push_back(code); }
    void refreshAreaBoxes() override { ++boxRefreshes; }
    void repaintDxccTable() override { lockProbe.check(), ++repaints; }
    bool dxcc = false, area = false, krAndSl = false;
    int opened = 0, boxRefreshes = 0, repaints = 0;
    std::string dxccTitle, areaTitle;
    std::vector<std::string> marks;
};

class Watch : public PluginTest {
protected:
    ScriptedHost host;
    RecordingGrids grids;
    BandModeWatch watch{plugin->state()};
    Watch() { lockProbe = LockProbe{&plugin->state(), 0}; }
    ~Watch() override {
        EXPECT_EQ(lockProbe.callsUnderLock, 0) << "the watch called the host or a window with the lock held";
        lockProbe = LockProbe{};
    }
    void refresh() {
        flags().refreshPending = false;
        watch.refresh(host, grids, true, true);
    }
};

}  // namespace

TEST(WatchBands, WholeMegahertzOfTheSixBands) {
    const std::pair<double, int> cases[] = {{1000000.0, 0},  {3999999.0, 1},  {4000000.0, -1}, {7040000.0, 2},
                                            {14080000.0, 3}, {21999999.0, 4}, {28500000.0, 5}, {29000000.0, -1},
                                            {0.0, -1},       {-3500000.0, -1}};
    for (const auto& c : cases) EXPECT_EQ(watchBandOfFrequency(c.first), c.second) << c.first;
}

TEST_F(Watch, TheBandBranchTitlesAndMarksTheWorkedMultipliers) {
    reset();
    add(qso("UT1AA", "20m", "RTTY", "1200", "KV", "UR"));
    add(qso("UT2AA", "20m", "RTTY", "1201", "LV", "UR"));
    add(qso("DL1AA", "20m", "BPSK63", "1202"));
    plugin->getResult();
    refresh();
    EXPECT_EQ(grids.opened, 2);
    EXPECT_FALSE(grids.krAndSl);  // not an operator in Ukraine
    EXPECT_EQ(grids.dxccTitle, "RTTY worked DXCC on 20m 1 of 338");
    EXPECT_EQ(grids.areaTitle, "RTTY Working area 2 on 20m ");
    EXPECT_EQ(grids.marks, (std::vector<std::string>{"KV", "LV"}));
    EXPECT_EQ(watch.view().watchedBand, 3);
    EXPECT_TRUE(flags().refreshPending);

    host.hostMode = "BPSK31";  // anything but "RTTY" shows the BPSK63 lists
    refresh();
    EXPECT_EQ(grids.dxccTitle, "BPSK63 worked DXCC on 20m 1 of 338");
    EXPECT_EQ(grids.areaTitle, "BPSK63 Working area 0 on 20m ");
    EXPECT_TRUE(grids.marks.empty());  // every refresh clears the marks first
    EXPECT_EQ(grids.opened, 2);
}

TEST_F(Watch, SendsSp1OnlyAfterARetuneOfMoreThan300Hz) {
    reset();
    struct Step {
        double hertz;
        bool sp1;
    };
    const Step steps[] = {{14080000.0, true},  // the first read after load
                          {14080300.0, false},
                          {14080600.5, true},
                          {4100000.0, true},
                          {4100000.0, false}};
    for (const Step& s : steps) {
        host.calls.clear();
        host.hertz = s.hertz;
        refresh();
        const bool sent = std::find(host.calls.begin(), host.calls.end(), "<SP1>") != host.calls.end();
        EXPECT_EQ(sent, s.sp1) << s.hertz;
        EXPECT_TRUE(flags().refreshPending);
    }
    // Outside the bands the titles and the band stay as they were.
    EXPECT_EQ(watch.view().watchedBand, 3);
    EXPECT_EQ(watch.lastSp1Frequency(), 4100000.0);
}

TEST_F(Watch, ACallBeingTypedShowsWhereItWasWorked) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200", "011"));
    add(qso("DL1AA", "20m", "BPSK63", "1210", "012"));
    add(qso("DL1AA", "40m", "RTTY", "1220", "013"));
    add(qso("DL1AAB", "15m", "RTTY", "1230", "014"));  // a longer call is another station
    host.typed = "DL1AA";
    refresh();
    EXPECT_EQ(grids.dxccTitle, "TALVENA-CUP-2017 worked with DL1AA");
    const auto d = data();
    EXPECT_EQ(d->infoGridRows[3], (std::array<std::string, 5>{"20m", "12:00", "12:10", "012", "   -"}));
    EXPECT_EQ(d->infoGridRows[2], (std::array<std::string, 5>{"40m", "12:20", "   -", "013", "   -"}));
    EXPECT_EQ(d->infoGridRows[4], (std::array<std::string, 5>{"15m", "   -", "   -", "   -", "   -"}));
}

TEST_F(Watch, ShortCallsFailuresAndNoHostLeaveTheWindowsAlone) {
    reset("UT1ZZ", "UR", "EU");
    for (const char* typed : {"U", "UR"}) {
        host.typed = typed;
        refresh();
        EXPECT_TRUE(flags().refreshPending);
        EXPECT_TRUE(grids.dxccTitle.empty());
        EXPECT_EQ(host.calls, (std::vector<std::string>{"entry5"}));
        host.calls.clear();
    }
    EXPECT_TRUE(grids.krAndSl);  // an operator in Ukraine sees KR and SL

    host.typed.clear();
    host.failing = true;
    refresh();
    EXPECT_TRUE(grids.dxccTitle.empty());  // a failed host call abandons the refresh...
    // ...but the next keystrokes ask for another (the grids would otherwise keep showing
    // a call the host no longer has), and a burst of them posts only one.
    windows.running = true;
    CallCheckArgs keystroke;
    keystroke.call = keystroke.stationText = "DL1AB";
    keystroke.mode = "RTTY";
    keystroke.prefix = "DL";
    keystroke.band = "20m";
    for (int i = 0; i < 3; ++i) plugin->checkCall(keystroke);
    EXPECT_EQ(windows.refreshes, 1);
    refresh();
    EXPECT_TRUE(flags().refreshPending);
    windows.running = false;

    host.isBound = false;
    grids = RecordingGrids();
    refresh();
    EXPECT_EQ(grids.opened, 2);  // the windows still open
    EXPECT_TRUE(flags().refreshPending);
    EXPECT_TRUE(grids.dxccTitle.empty());
}

TEST_F(Watch, RussianTitlesInCodePage1251) {
    reset("UT1ZZ", "UR", "EU");
    refresh();
    // "сработано" in code page 1251.
    EXPECT_NE(grids.dxccTitle.find("\xF1\xF0\xE0\xE1\xEE\xF2\xE0\xED\xEE"), std::string::npos) << grids.dxccTitle;
    EXPECT_EQ(grids.areaTitle.substr(0, 6), "RTTY C");  // a Latin C begins the second word
    EXPECT_EQ(companionTitle(true, "2017"), "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE8 TALVENA-CUP-2017");
}

namespace {
class Lamp : public PluginTest {
protected:
    BandChangeLamp lamp;
    LampPaint tickAt(const std::string& hhmmss) { return lamp.tick(plugin->state(), at(hhmmss)); }
};
}  // namespace

TEST_F(Lamp, RedWhileAChangeIsUnderTenMinutesOld) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    add(qso("DL1AB", "40m", "RTTY", "1203"));  // a band change 3 minutes after its predecessor
    struct Tick {
        const char* at;
        LampPaint paint;
    };
    const Tick ticks[] = {{"120300", LampPaint::red},
                          {"120400", LampPaint::none},  // red is not repainted
                          {"120959", LampPaint::none},  // 9:59.0 after 12:00
                          {"121000", LampPaint::green},
                          {"121100", LampPaint::none}};
    for (const Tick& t : ticks) EXPECT_EQ(tickAt(t.at), t.paint) << t.at;
    EXPECT_FALSE(flags().changeWarning);
}

TEST_F(Lamp, GreenAgainWhenTheChangeIsUndoneOrTheLogEmptied) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    add(qso("DL1AB", "40m", "RTTY", "1201"));
    EXPECT_EQ(tickAt("1202"), LampPaint::red);
    plugin->removeData(qso("DL1AB", "40m", "RTTY", "1201"));
    EXPECT_EQ(tickAt("1202"), LampPaint::green);
    EXPECT_FALSE(lamp.red());
    add(qso("DL1AC", "15m", "RTTY", "1203"));
    EXPECT_EQ(tickAt("1204"), LampPaint::red);
    plugin->removeData(qso("DL1AA", "20m", "RTTY", "1200"));
    plugin->removeData(qso("DL1AC", "15m", "RTTY", "1203"));
    EXPECT_EQ(tickAt("1204"), LampPaint::green);  // the log emptied
    EXPECT_EQ(tickAt("1205"), LampPaint::none);
}

TEST_F(Lamp, AReferencePastTheLogsEndIsNeverRead) {
    reset();
    add(qso("DL1AA", "20m", "RTTY", "1200"));
    flags().changeWarning = true;
    flags().lastChangeQsoIndex = 9;
    EXPECT_EQ(tickAt("1201"), LampPaint::green);
    EXPECT_FALSE(flags().changeWarning);
}

TEST(GridLayout, TheDxccListWrapsBeforeTheRightEdgeAndScrolls) {
    const auto wide = dxccListLayout(5, 120);
    ASSERT_EQ(wide.size(), 5u);
    EXPECT_EQ(wide[0].x, 5);
    EXPECT_EQ(wide[1].x, 45);
    EXPECT_EQ(wide[2].x, 5);  // 85 > 120 - 40: a new line
    EXPECT_EQ(wide[2].y, 15);
    for (const TextSpot& s : dxccListLayout(3, 84)) EXPECT_EQ(s.x, 5);  // narrower than 85: one per line
    EXPECT_EQ(dxccListLines(5, 120), 3);
    EXPECT_EQ(dxccListLines(4, 120), 2);  // the line break after the last entry opens no line
    EXPECT_EQ(dxccListLines(0, 120), 0);
    EXPECT_EQ(dxccListVisibleLines(44), 2);  // a line cut at the bottom is not shown whole
    EXPECT_EQ(dxccListVisibleLines(3), 1);
    // Scrolled down two lines: the third line's entries at the top.
    const auto scrolled = dxccListLayout(5, 120, 2);
    EXPECT_EQ(scrolled[4].y, 0);
    EXPECT_EQ(scrolled[0].y, -30);
}

TEST(GridLayout, TheCallGridFitsTheTable) {
    struct Case {
        int width, height, band;
        int rowHeight, highlightTop;
        int columns[4];
    };
    const Case cases[] = {
        {366, 205, 3, 29, 116, {20, 100, 180, 260}},  // the window's first size: today's columns
        {340, 140, 0, 20, 20, {20, 100, 180, 260}},   // just wide enough for them
        {300, 140, 0, 20, 20, {4, 78, 152, 226}},     // narrower: closer, from the left
        {kMinCallGridWidth, kMinCallGridHeight, 3, 17, 68, {4, 66, 128, 190}},
        {200, 70, 0, 17, 17, {4, 66, 128, 190}},  // below the window's least: never closer
    };
    for (const Case& c : cases) {
        const CallGridLayout l = callGridLayout(c.width, c.height, c.band);
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        EXPECT_EQ(l.rowHeight, c.rowHeight);
        EXPECT_EQ(l.highlightTop, c.highlightTop);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(l.columns[i], c.columns[i]);
        // The call sits between the RTTY75 and BPSK63 columns' starts.
        EXPECT_GT(l.callX, l.columns[1]);
        EXPECT_LT(l.callX, l.columns[2]);
        // From the least table up, NR/OBL keeps a whole column's room.
        if (c.width >= kMinCallGridWidth) {
            EXPECT_LE(l.columns[3] + kMinCallGridColumn, c.width);
        }
    }
    EXPECT_FALSE(callGridLayout(300, 70, -1).highlight);
}

TEST(Placement, WindowsOutOfReachComeBackOnTheWorkArea) {
    const ScreenRect work = {0, 0, 1024, 738};  // a 1024 x 768 screen above a task bar
    struct Case {
        const char* what;
        int left, top;     // stored
        int wantX, wantY;  // opened at
    };
    // A 300 x 200 window with a caption bar 25 high.
    const Case cases[] = {
        {"inside", 10, 400, 10, 400},
        {"partly off the left, caption still usable", -200, 100, -200, 100},
        {"partly off the bottom, caption still usable", 500, 700, 500, 700},
        {"on a monitor unplugged to the right", 1500, 100, 724, 100},
        {"on a monitor unplugged to the left", -900, 300, 0, 300},
        {"below the screen", 200, 2000, 200, 538},
        {"caption above the top", 200, -5, 200, 0},
        {"only 40 pixels left on screen", 984, 100, 724, 100},
    };
    for (const Case& c : cases) {
        const ScreenRect placed = placeOnScreen({c.left, c.top, c.left + 300, c.top + 200}, work, 25);
        EXPECT_EQ(placed.left, c.wantX) << c.what;
        EXPECT_EQ(placed.top, c.wantY) << c.what;
        EXPECT_EQ(placed.width(), 300) << c.what;
        EXPECT_EQ(placed.height(), 200) << c.what;
    }
    // Larger than the work area: its top-left corner comes first.
    const ScreenRect big = placeOnScreen({-50, -50, 1950, 1950}, work, 25);
    EXPECT_EQ(big.left, 0);
    EXPECT_EQ(big.top, 0);
}
