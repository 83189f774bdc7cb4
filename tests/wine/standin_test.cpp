// The stand-in host on its own, as its clients meet it: the object found by its ProgID,
// its members by name and by dispatch id (and what it refuses), its state from the command
// line and the control channel, faults on request, the macro record, the plug-in driven
// on its main thread, and every way it ends.
//
//   standin_test.exe PATH\Stats.dll      (orba-standin.exe lies beside it)
#include <objbase.h>

#include <string>

#include "standin_host.h"
#include "wine_test.h"

namespace {

std::string gBin, gDll;

// U+0416 twice: "UR5ЖЖ", and its code page 1251 bytes.
const wchar_t* const kCyrillicCallWide = L"UR5\u0416\u0416";
const char* const kCyrillicCall1251 = "UR5\xC6\xC6";

win32::ComPtr<IDispatch> runningHost(HRESULT* failure = nullptr) {
    win32::ComPtr<IDispatch> host;
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Orba2.Application", &clsid);
    win32::ComPtr<IUnknown> running;
    if (SUCCEEDED(hr)) hr = GetActiveObject(clsid, nullptr, running.put());
    if (SUCCEEDED(hr)) hr = running.queryTo(IID_IDispatch, host);
    if (failure) *failure = hr;
    return host;
}

std::wstring wideOf(const VARIANT& v) {
    return V_VT(&v) == VT_BSTR && V_BSTR(&v) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : std::wstring();
}

std::string hex(HRESULT hr) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%08lX", static_cast<unsigned long>(hr));
    return b;
}

struct Call {
    const char* what;
    DISPID id;
    WORD flags;
    VARTYPE argumentType;  // VT_EMPTY: no argument
    const wchar_t* text;   // the argument, when a string
    long number;           // the argument, when a number
    HRESULT expected;
    VARTYPE resultType;
};

HRESULT invoke(IDispatch* host, const Call& c, win32::Variant& result) {
    win32::Variant argument;
    if (c.argumentType == VT_BSTR) {
        V_VT(argument.get()) = VT_BSTR;
        V_BSTR(argument.get()) = SysAllocString(c.text);
    } else if (c.argumentType == VT_I4) {
        V_VT(argument.get()) = VT_I4;
        V_I4(argument.get()) = c.number;
    }
    DISPPARAMS p{argument.get(), nullptr, c.argumentType == VT_EMPTY ? 0u : 1u, 0};
    win32::ExcepInfo exception;
    UINT bad = 0;
    return host->Invoke(c.id, IID_NULL, LOCALE_USER_DEFAULT, c.flags, &p, result.put(), exception.put(), &bad);
}

