// A Cabrillo export driven through the exports as the host drives it: from a thread
// whose main window is active, the header dialog owned by that window, filled from the
// settings, edited and confirmed; the QSOs added; the file written and announced; then
// a second export cancelled in the dialog.
//
//   cabrillo_export_test.exe PATH\Stats.dll     (run in an empty working folder)
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "resources/resource.h"
#include "stats_library.h"
#include "wine_test.h"

namespace {

const char* const kCaption = "Talvena Radio Cup Contest";
const char* const kSettingsPath = "Plugins\\TALVENA-CUP.ini";

const char* const kCategories[] = {"MULTI-OP ALL LOW",  "MULTI-OP ALL HIGH",  "SINGLE-OP ALL LOW", "SINGLE-OP ALL HIGH",
                                   "SINGLE-OP 80M LOW", "SINGLE-OP 80M HIGH", "SINGLE-OP 40M LOW", "SINGLE-OP 40M HIGH",
                                   "SINGLE-OP 20M LOW", "SINGLE-OP 20M HIGH", "SINGLE-OP 15M LOW", "SINGLE-OP 15M HIGH",
                                   "SINGLE-OP 10M LOW", "SINGLE-OP 10M HIGH", "CHECKLOG"};

const char* const kSections[] = {"DX", "--/--", "AL", "AK", "AZ", "AR", "CA",  "CO", "CT", "DE", "FL", "GA", "ID",
                                 "IL", "IN",    "IA", "KS", "KY", "LA", "ME",  "MA", "MI", "MN", "MS", "MO", "MT",
                                 "NE", "NV",    "NH", "NJ", "NM", "NY", "NC",  "ND", "OH", "OK", "OR", "PA", "RI",
                                 "SC", "SD",    "TN", "TX", "UT", "VT", "VA",  "WA", "WV", "WI", "WY", "NB", "NS",
                                 "QC", "ON",    "MB", "SK", "AB", "BC", "NWT", "NF", "LB", "NU", "YT", "PEI"};

std::string listEntry(HWND combo, int i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutA(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length);
    if (static_cast<LRESULT>(length) == CB_ERR) return "<error>";
    std::string s(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&s[0]), SMTO_ABORTIFHUNG, 5000, &copied);
    s.resize(static_cast<LRESULT>(copied) == CB_ERR ? 0 : copied);
    return s;
}

void checkList(HWND dialog, int id, const char* const* expected, int count, const char* what) {
    HWND combo = GetDlgItem(dialog, id);
    if (!wt::check(combo != nullptr, std::string(what) + " list exists")) return;
    wt::checkEqual(wt::ask(combo, CB_GETCOUNT), count, std::string(what) + " list size");
    for (int i = 0; i < count; ++i)
        wt::checkEqual(listEntry(combo, i), expected[i], std::string(what) + " entry " + std::to_string(i));
}

