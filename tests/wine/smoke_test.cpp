// Stats.dll loaded the way the host loads it: every export bound by both names, the
// simple answers, the exchange rule, the host's date-time layout, a short log, hostile
// null arguments, the setup message box and the version resource.
//
//   smoke_test.exe PATH\Stats.dll        (run in an empty working folder)
#include <cstdint>
#include <cstring>

#include "stats_library.h"
#include "wine_test.h"

namespace {

void bothNames(HMODULE module) {
    wt::checkEqual(kExportNameCount, 11, "exports.list has 11 entries");
    for (int i = 0; i < kExportNameCount; ++i) {
        const ExportName& n = kExportNames[i];
        FARPROC plain = GetProcAddress(module, n.plain);
        FARPROC decorated = GetProcAddress(module, n.decorated);
        wt::check(plain != nullptr, std::string("plain name bound: ") + n.plain);
        wt::check(decorated != nullptr, std::string("decorated name bound: ") + n.decorated);
        wt::check(plain == decorated, std::string("both names are one function: ") + n.plain);
    }
}

void simpleAnswers(const StatsLibrary& lib) {
    wt::checkEqual(lib.getNumberOfSets(), 1, "GetNumberOfSets");
    const char* names[] = {lib.getSetName(0), lib.getSetName(1), lib.getSetName(-1)};
    wt::check(names[0] && names[1] && names[2], "GetSetName never returns null");
    if (names[0] && names[1] && names[2]) {
        wt::checkEqual(names[0], "TALVEN-CUP", "GetSetName(0)");
        wt::checkEqual(names[1], "", "GetSetName(1)");
        wt::checkEqual(names[2], "", "GetSetName(-1)");
    }
    wt::checkEqual(lib.getExchgCount("DL1ABC", "RTTY", "20m"), 1, "GetExchgCount0");
    wt::checkEqual(lib.getExchgCount(nullptr, nullptr, nullptr), 1, "GetExchgCount0 with nulls");
}

void exchangeRule(const StatsLibrary& lib) {
    struct Case {
        const char* exchange;
        const char* prefix;
        int expected;
    };
    const Case cases[] = {
        {"599", "DL", 0},   {"0599", "DL", 1}, {"001", "DL", 1}, {"1234", "UR", 1},  {"KI", "UR", 1},
        {"ki", "UR", 0},    {"KI ", "UR", 0},  {"KI", "DL", 0},  {"XX", "UR", 0},    {"12", "DL", 0},
        {"12345", "DL", 0}, {"", "UR", 0},     {"12a", "DL", 0}, {nullptr, "UR", 0}, {"KI", nullptr, 0},
    };
    for (const Case& c : cases) {
        const int got = lib.isValidExchg(c.exchange, "RTTY", c.prefix, "20m", 0, 0, 0);
        wt::checkEqual(got, c.expected,
                       std::string("IsValidExchg0(\"") + (c.exchange ? c.exchange : "<null>") + "\", prefix " +
                           (c.prefix ? c.prefix : "<null>") + ")");
    }
}

void shortLog(const StatsLibrary& lib) {
    CreateDirectoryA("Plugins", nullptr);
    const OleDateTime start = oleTime(kDec16_2017, 0, 0), end = oleTime(kDec17_2017, 23, 59);
    wt::checkEqual(lib.reset(".\\", 0, "DL1ABC", &start, &end, "DL", "EU"), 1, "ResetStats0");

    const StatsLibrary::Qso qsos[] = {
        {"DL1ABC", "UR5ABC", oleTime(kDec16_2017, 14, 5), 14085000, "RTTY", "599", "001", "599", "KI", "UR", "EU",
         "20m"},
        {"DL1ABC", "W1AW", oleTime(kDec16_2017, 14, 12), 14071000, "BPSK63", "599", "002", "599", "004", "K", "NA",
         "20m"},
        // Refused: no such band in this contest.
        {"DL1ABC", "F5XX", oleTime(kDec16_2017, 14, 20), 1830000, "RTTY", "599", "003", "599", "005", "F", "EU",
         "160m"},
    };
    const int expected[] = {1, 1, 0};
    for (int i = 0; i < 3; ++i)
        wt::checkEqual(lib.add(qsos[i]), expected[i], std::string("AddData0 of ") + qsos[i].call);

    int shown = 12345;
    const char* result = lib.getResult(&shown);
    wt::checkEqual(shown, -1, "GetResult0 sets the host's int to -1");
    wt::check(result != nullptr, "GetResult0 returns a text");
    if (!result) return;
    const std::string text = result;
    const std::string head = "\tTALVEN-CUP Contest 16.12-17.12.2017 \r\n\t     Contestant: DL1ABC\r\n";
    wt::checkEqual(text.substr(0, head.size()), head, "summary starts with title and contestant");
    wt::check(text.find("Total\t 2\t ") != std::string::npos,
              "summary counts the 2 accepted QSOs: " + wt::visible(text));
    wt::check(text.find("Hourly (10min) QSO rate:") != std::string::npos, "summary has the rate block");

    // Once the host has announced itself the summary is HTML.
    wt::checkEqual(static_cast<long long>(lib.setVersion("2.21")), 0, "setVersion returns 0");
    const char* html = lib.getResult(nullptr);
    wt::check(html && std::strncmp(html, "<html>", 6) == 0, "after setVersion the summary is HTML");
}

// The host (an MSVC program) lays its date-time out in 16 bytes: the day count at 0, the
// status at 8, padding after it. Blocks built byte by byte that way, with filler in the
// padding, must read as the dates they hold, and a status 1 (invalid) at offset 8 as no
// date at all.
void hostDateLayout(const StatsLibrary& lib) {
    wt::checkEqual(static_cast<long long>(sizeof(OleDateTime)), 16, "sizeof(OleDateTime) as the host has it");
    struct HostBlock {
        alignas(8) unsigned char bytes[16];
        HostBlock(double days, int32_t status) {
            std::memset(bytes, 0xA5, sizeof bytes);
            std::memcpy(bytes, &days, sizeof days);
            std::memcpy(bytes + 8, &status, sizeof status);
        }
        const OleDateTime* get() const { return reinterpret_cast<const OleDateTime*>(bytes); }
    };
    const HostBlock start(kDec16_2017, 0), end(kDec17_2017 + 0.5, 0), invalidEnd(kDec17_2017, 1);
    const struct Case {
        const HostBlock* end;
        const char* title;
        const char* report;
    } cases[] = {
        {&end, "\tTALVEN-CUP Contest 16.12-17.12.2017 ", "BadQSO_StatsTALVENCP_17_12_2017.txt"},
        {&invalidEnd, "\tTALVEN-CUP Contest 16.12- ", "BadQSO_StatsTALVENCP_.txt"},
    };
    for (const Case& c : cases) {
        lib.reset(".\\", 0, "DL1ABC", start.get(), c.end->get(), "DL", "EU");
        const char* text = lib.getResult(nullptr);
        const std::string got = text ? text : "";
        wt::checkEqual(got.substr(0, got.find('\r')), c.title, "title from host-shaped date-times");
        wt::check(wt::fileExists(c.report), std::string("report named after the end date: ") + c.report);
    }
}

// Every pointer the host could pass as null, at once.
void nullArguments(const StatsLibrary& lib) {
    wt::checkEqual(
        lib.resetStats(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, nullptr, nullptr),
        1, "ResetStats0 with null texts and dates");
    lib.addData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0.0,
                0.0, nullptr, nullptr, nullptr, nullptr, nullptr);
    // A QSO whose date-time is null but everything else is valid gets logged and later formatted.
    StatsLibrary::Qso q{"DL1ABC", "OK1XYZ", {}, 14085000, "RTTY", "599", "010", "599", "020", "OK", "EU", "20m"};
    lib.addData(q.ownCall, q.call, nullptr, nullptr, nullptr, nullptr, 0, q.frequencyHz, q.mode, q.rstSent,
                q.rstReceived, q.exchangeSent, q.exchangeReceived, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                nullptr, nullptr, nullptr, q.prefix, 0, 0, 0, 0.0, 0.0, nullptr, q.continent, nullptr, q.band, nullptr);
    lib.removeData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0,
                   0, 0, 0.0, 0.0, nullptr, nullptr, nullptr, nullptr, nullptr);
    lib.checkCall(nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr, nullptr);
    // Real buffers with null texts: whatever is written stays inside 100 bytes and is terminated.
    char hint[100], warning[100];
    std::memset(hint, 'x', sizeof hint);
    std::memset(warning, 'x', sizeof warning);
    lib.checkCall("OK1XYZ", 0, 0, "RTTY", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr, "OK", 0, 0, 0, 0.0, 0.0, nullptr, nullptr, nullptr, nullptr, nullptr, "20m", nullptr, hint,
                  warning);
    wt::check((hint[0] == 'x' || std::memchr(hint, '\0', sizeof hint)) &&
                  (warning[0] == 'x' || std::memchr(warning, '\0', sizeof warning)),
              "CheckCall0 leaves its buffers untouched or terminated");
    lib.getExchgCount(nullptr, nullptr, nullptr);
    lib.isValidExchg(nullptr, nullptr, nullptr, nullptr, 0, 0, 0);
    lib.setVersion(nullptr);
    lib.getResult(nullptr);
    const char* again = lib.getResult(nullptr);
    wt::check(again != nullptr, "GetResult0(null) still returns a text");
    wt::check(true, "no export crashed on null arguments");
}

