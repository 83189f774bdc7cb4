// Unloading a library whose window thread is calling an object of the unloading thread
// at that very moment: FreeLibrary returns quickly, the object gets its references back,
// and the program goes on and ends normally (no code of the unloaded library runs). The
// library is tests/wine/unload_probe.cpp, which stops its thread as the plug-in does.
#include <windows.h>

#include <atomic>

#include "wine_test.h"

namespace {

// The object on this thread, standing in for the host's automation object. Its calls
// come from the probe's window thread through COM, as messages to this thread.
class HostObject : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }  // lives on the stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        ++served;
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    std::atomic<long> refs{1};
    std::atomic<long> served{0};
};

// Serves this thread's messages, and with them the window thread's calls, for a while.
void pump(DWORD milliseconds) {
    wt::pumpUntil([] { return false; }, milliseconds);
}

using Start = BOOL (*)(IStream*);
using Flag = BOOL (*)();
using Count = long (*)();
using Action = void (*)();

struct Probe {
    HMODULE module = LoadLibraryW(L"unload_probe.dll");
    Start start = reinterpret_cast<Start>(reinterpret_cast<void*>(GetProcAddress(module, "probe_start")));
    Flag running = reinterpret_cast<Flag>(reinterpret_cast<void*>(GetProcAddress(module, "probe_running")));
    Count calls = reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(module, "probe_calls")));
    Action close = reinterpret_cast<Action>(reinterpret_cast<void*>(GetProcAddress(module, "probe_close")));
    bool ok() const { return module && start && running && calls && close; }
};

bool startWith(Probe& p, HostObject& host) {
    IStream* stream = nullptr;
    if (FAILED(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, &host, &stream))) return false;
    return p.start(stream) != FALSE;
}

// Unloads and says how long it took.
DWORD unload(HMODULE module) {
    const ULONGLONG t0 = GetTickCount64();
    FreeLibrary(module);
    return static_cast<DWORD>(GetTickCount64() - t0);
}

void everyCase() {
    win32::ComInit com;
    HostObject host;

    struct Case {
        const char* name;
        bool closedBefore;  // the windows closed by themselves before the unload
        bool restarted;     // a second start replaced the first thread
    };
    const Case cases[] = {
        {"a call in flight", false, false}, {"windows already closed", true, false}, {"restarted before", false, true}};
    for (const Case& c : cases) {
        const std::string name = c.name;
        Probe p;
        if (!wt::check(p.ok(), name + ": probe library loaded")) break;
        wt::check(startWith(p, host), name + ": window thread started");
        pump(200);
        if (c.restarted) wt::check(startWith(p, host), name + ": started again");
        pump(200);
        wt::check(p.calls() > 0, name + ": the window thread called the host's object");
        if (c.closedBefore) {
            p.close();
            pump(300);
            wt::check(!p.running(), name + ": the thread finished after its windows closed");
        }
        // Stop serving for a while: the window thread is now stuck in a call on this
        // thread, as it would be when the host begins to unload the plug-in.
        Sleep(150);
        const DWORD ms = unload(p.module);
        wt::check(ms < 1000, name + ": FreeLibrary returned within a second (" + std::to_string(ms) + " ms)");
        wt::check(GetModuleHandleW(L"unload_probe.dll") == nullptr, name + ": the library is gone");
        pump(200);
        wt::checkEqual(host.refs.load(), 1, name + ": the object got every reference back");
    }
    // The host goes on working: its object still answers, and the program ends normally.
    const long before = host.served;
    UINT n = 0;
    host.GetTypeInfoCount(&n);
    wt::checkEqual(host.served - before, 1, "the host's object still answers");
}

}  // namespace

int main() { return wt::run(60, everyCase); }