// The template as the host's operator sees it: kinds of controls and their places.
void checkLayout(HWND dialog) {
    struct Place {
        int id, x, y, w, h;
        bool comboBox;
    };
    const Place places[] = {
        {IDC_CONTEST, 55, 9, 190, 12, false},       {IDC_CALLSIGN, 55, 23, 90, 12, false},
        {IDC_CLAIMED, 184, 23, 61, 12, false},      {IDC_CATEGORY, 56, 41, 89, 139, true},
        {IDC_ARRL_SECTION, 207, 39, 36, 166, true}, {IDC_NAME, 55, 55, 191, 12, false},
        {IDC_ADDRESS, 55, 70, 191, 26, false},      {IDC_OPERATORS, 55, 100, 191, 12, false},
        {IDC_CLUB, 55, 115, 191, 12, false},        {IDC_SOAPBOX, 55, 130, 191, 31, false},
        {IDC_EMAIL, 55, 165, 191, 12, false},       {IDOK, 80, 185, 51, 21, false},
        {IDCANCEL, 145, 185, 46, 21, false},
    };
    for (const Place& p : places) {
        HWND c = GetDlgItem(dialog, p.id);
        const std::string name = "control " + std::to_string(p.id);
        if (!wt::check(c != nullptr, name + " exists")) continue;
        RECT expected{p.x, p.y, p.x + p.w, p.y + p.h};
        MapDialogRect(dialog, &expected);
        RECT actual;
        GetWindowRect(c, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        // A closed drop-down list is only as tall as its edit field.
        const bool placed = std::abs(actual.left - expected.left) <= 1 && std::abs(actual.top - expected.top) <= 1 &&
                            std::abs(actual.right - expected.right) <= 1 &&
                            (p.comboBox || std::abs(actual.bottom - expected.bottom) <= 1);
        wt::check(placed, name + " at its place in dialog units");
    }
    RECT client, size{0, 0, 255, 213};
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &size);
    wt::check(std::abs(client.right - size.right) <= 1 && std::abs(client.bottom - size.bottom) <= 1,
              "dialog is 255 x 213 units");

    for (int id : {IDC_CATEGORY, IDC_ARRL_SECTION}) {
        const LONG style = GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE);
        wt::check((style & 3) == CBS_DROPDOWN, "list " + std::to_string(id) + " has an edit field");
        wt::check((style & CBS_SORT) == 0, "list " + std::to_string(id) + " keeps its order");
    }
    for (int id : {IDC_ADDRESS, IDC_SOAPBOX}) {
        const LONG style = GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE);
        const LONG wanted = ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL;
        wt::check((style & wanted) == wanted, "edit " + std::to_string(id) + " is multi-line, Enter, scroll bar");
    }
}

std::string item(HWND dialog, int id) { return wt::text(GetDlgItem(dialog, id)); }

const StatsLibrary::Qso kQsos[] = {
    {"UT1AA/P", "UR5ABC", oleTime(kDec16_2017, 14, 5), 14085000, "RTTY", "599", "001", "599", "KI", "UR", "EU", "20m"},
    {"UT1AA/P", "W1AW", oleTime(kDec16_2017, 14, 12), 14071000, "BPSK63", "599", "002", "599", "004", "K", "NA", "20m"},
    {"UT1AA/P", "DL2XYZ", oleTime(kDec16_2017, 15, 30), 7040000, "RTTY", "599", "003", "599", "017", "DL", "EU", "40m"},
};

// Runs GetResult0 on a worker; the "Output" box is expected or not. The summary text.
std::string result(const StatsLibrary& lib, bool expectBox, const char* expectedText) {
    std::string summary;
    int shown = 0;
    wt::Worker worker([&] {
        const char* r = lib.getResult(&shown);
        summary = r ? r : "<null>";
    });
    if (expectBox) {
        HWND box = wt::waitForDialog("Output", 10000, &worker);
        if (wt::check(box != nullptr, "GetResult0 shows the \"Output\" box")) {
            wt::checkEqual(wt::messageBoxText(box), expectedText, "Output box text");
            wt::check(wt::pressAndWaitClosed(box, IDOK, 5000), "the Output box closes with OK");
        }
    } else if (!worker.wait(10000)) {
        // A message box would hold the call: find it, report it and let the call end.
        HWND box = wt::waitForDialog(nullptr, 1000);
        wt::check(box == nullptr, "no message box after a cancelled export: " + (box ? wt::messageBoxText(box) : ""));
        if (box) wt::pressAndWaitClosed(box, IDOK, 5000);
    }
    wt::check(worker.wait(5000), "GetResult0 returns");
    wt::checkEqual(shown, -1, "GetResult0 sets the host's int to -1");
    return summary;
}

// The host's side of an export: ResetStats0 called from a thread whose main window is
// active, as the host calls it from its window's thread; what that thread saw.
struct HostSide {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> activeBefore{false};
    std::atomic<bool> enabledAfter{false};
    int resetResult = 0;
};

std::function<void()> exportFromHost(const StatsLibrary& lib, const std::string& hostFolder, HostSide& host) {
    return [&lib, &hostFolder, &host] {
        const OleDateTime start = oleTime(kDec16_2017, 0, 0), end = oleTime(kDec17_2017, 23, 59);
        HWND main = wt::createHostWindow("Orba");
        host.activeBefore = main && GetActiveWindow() == main;
        host.window = main;
        host.resetResult = lib.reset(hostFolder.c_str(), 1, "UT1AA/P", &start, &end, "DL", "EU");
        host.enabledAfter = main && IsWindowEnabled(main);
        if (main) DestroyWindow(main);
    };
}