// The companion windows that the scoring runs above opened (this folder keeps no
// settings, so every run opens one, on a thread of its own, a moment later): closed, so
// that the only dialog left is the box.
std::vector<HWND> companionWindows() {
    return wt::findWindows({GetCurrentProcessId(), "#32770", "Setup TALVENA-CUP", true, false});
}

void closeCompanionWindows() {
    ULONGLONG quietSince = GetTickCount64();
    while (GetTickCount64() - quietSince < 700) {
        for (HWND w : companionWindows()) {
            PostMessageW(w, WM_CLOSE, 0, 0);
            wt::waitClosed(w, 5000);
            quietSince = GetTickCount64();
        }
        Sleep(50);
    }
}

void setupMessageBox(const StatsLibrary& lib) {
    closeCompanionWindows();
    wt::Worker worker([&] { lib.setupSet(); });
    HWND box = wt::waitForDialog(nullptr, 10000, &worker);
    if (!wt::check(box != nullptr, "SetupSet0 shows a message box")) return;
    wt::checkEqual(wt::messageBoxText(box), "No additional setup for this contest", "setup message text");
    wt::check(wt::pressAndWaitClosed(box, IDOK, 5000), "the setup box closes with its OK button");
    wt::check(worker.wait(5000), "SetupSet0 returns once the box is closed");
}

std::string versionValue(const void* data, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(data, path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "<none>";
    return std::string(value);
}

void versionResource(const std::string& dllPath) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(dllPath.c_str(), &ignored);
    if (!wt::check(size > 0, "Stats.dll has version information")) return;
    std::string data(size, '\0');
    if (!wt::check(GetFileVersionInfoA(dllPath.c_str(), 0, size, &data[0]) != 0, "version information readable"))
        return;
    wt::checkEqual(versionValue(data.data(), "FileDescription"), "TALVEN-CUP contest statistics for Orba",
                   "FileDescription");
    wt::checkEqual(versionValue(data.data(), "ProductName"), "Stats", "ProductName");
}

}  // namespace

int main(int argc, char** argv) {
    return runWithStats(60, argc, argv, [](StatsLibrary& lib) {
        bothNames(lib.module.get());
        simpleAnswers(lib);
        exchangeRule(lib);
        hostDateLayout(lib);
        shortLog(lib);
        nullArguments(lib);
        setupMessageBox(lib);
        versionResource(lib.path);
    });
}