void objectAnswers() {
    wt::StandInHost host;
    const std::wstring args = L"--mode BPSK63 --frequency 7035000.5 --call " + std::wstring(kCyrillicCallWide);
    if (!wt::check(host.start(gBin, args), "object: stand-in starts")) return;
    wt::checkEqual(wt::className(host.window()).substr(0, 18), "Afx:400000:b:10011", "object: the host's window class");
    HRESULT hr = S_OK;
    const win32::ComPtr<IDispatch> object = runningHost(&hr);
    if (!wt::check(bool(object), "object: bound by ProgID (" + hex(hr) + ")")) return;

    struct Name {
        const wchar_t* name;
        HRESULT expected;
        DISPID id;
    };
    const Name names[] = {{L"ExecuteMacros", S_OK, 16},
                          {L"mode", S_OK, 7},
                          {L"FREQUENCY", S_OK, 2},
                          {L"GetEntryField", S_OK, 8},
                          {L"Exit", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN}};
    for (const Name& n : names) {
        DISPID id = 0;
        LPOLESTR one[] = {const_cast<LPOLESTR>(n.name)};
        const HRESULT got = object->GetIDsOfNames(IID_NULL, one, 1, LOCALE_USER_DEFAULT, &id);
        const std::string what = "object: id of " + wt::visible(std::string(n.name, n.name + wcslen(n.name)));
        wt::checkEqual(got, n.expected, what + " answers");
        wt::checkEqual(id, n.id, what);
    }

    const WORD get = DISPATCH_PROPERTYGET, method = DISPATCH_METHOD, put = DISPATCH_PROPERTYPUT;
    const Call calls[] = {
        {"Mode", 7, get, VT_EMPTY, nullptr, 0, S_OK, VT_BSTR},
        {"Mode read as late binding does", 7, method | get, VT_EMPTY, nullptr, 0, S_OK, VT_BSTR},
        {"Frequency", 2, get, VT_EMPTY, nullptr, 0, S_OK, VT_R8},
        {"GetEntryField(5)", 8, method, VT_I4, nullptr, 5, S_OK, VT_BSTR},
        {"GetEntryField(\"5\") converts", 8, method, VT_BSTR, L"5", 0, S_OK, VT_BSTR},
        {"GetEntryField(4) is empty", 8, method, VT_I4, nullptr, 4, S_OK, VT_BSTR},
        {"ExecuteMacros", 16, method, VT_BSTR, L"<SP1>", 0, S_OK, VT_EMPTY},
        {"ExecuteMacros with a number", 16, method, VT_I4, nullptr, 42, S_OK, VT_EMPTY},
        {"ExecuteMacros without its text", 16, method, VT_EMPTY, nullptr, 0, DISP_E_BADPARAMCOUNT, VT_EMPTY},
        {"GetEntryField(\"x\")", 8, method, VT_BSTR, L"x", 0, DISP_E_TYPEMISMATCH, VT_EMPTY},
        {"Mode with an argument", 7, get, VT_I4, nullptr, 1, DISP_E_BADPARAMCOUNT, VT_EMPTY},
        {"Mode written", 7, put, VT_BSTR, L"RTTY", 0, DISP_E_MEMBERNOTFOUND, VT_EMPTY},
        {"ExecuteMacros read as a property", 16, get, VT_BSTR, L"<SP1>", 0, DISP_E_MEMBERNOTFOUND, VT_EMPTY},
        {"dispatch id 3", 3, method | get, VT_EMPTY, nullptr, 0, DISP_E_MEMBERNOTFOUND, VT_EMPTY},
        {"dispatch id 0", 0, get, VT_EMPTY, nullptr, 0, DISP_E_MEMBERNOTFOUND, VT_EMPTY},
        {"dispatch id -1", -1, method, VT_EMPTY, nullptr, 0, DISP_E_MEMBERNOTFOUND, VT_EMPTY},
    };
    for (const Call& c : calls) {
        win32::Variant result;
        const HRESULT got = invoke(object.get(), c, result);
        wt::checkEqual(hex(got), hex(c.expected), std::string("object: ") + c.what + " answers");
        wt::checkEqual(result.type(), c.resultType, std::string("object: ") + c.what + " result type");
    }
    win32::Variant v;
    invoke(object.get(), calls[0], v);
    wt::check(wideOf(*v.get()) == L"BPSK63", "object: Mode from the command line");
    invoke(object.get(), calls[2], v);
    wt::check(V_VT(v.get()) == VT_R8 && V_R8(v.get()) == 7035000.5, "object: Frequency from the command line");
    invoke(object.get(), calls[3], v);
    wt::check(wideOf(*v.get()) == kCyrillicCallWide, "object: the Cyrillic call from the command line");
    wt::check(host.waitForMacros(2, 2000), "object: both macros recorded");
    const std::vector<std::string> macros = host.macros();
    wt::check(macros.size() == 2 && macros[0] == "<SP1>" && macros[1] == "42", "object: the macros in order");

    // The channel changes what the object answers, and reports it back.
    host.commandOk("mode BPSK31");
    host.commandOk("frequency 3580000");
    host.commandOk(std::string("field 5 ") + kCyrillicCall1251);
    const std::vector<std::string> state = host.commandOk("state");
    wt::check(state.size() == 4 && state[0] == "BPSK31" && state[1] == "3580000" && state[2] == kCyrillicCall1251 &&
                  state[3] == "2",
              "channel: state reports mode, frequency, call, macro count");
    invoke(object.get(), calls[0], v);
    wt::check(wideOf(*v.get()) == L"BPSK31", "channel: Mode set");
    invoke(object.get(), calls[3], v);
    wt::check(wideOf(*v.get()) == kCyrillicCallWide, "channel: code page 1251 call arrives as Cyrillic");
    host.commandOk("mode -");
    invoke(object.get(), calls[0], v);
    wt::check(V_VT(v.get()) == VT_BSTR && wideOf(*v.get()).empty(), "channel: \"-\" is the empty mode");

    // Faults are seen through the clients (host_client_test, modepad_test); here only
    // what the channel refuses.
    for (const char* wrong : {"fault sometimes", "frequency fast", "field x y", "nonsense"}) {
        const std::string reply = host.command(wrong);
        wt::check(reply.rfind("error ", 0) == 0, std::string("channel: '") + wrong + "' answers an error");
    }

    // A macro with a line break and 8-bit text is recorded on one line, bytes intact.
    const Call odd{"", 16, method, VT_BSTR, L"<A>\r\n\u0416\\", 0, S_OK, VT_EMPTY};
    invoke(object.get(), odd, v);
    wt::check(host.waitForMacros(3, 2000) && host.macros().back() == "<A>\r\n\xC6\\",
              "record: a macro with a line break and Cyrillic kept whole");
    wt::check(host.quit(), "object: quit ends it with exit code 0");
    wt::check(!runningHost(&hr), "object: no running object once it has ended");
}