// While the dialog is open the host's window owns it and takes no input.
void checkOwnedByHost(HWND dialog, const HostSide& host) {
    HWND main = host.window;
    wt::check(host.activeBefore, "the host's window was active on the calling thread");
    wt::check(main && GetWindow(dialog, GW_OWNER) == main, "the dialog is owned by the host's window");
    wt::check(main && !IsWindowEnabled(main), "the host's window is disabled while the dialog is open");
}

std::string settingsWithout(const std::string& key) {
    std::string bytes, kept;
    wt::readFile(kSettingsPath, bytes);
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        end = end == std::string::npos ? bytes.size() : end + 1;
        const std::string line = bytes.substr(pos, end - pos);
        if (line.compare(0, key.size() + 1, key + "=") != 0) kept += line;
        pos = end;
    }
    return kept;
}

void confirmedExport(const StatsLibrary& lib, const std::string& hostFolder) {
    HostSide host;
    wt::Worker worker(exportFromHost(lib, hostFolder, host));
    HWND dialog = wt::waitForDialog(kCaption, 10000, &worker);
    if (!wt::check(dialog != nullptr, "the header dialog opens during ResetStats0")) return;

    checkOwnedByHost(dialog, host);
    checkLayout(dialog);
    checkList(dialog, IDC_CATEGORY, kCategories, 15, "category");
    checkList(dialog, IDC_ARRL_SECTION, kSections, 64, "section");
    HWND category = GetDlgItem(dialog, IDC_CATEGORY), section = GetDlgItem(dialog, IDC_ARRL_SECTION);
    wt::checkEqual(wt::ask(category, CB_GETCURSEL), 3, "category selection");
    wt::checkEqual(wt::text(category), "SINGLE-OP ALL HIGH", "category shown");
    wt::checkEqual(wt::ask(section, CB_GETCURSEL), 0, "section selection");
    wt::checkEqual(wt::text(section), "DX", "section shown");
    wt::checkEqual(item(dialog, IDC_CONTEST), "TALVEN-CUP", "contest shown");
    wt::checkEqual(item(dialog, IDC_CALLSIGN), "UT1AA/P", "own call shown");
    wt::checkEqual(item(dialog, IDC_OPERATORS), "UT1AA/P", "operators default to the own call");
    wt::checkEqual(item(dialog, IDC_CLAIMED), "", "no claimed score saved yet");
    wt::checkEqual(item(dialog, IDC_SOAPBOX), "", "empty soapbox at first");

    wt::check(wt::setText(GetDlgItem(dialog, IDC_SOAPBOX), "abc\r\ndef"), "soapbox typed");
    wt::check(wt::setText(GetDlgItem(dialog, IDC_CALLSIGN), "UT2ZZ"), "call sign changed");
    wt::check(wt::setText(GetDlgItem(dialog, IDC_OPERATORS), ""), "operators cleared");
    wt::checkEqual(item(dialog, IDC_SOAPBOX), "abc\r\ndef", "the soapbox keeps CR LF");
    wt::check(wt::pressAndWaitClosed(dialog, IDOK, 5000), "OK closes the dialog");
    wt::check(worker.wait(5000), "ResetStats0 returns after OK");
    wt::checkEqual(host.resetResult, 1, "ResetStats0 result");
    wt::check(host.enabledAfter, "the host's window is enabled again after OK");

    std::string settings;
    wt::check(wt::readFile(kSettingsPath, settings), "settings file written");
    for (const char* line :
         {"SoapBox=abc<CR><LF>def\r\n", "Operators=\r\n", "Category=SINGLE-OP ALL HIGH\r\n", "Contest=TALVEN-CUP\r\n"})
        wt::check(settings.find(line) != std::string::npos,
                  "settings have " + wt::visible(line) + " in: " + wt::visible(settings));

    for (const auto& q : kQsos) wt::checkEqual(lib.add(q), 1, std::string("AddData0 of ") + q.call);
    const std::string summary = result(lib, true, "File produced: UT1AA_P.cbr");
    wt::check(summary.find("Score = 9 * ( 3 + 1) = 36 \r\n") != std::string::npos,
              "score in the summary: " + wt::visible(summary));
    wt::check(summary.find("Hourly") == std::string::npos, "no rate block during an export");

    const std::string expected =
        "START-OF-LOG: 2.0\r\n"
        "ARRL-SECTION: DX \r\n"
        "CALLSIGN: UT2ZZ\r\n"
        "CATEGORY: SINGLE-OP ALL HIGH\r\n"
        "CLAIMED-SCORE: 36\r\n"
        "CLUB: \r\n"
        "CONTEST: TALVEN-CUP \r\n"
        "CREATED-BY: Orba Orba\r\n"
        "NAME: \r\n"
        "ADDRESS: \r\n"
        "OPERATORS: \r\n"
        "EMAIL: \r\n"
        "SOAPBOX: abc\r\n"
        "SOAPBOX: def\r\n"
        "QSO: 14085 RY 2017-12-16 1405 UT2ZZ         599 001    UR5ABC        599 KI\r\n"
        "QSO: 14071 PK 2017-12-16 1412 UT2ZZ         599 002    W1AW          599 004\r\n"
        "QSO:  7040 RY 2017-12-16 1530 UT2ZZ         599 003    DL2XYZ        599 017\r\n"
        "END-OF-LOG:\r\n";
    std::string cabrillo;
    if (wt::check(wt::readFile("UT1AA_P.cbr", cabrillo), "UT1AA_P.cbr written (named after the original call)"))
        wt::checkEqual(cabrillo, expected, "UT1AA_P.cbr byte for byte");
    wt::check(!wt::fileExists("UT2ZZ.cbr"), "no file named after the changed call");
}

