// The plug-in's client of the host's object: how results become values, no host at all,
// every member read and a macro sent from a thread of another process and from a second
// thread inside the host's process while the host's thread pumps, Cyrillic both ways, and
// a host that fails, answers a wrong type or goes away while bound.
//
//   host_client_test.exe PATH\Stats.dll      (orba-standin.exe lies beside it)
#include <string>

#include "automation/host_object.h"
#include "standin_host.h"
#include "wine_test.h"

namespace {

using automation::HostStatus;

std::string gBin;

const char* const kCall1251 = "UR5\xC6\xC6";              // UR5ЖЖ
const char* const kMacro1251 = "<\xCC\xC0\xCA\xD0\xCE>";  // <МАКРО>

std::string status(HostStatus s) {
    switch (s) {
        case HostStatus::ok:
            return "ok";
        case HostStatus::notBound:
            return "not bound";
        case HostStatus::callFailed:
            return "call failed";
        case HostStatus::wrongType:
            return "wrong type";
    }
    return "?";
}

// How a member's result becomes text or a number.
void resultConversions() {
    win32::Bstr text = win32::makeBstr(L"BPSK\u0416");
    BSTR textRef = text.get();
    double eight = 8.5;
    struct Case {
        const char* what;
        VARTYPE type;
        HostStatus asText;
        HostStatus asNumber;
    };
    const Case cases[] = {
        {"string", VT_BSTR, HostStatus::ok, HostStatus::wrongType},
        {"string by reference", VT_BSTR | VT_BYREF, HostStatus::ok, HostStatus::wrongType},
        {"empty", VT_EMPTY, HostStatus::ok, HostStatus::wrongType},
        {"null", VT_NULL, HostStatus::ok, HostStatus::wrongType},
        {"double", VT_R8, HostStatus::wrongType, HostStatus::ok},
        {"double by reference", VT_R8 | VT_BYREF, HostStatus::wrongType, HostStatus::ok},
        {"32-bit integer", VT_I4, HostStatus::wrongType, HostStatus::ok},
        {"boolean", VT_BOOL, HostStatus::wrongType, HostStatus::wrongType},
        {"object", VT_DISPATCH, HostStatus::wrongType, HostStatus::wrongType},
    };
    for (const Case& c : cases) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = c.type;
        switch (c.type) {
            case VT_BSTR:
                V_BSTR(&v) = text.get();
                break;
            case VT_BSTR | VT_BYREF:
                V_BSTRREF(&v) = &textRef;
                break;
            case VT_R8:
                V_R8(&v) = 8.5;
                break;
            case VT_R8 | VT_BYREF:
                V_R8REF(&v) = &eight;
                break;
            case VT_I4:
                V_I4(&v) = 8;
                break;
            case VT_BOOL:
                V_BOOL(&v) = VARIANT_TRUE;
                break;
            case VT_DISPATCH:
                V_DISPATCH(&v) = nullptr;
                break;
        }
        std::string s = "unchanged";
        double d = -1;
        wt::checkEqual(status(automation::textFromResult(v, s)), status(c.asText), std::string("as text: ") + c.what);
        wt::checkEqual(status(automation::numberFromResult(v, d)), status(c.asNumber),
                       std::string("as number: ") + c.what);
        if (c.asText == HostStatus::ok)
            wt::checkEqual(s, c.type & VT_BSTR ? "BPSK\xC6" : "", std::string("text of ") + c.what);
        if (c.asText != HostStatus::ok) wt::checkEqual(s, "unchanged", std::string("no text from ") + c.what);
        if (c.asNumber == HostStatus::ok) wt::check(d == 8.5 || d == 8.0, std::string("number of ") + c.what);
        // Only the client's own copies were made: `v` still refers to ours.
    }
}

// No host: "not bound" at once, and every member says so.
void noHost() {
    wt::Worker worker([] {
        automation::HostObject host;
        const DWORD t0 = GetTickCount();
        const automation::HostCall bound = host.bind();
        const DWORD took = GetTickCount() - t0;
        wt::checkEqual(status(bound.status), "not bound", "no host: bind");
        wt::check(took < 1000, "no host: bind answers within a second (" + std::to_string(took) + " ms)");
        wt::check(!host.bound(), "no host: nothing held");
        wt::checkEqual(status(host.mode().call.status), "not bound", "no host: Mode");
        wt::checkEqual(status(host.frequency().call.status), "not bound", "no host: Frequency");
        wt::checkEqual(status(host.entryField(5).call.status), "not bound", "no host: GetEntryField");
        wt::checkEqual(status(host.executeMacros("<SP1>").status), "not bound", "no host: ExecuteMacros");
        wt::checkEqual(automation::describe(host.executeMacros("x")).substr(0, 9), "not bound", "no host: described");
    });
    wt::check(worker.wait(10000), "no host: the thread ends");
}