// The plug-in's exports called through the channel, on the host's main thread.
void pluginDriven() {
    // The commands' own answers are tested natively; here the library loads and runs in
    // the stand-in's process, writing into the working folder.
    wt::StandInHost host;
    if (!wt::check(host.start(gBin), "plug-in: stand-in starts")) return;
    host.commandOk("load " + gDll);
    host.commandOk("reset UT1AA UR EU 2017-12-16T1200 2017-12-17T1159 0 " + wt::currentFolder() + "\\");
    const std::vector<std::string> added =
        host.commandOk("add DL EU QSO: 14080 RY 2017-12-16 1300 UT1AA 599 KV DL1ABC 599 001");
    wt::check(added == std::vector<std::string>{"1"}, "plug-in: QSO logged");
    const std::vector<std::string> dupe = host.commandOk("check DL1ABC 20m RTTY DL");
    wt::check(!dupe.empty() && dupe[0] == "0", "plug-in: the call check finds the dupe");
    const std::vector<std::string> result = host.commandOk("result");
    wt::check(result.size() == 2 && result[1].find("20m") != std::string::npos, "plug-in: the summary comes back");
    wt::check(wt::fileExists("BadQSO_StatsTALVENCP_17_12_2017.txt"), "plug-in: its report in the host's folder");
    host.commandOk("unload");
    wt::check(host.quit(), "plug-in: quit ends it with exit code 0");
}

// Every other way it ends, each with the object revoked.
void endings() {
    {
        wt::StandInHost host;
        if (wt::check(host.start(gBin), "close: stand-in starts")) {
            PostMessageA(host.window(), WM_CLOSE, 0, 0);
            wt::check(host.process().waitExit(5000) && host.process().exitCode() == 0, "close: ends with exit code 0");
        }
    }
    {
        wt::StandInHost host;
        if (wt::check(host.start(gBin), "input: stand-in starts")) {
            wt::StandInHost second;
            wt::check(
                !second.start(gBin, L"", 5000) && second.process().waitExit(5000) && second.process().exitCode() == 3,
                "a second stand-in refuses to publish a second object");
            host.process().endGently(5000);
            wt::checkEqual(host.process().exitCode(), 0, "input: the end of its input ends it");
        }
    }
    {
        wt::StandInHost host;
        if (wt::check(host.start(gBin, L"--time-limit 1"), "time limit: stand-in starts")) {
            const DWORD t0 = GetTickCount();
            wt::check(host.process().waitExit(5000) && host.process().exitCode() == 4,
                      "time limit: ends by itself with exit code 4");
            wt::check(GetTickCount() - t0 < 3000, "time limit: within about its second");
        }
    }
    wt::check(!runningHost(), "no running object after any of these");
}

}  // namespace

int main(int argc, char** argv) {
    return wt::run(90, argc, argv, [](const std::string& dll) {
        gDll = dll;
        gBin = wt::folderOf(gDll);
        const win32::ComInit com;
        objectAnswers();
        pluginDriven();
        endings();
    });
}