void cancelledExport(const StatsLibrary& lib, const std::string& hostFolder) {
    DeleteFileA("UT1AA_P.cbr");
    const std::string settingsBefore = settingsWithout("Start");
    HostSide host;
    wt::Worker worker(exportFromHost(lib, hostFolder, host));
    HWND dialog = wt::waitForDialog(kCaption, 10000, &worker);
    if (!wt::check(dialog != nullptr, "the header dialog opens again")) return;
    checkOwnedByHost(dialog, host);
    // What the first run saved comes back.
    wt::checkEqual(item(dialog, IDC_SOAPBOX), "abc\r\ndef", "saved soapbox shown with its line break");
    wt::checkEqual(item(dialog, IDC_CALLSIGN), "UT1AA/P", "own call shown again");
    wt::checkEqual(item(dialog, IDC_OPERATORS), "UT1AA/P", "empty saved operators give the own call");
    wt::checkEqual(item(dialog, IDC_CLAIMED), "36", "claimed score of the last result shown");
    wt::setText(GetDlgItem(dialog, IDC_SOAPBOX), "changed but cancelled");
    wt::check(wt::pressAndWaitClosed(dialog, IDCANCEL, 5000), "CANCEL closes the dialog");
    wt::check(worker.wait(5000), "ResetStats0 returns after Cancel");
    wt::checkEqual(host.resetResult, 1, "ResetStats0 result after Cancel");
    wt::check(host.enabledAfter, "the host's window is enabled again after Cancel");
    wt::checkEqual(settingsWithout("Start"), settingsBefore, "settings unchanged by Cancel");

    for (const auto& q : kQsos) lib.add(q);
    const std::string summary = result(lib, false, nullptr);
    wt::check(!wt::fileExists("UT1AA_P.cbr") && !wt::fileExists("UT2ZZ.cbr"), "no Cabrillo file after Cancel");
    wt::check(summary.find("\r\nHourly (10min) QSO rate:     1 (6) QSOs/hour\r\n") != std::string::npos,
              "the summary has the rate block again: " + wt::visible(summary));
}

}  // namespace

int main(int argc, char** argv) {
    return runWithStats(90, argc, argv, [](StatsLibrary& lib) {
        // The plug-in reads and writes its settings there but never creates the folder.
        CreateDirectoryA("Plugins", nullptr);
        // No Orba2.ini in the host folder: the host's version reads "Orba".
        const std::string hostFolder = wt::currentFolder() + "\\";
        confirmedExport(lib, hostFolder);
        cancelledExport(lib, hostFolder);
    });
}
