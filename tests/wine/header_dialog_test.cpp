// The Cabrillo header dialog through its seam, with values an export never brings:
// how the lists pick their entry, typed list values, long and multi-line texts,
// Cancel or the close box leaving everything as it was, and which window owns it
// when the calling thread has none or has a dialog of its own open.
#include <atomic>

#include "platform/win32_platform.h"
#include "resources/resource.h"
#include "wine_test.h"

namespace {

const char* const kCaption = "Talvena Radio Cup Contest";

// Opens the dialog with `values` on a worker, lets `drive` work on it, and returns
// what run() answered (false too when the dialog never showed).
bool session(CabrilloHeader& values, const char* name, void (*drive)(HWND dialog)) {
    bool confirmed = false;
    wt::Worker worker([&] {
        Win32HeaderDialog dialog;
        confirmed = dialog.run(values);
    });
    HWND dialog = wt::waitForDialog(kCaption, 10000, &worker);
    if (!wt::check(dialog != nullptr, std::string(name) + ": dialog opens")) return false;
    wt::check(GetWindow(dialog, GW_OWNER) == nullptr, std::string(name) + ": no window on the thread, no owner");
    drive(dialog);
    wt::check(wt::waitClosed(dialog, 5000), std::string(name) + ": dialog closed");
    wt::check(worker.wait(5000), std::string(name) + ": run() returns");
    return confirmed;
}

HWND control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void pickByPrefix() {
    CabrilloHeader v;
    v.category = "single-op 40";
    v.arrlSection = "n";
    const bool ok = session(v, "prefix", [](HWND d) {
        wt::checkEqual(wt::ask(control(d, IDC_CATEGORY), CB_GETCURSEL), 6, "lower-case prefix picks SINGLE-OP 40M LOW");
        wt::checkEqual(wt::text(control(d, IDC_CATEGORY)), "SINGLE-OP 40M LOW", "category edit field");
        wt::checkEqual(wt::ask(control(d, IDC_ARRL_SECTION), CB_GETCURSEL), 26, "\"n\" picks the first N entry, NE");
        wt::pressAndWaitClosed(d, IDOK, 5000);
    });
    wt::check(ok, "prefix: OK confirms");
    wt::checkEqual(v.category, "SINGLE-OP 40M LOW", "prefix: the full entry comes back");
    wt::checkEqual(v.arrlSection, "NE", "prefix: section comes back");
}

void valuesOutsideTheLists() {
    CabrilloHeader v;
    v.category = "QRP";
    v.arrlSection = "xx";
    const bool ok = session(v, "no entry", [](HWND d) {
        wt::checkEqual(wt::ask(control(d, IDC_CATEGORY), CB_GETCURSEL), CB_ERR, "unknown category selects nothing");
        wt::checkEqual(wt::text(control(d, IDC_CATEGORY)), "QRP", "unknown category in the edit field");
        wt::checkEqual(wt::text(control(d, IDC_ARRL_SECTION)), "xx", "unknown section in the edit field");
        wt::setText(control(d, IDC_CATEGORY), "SINGLE-OP ALL QRP");
        wt::pressAndWaitClosed(d, IDOK, 5000);
    });
    wt::check(ok, "no entry: OK confirms");
    wt::checkEqual(v.category, "SINGLE-OP ALL QRP", "a typed category is taken");
    wt::checkEqual(v.arrlSection, "xx", "a section outside the list is kept");
}

CabrilloHeader unusualValues() {
    CabrilloHeader v;
    v.callsign = "UT1AA/P";
    v.name = std::string(5000, 'N') + "!";
    v.address = "Line one\r\nLine two\r\n" + std::string(3000, 'a');
    v.claimed = "123456";
    v.contest = "TALVEN-CUP";
    v.arrlSection = "PE";
    v.email = "op@example.org";
    v.club = "\xD0\xE0\xE4\xE8\xEE\xEA\xEB\xF3\xE1";  // 8-bit text passes untouched
    v.soapbox = "first\r\n\r\nthird";
    v.operators = "UT1AA UT2ZZ";
    v.category = "CHECKLOG";
    return v;
}

void longAndMultiLineTexts() {
    CabrilloHeader v = unusualValues();
    const CabrilloHeader sent = v;
    const bool ok = session(v, "texts", [](HWND d) {
        wt::checkEqual(wt::text(control(d, IDC_ADDRESS)), unusualValues().address, "address shown with its breaks");
        wt::checkEqual(wt::ask(control(d, IDC_ARRL_SECTION), CB_GETCURSEL), 63, "\"PE\" picks PEI");
        wt::pressAndWaitClosed(d, IDOK, 5000);
    });
    wt::check(ok, "texts: OK confirms");
    wt::checkEqual(v.callsign, sent.callsign, "call sign round trip");
    wt::checkEqual(v.name, sent.name, "5001-character name round trip");
    wt::checkEqual(v.address, sent.address, "multi-line address round trip");
    wt::checkEqual(v.claimed, sent.claimed, "claimed round trip");
    wt::checkEqual(v.contest, sent.contest, "contest round trip");
    wt::checkEqual(v.arrlSection, "PEI", "section becomes the entry");
    wt::checkEqual(v.email, sent.email, "e-mail round trip");
    wt::checkEqual(v.club, sent.club, "8-bit club round trip");
    wt::checkEqual(v.soapbox, sent.soapbox, "soapbox with an empty line round trip");
    wt::checkEqual(v.operators, sent.operators, "operators round trip");
    wt::checkEqual(v.category, sent.category, "category round trip");
}

bool sameValues(const CabrilloHeader& a, const CabrilloHeader& b) {
    return a.callsign == b.callsign && a.name == b.name && a.address == b.address && a.claimed == b.claimed &&
           a.contest == b.contest && a.arrlSection == b.arrlSection && a.email == b.email && a.club == b.club &&
           a.soapbox == b.soapbox && a.operators == b.operators && a.category == b.category;
}

void editAll(HWND d) {
    for (int id : {IDC_CONTEST, IDC_CALLSIGN, IDC_CLAIMED, IDC_CATEGORY, IDC_ARRL_SECTION, IDC_NAME, IDC_ADDRESS,
                   IDC_OPERATORS, IDC_CLUB, IDC_SOAPBOX, IDC_EMAIL})
        wt::setText(control(d, id), "edited");
}

void cancelLeavesValues() {
    CabrilloHeader v = unusualValues();
    v.category = "";
    v.arrlSection = "";
    const CabrilloHeader sent = v;
    const bool cancelled = session(v, "cancel", [](HWND d) {
        // Every entry begins with the empty text: the first one is taken.
        wt::checkEqual(wt::ask(control(d, IDC_CATEGORY), CB_GETCURSEL), 0, "empty category picks the first entry");
        editAll(d);
        wt::check(wt::pressAndWaitClosed(d, IDCANCEL, 5000), "CANCEL closes");
    });
    wt::check(!cancelled, "cancel: run() answers false");
    wt::check(sameValues(v, sent), "cancel: values untouched");

    const bool closed = session(v, "close box", [](HWND d) {
        editAll(d);
        DWORD_PTR r = 0;
        SendMessageTimeoutA(d, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    });
    wt::check(!closed, "close box: run() answers false");
    wt::check(sameValues(v, sent), "close box: values untouched");
}

// A window active on another thread of the process is not the caller's: it must not
// become the owner, nor be disabled.
void otherThreadsWindow() {
    HWND other = wt::createHostWindow("Another thread's window");
    CabrilloHeader v;
    wt::Worker worker([&] { Win32HeaderDialog().run(v); });
    HWND dialog = wt::waitForDialog(kCaption, 10000, &worker);
    if (wt::check(dialog != nullptr, "other thread: dialog opens")) {
        wt::check(GetWindow(dialog, GW_OWNER) == nullptr, "other thread: its window does not own the dialog");
        wt::check(IsWindowEnabled(other) != FALSE, "other thread: its window stays enabled");
        wt::pressAndWaitClosed(dialog, IDCANCEL, 5000);
    }
    wt::check(worker.wait(5000), "other thread: run() returns");
    DestroyWindow(other);
}

// The host runs the export from a modal dialog of its own: that dialog is the active
// window and owns ours; its main window stays disabled under it all along.
void hostDialogOpen() {
    std::atomic<HWND> hostDialog{nullptr};
    std::atomic<bool> hostDialogEnabledAfter{false}, mainEnabledAfter{true};
    CabrilloHeader v;
    wt::Worker worker([&] {
        HWND main = wt::createHostWindow("Orba");
        HWND own = wt::createHostWindow("Export", main);
        EnableWindow(main, FALSE);
        hostDialog = own;
        Win32HeaderDialog().run(v);
        hostDialogEnabledAfter = IsWindowEnabled(own) != FALSE;
        mainEnabledAfter = IsWindowEnabled(main) != FALSE;
        DestroyWindow(own);
        DestroyWindow(main);
    });
    HWND dialog = wt::waitForDialog(kCaption, 10000, &worker);
    if (wt::check(dialog != nullptr, "host dialog: dialog opens")) {
        HWND own = hostDialog;
        wt::check(own && GetWindow(dialog, GW_OWNER) == own, "host dialog: the host's active dialog owns ours");
        wt::check(own && !IsWindowEnabled(own), "host dialog: the host's dialog is disabled meanwhile");
        wt::pressAndWaitClosed(dialog, IDOK, 5000);
    }
    wt::check(worker.wait(5000), "host dialog: run() returns");
    wt::check(hostDialogEnabledAfter, "host dialog: the host's dialog is enabled again");
    wt::check(!mainEnabledAfter, "host dialog: the main window stays disabled under the host's dialog");
}

}  // namespace

int main() {
    return wt::run(60, [] {
        pickByPrefix();
        valuesOutsideTheLists();
        longAndMultiLineTexts();
        cancelLeavesValues();
        otherThreadsWindow();
        hostDialogOpen();
    });
}