// From a thread of this process: a process other than the host's.
void otherProcess(wt::StandInHost& host) {
    host.commandOk(std::string("field 5 ") + kCall1251);
    wt::Worker worker([&host] {
        automation::HostObject client;
        if (!wt::check(client.bind().ok(), "other process: bound")) return;
        const auto mode = client.mode();
        wt::check(mode.ok() && mode.value == "BPSK63", "other process: Mode");
        const auto frequency = client.frequency();
        wt::check(frequency.ok() && frequency.value == 14083500.0, "other process: Frequency");
        const auto call = client.entryField(automation::kCallEntryField);
        wt::check(call.ok(), "other process: GetEntryField(5) answers");
        wt::checkEqual(call.value, kCall1251, "other process: the typed Cyrillic call as code page 1251");
        const auto other = client.entryField(4);
        wt::check(other.ok() && other.value.empty(), "other process: an empty field is the empty text");
        wt::check(client.executeMacros("<SP1>").ok(), "other process: ExecuteMacros");
        wt::check(client.executeMacros(kMacro1251).ok(), "other process: a Cyrillic macro");
        wt::check(host.waitForMacros(2, 2000), "other process: both macros arrive");
        const std::vector<std::string> macros = host.macros();
        wt::check(macros.size() == 2 && macros[0] == "<SP1>" && macros[1] == kMacro1251,
                  "other process: the macros as sent, in order");

        // Each read asks the host again.
        host.commandOk("mode RTTY");
        const auto again = client.mode();
        wt::check(again.ok() && again.value == "RTTY", "other process: a changed Mode is read anew");

        host.commandOk("fault error");
        for (const automation::HostCall c :
             {client.mode().call, client.frequency().call, client.entryField(5).call, client.executeMacros("<SP1>")})
            wt::check(c.status == HostStatus::callFailed && c.code == E_FAIL,
                      "fault error: the host's error comes back: " + automation::describe(c));
        host.commandOk("fault wrong-type");
        const auto wrongMode = client.mode();
        wt::check(
            wrongMode.call.status == HostStatus::wrongType && wrongMode.call.code == VT_I4 && wrongMode.value.empty(),
            "fault wrong-type: Mode as a number is a wrong type");
        wt::checkEqual(status(client.frequency().call.status), "wrong type", "fault wrong-type: Frequency");
        wt::checkEqual(status(client.entryField(5).call.status), "wrong type", "fault wrong-type: GetEntryField");
        host.commandOk("fault none");
        wt::check(client.mode().ok(), "fault none: answers again");
        wt::check(client.bind().ok() && client.bound(), "other process: binding again replaces the binding");
    });
    wt::check(worker.wait(20000), "other process: the thread ends");
}

// Inside the host's process, on a thread of the plug-in, while the host's thread pumps.
void insideTheHost(wt::StandInHost& host) {
    const std::string probe = wt::programFolder() + "\\client_probe.dll";
    host.commandOk("load " + probe);
    host.commandOk("mode BPSK63");
    const size_t before = host.macros().size();
    const std::vector<std::string> reset = host.commandOk("reset UT1AA UR EU 2017-12-16T1200 2017-12-17T1159");
    wt::check(reset == std::vector<std::string>{"1"}, "inside: the export runs on the host's main thread");
    std::vector<std::string> result;
    const DWORD t0 = GetTickCount();
    do {
        result = host.commandOk("result");
    } while (result.size() == 2 && result[0] == "0" && GetTickCount() - t0 < 10000 && (Sleep(20), true));
    wt::check(result.size() == 2 && result[0] == "1", "inside: the plug-in's thread finishes");
    if (result.size() == 2)
        wt::checkEqual(result[1],
                       std::string("bound=ok mode=BPSK63 frequency=14083500.0 call=") + kCall1251 + " macro=ok",
                       "inside: every member read from the plug-in's thread");
    wt::check(host.waitForMacros(before + 1, 2000) && host.macros().back() == "<SP1>", "inside: the macro arrives");
    host.commandOk("unload");
}

// A host that goes while the client holds it: the calls fail, quickly. Bound and called
// on one thread, as the client wants.
void hostGone(wt::StandInHost& host) {
    const win32::KernelHandle bound(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const win32::KernelHandle gone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    wt::Worker worker([&] {
        automation::HostObject client;
        wt::check(client.bind().ok(), "gone: bound");
        SetEvent(bound.get());
        WaitForSingleObject(gone.get(), 10000);
        const DWORD t0 = GetTickCount();
        const auto mode = client.mode();
        const DWORD took = GetTickCount() - t0;
        wt::checkEqual(status(mode.call.status), "call failed", "gone: Mode fails");
        wt::check(took < 5000, "gone: within five seconds (" + std::to_string(took) + " ms)");
        wt::checkEqual(status(client.executeMacros("<SP1>").status), "call failed", "gone: ExecuteMacros fails");
    });
    WaitForSingleObject(bound.get(), 10000);
    wt::check(host.quit(), "gone: the host ends");
    SetEvent(gone.get());
    wt::check(worker.wait(20000), "gone: the calls return");
}

}  // namespace

int main(int argc, char** argv) {
    return wt::run(90, argc, argv, [](const std::string& dll) {
        gBin = wt::folderOf(dll);
        resultConversions();
        noHost();
        wt::StandInHost host;
        if (wt::check(host.start(gBin, L"--mode BPSK63 --frequency 14083500"), "stand-in starts")) {
            otherProcess(host);
            insideTheHost(host);
            hostGone(host);
        }
    });
}
