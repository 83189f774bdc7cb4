// The Win32 owners where their faults would show: a handle closed twice, too early or
// never; a GDI object left selected (and so impossible to delete) or the wrong one put
// back; a COM reference or a thread's COM initialisation left unbalanced. And the
// window base of the same folder where its faults would show: an exception let out
// into the system's frames, or caught and never heard of.
#include "win32_owners.h"

#include <atomic>
#include <stdexcept>
#include <string>

#include "window_base.h"
#include "wine_test.h"

namespace {

// ---- one value, one close function ----------------------------------------------------

bool handleOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != 0;
}

HANDLE newEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

HANDLE newTempFile() {
    static int n = 0;
    const std::string name = "owners_" + std::to_string(++n) + ".tmp";
    return CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

template <typename Owner>
struct Kind {
    const char* name;
    typename Owner::Type (*make)();
    bool (*alive)(typename Owner::Type);
};

// Every check makes its new values before closing old ones, so a closed handle's
// number cannot come back as a new handle in between.
template <typename Owner>
void ownership(const Kind<Owner>& k) {
    const std::string n = std::string(k.name) + ": ";
    const auto a = k.make();
    if (!wt::check(a != Owner().get(), n + "made one")) return;
    Owner target = [&] {
        Owner first(a);
        return Owner(std::move(first));
    }();
    wt::check(k.alive(a), n + "the moved-from owner closed nothing");

    const auto b = k.make();
    Owner other(b);
    target = std::move(other);
    wt::check(!k.alive(a), n + "move assignment closes what the target held");
    wt::check(k.alive(b) && !other && target.get() == b, n + "and takes the other's value");

    target.reset(b);
    wt::check(k.alive(b), n + "reset to the value held keeps it open");
    const auto c = k.make();
    target.reset(c);
    wt::check(!k.alive(b) && k.alive(c), n + "reset closes the old value and keeps the new");

    const auto released = target.release();
    wt::check(!target && k.alive(c), n + "release leaves it open and the owner empty");
    { Owner again(released); }
    wt::check(!k.alive(c), n + "an owner closes it when it ends");
}

void ownersOfOneValue() {
    ownership(Kind<win32::KernelHandle>{"event", newEvent, handleOpen});
    ownership(Kind<win32::FileHandle>{"file", newTempFile, handleOpen});
    ownership(Kind<win32::Brush>{"brush", [] { return CreateSolidBrush(RGB(1, 2, 3)); },
                                 [](HBRUSH h) { return GetObjectType(h) == OBJ_BRUSH; }});
    ownership(Kind<win32::MemoryDC>{"memory DC", [] { return CreateCompatibleDC(nullptr); },
                                    [](HDC h) { return GetObjectType(h) == OBJ_MEMDC; }});

    // Each kind's own "nothing": null for events, INVALID_HANDLE_VALUE for files.
    const win32::KernelHandle noEvent(OpenEventA(SYNCHRONIZE, FALSE, "no such event of the owners test"));
    const win32::FileHandle noFile(
        CreateFileA("no such folder\\no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    wt::check(!noEvent && !noFile, "failed opens give empty owners");
}

// A module's handle is the same for every load; what counts is that it is unloaded
// once, by the last owner.
void modules() {
    const char* const name = "lz32.dll";
    if (!wt::check(GetModuleHandleA(name) == nullptr, "lz32.dll is not loaded before")) return;
    win32::Module target = [&] {
        win32::Module first(LoadLibraryA(name));
        return win32::Module(std::move(first));
    }();
    wt::check(target && GetModuleHandleA(name) == target.get(), "a moved-from module owner does not unload it");
    target.reset();
    wt::check(GetModuleHandleA(name) == nullptr, "reset unloads the module");
}

// ---- selection ------------------------------------------------------------------------

void selection() {
    const win32::MemoryDC dc(CreateCompatibleDC(nullptr));
    if (!wt::check(static_cast<bool>(dc), "memory DC")) return;
    const HGDIOBJ firstBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
    const HGDIOBJ firstBrush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    HBITMAP rawBitmap = nullptr;
    {
        // Declared in this order, the selection ends before the bitmap's owner deletes it.
        win32::Bitmap bitmap(CreateCompatibleBitmap(dc.get(), 8, 8));
        rawBitmap = bitmap.get();
        const win32::ScopedSelect selected(dc.get(), bitmap.get());
        wt::check(selected && GetCurrentObject(dc.get(), OBJ_BITMAP) == rawBitmap, "the bitmap is selected");
    }
    wt::check(GetCurrentObject(dc.get(), OBJ_BITMAP) == firstBitmap, "the DC's first bitmap is selected again");
    wt::check(GetObjectType(rawBitmap) == 0, "the bitmap, no longer selected, was deleted with its owner");

    const win32::Brush a(CreateSolidBrush(RGB(10, 0, 0))), b(CreateSolidBrush(RGB(0, 10, 0)));
    win32::ScopedSelect outer(dc.get(), a.get());
    win32::ScopedSelect moved;
    {
        win32::ScopedSelect inner = [&] {
            win32::ScopedSelect first(dc.get(), b.get());
            return win32::ScopedSelect(std::move(first));
        }();
        moved = std::move(inner);
    }
    wt::check(GetCurrentObject(dc.get(), OBJ_BRUSH) == b.get(), "a moved-from selection puts nothing back");
    moved.reset();
    wt::check(GetCurrentObject(dc.get(), OBJ_BRUSH) == a.get(), "the inner selection puts back the outer brush");
    outer.reset();
    wt::check(GetCurrentObject(dc.get(), OBJ_BRUSH) == firstBrush, "the outer one puts back the DC's first brush");

    // Selecting a region answers with its kind, not with an object to put back.
    const win32::Region region(CreateRectRgn(0, 0, 4, 4));
    wt::check(!win32::ScopedSelect(dc.get(), region.get()), "a region selection has nothing to restore");
}

// A saved DC state comes back whole, nested saves unwind in order, and the restore
// selects out what was selected in between, so its owner can delete it afterwards.
void savedState() {
    const win32::MemoryDC dc(CreateCompatibleDC(nullptr));
    if (!wt::check(static_cast<bool>(dc), "saved state: memory DC")) return;
    SetTextColor(dc.get(), RGB(1, 2, 3));
    const HGDIOBJ firstPen = GetCurrentObject(dc.get(), OBJ_PEN);
    win32::Pen pen(CreatePen(PS_SOLID, 3, RGB(9, 9, 9)));
    const HPEN rawPen = pen.get();
    {
        const win32::SavedDC outer(dc.get());
        SetTextColor(dc.get(), RGB(4, 5, 6));
        SetBkMode(dc.get(), TRANSPARENT);
        SelectObject(dc.get(), pen.get());
        win32::SavedDC inner(dc.get());
        SetTextColor(dc.get(), RGB(7, 8, 9));
        win32::SavedDC moved(std::move(inner));
        wt::check(!inner && moved, "saved state: moving hands the restore over");
        moved.reset();
        wt::checkEqual(GetTextColor(dc.get()), RGB(4, 5, 6), "saved state: the inner restore gives the outer values");
    }
    wt::checkEqual(GetTextColor(dc.get()), RGB(1, 2, 3), "saved state: the text colour is back");
    wt::checkEqual(GetBkMode(dc.get()), OPAQUE, "saved state: the background mode is back");
    wt::check(GetCurrentObject(dc.get(), OBJ_PEN) == firstPen, "saved state: the first pen is selected again");
    pen.reset();
    wt::check(GetObjectType(rawPen) == 0, "saved state: the pen, selected out, could be deleted");
}

// ---- COM ------------------------------------------------------------------------------

// Counts its references and is never freed, so the count can be read at the end.
// A sloppy one leaves its address in the out pointer of a failed query.
struct Counted : IUnknown {
    explicit Counted(bool sloppy = false) : sloppy(sloppy) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = sloppy ? this : nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    bool sloppy;
    LONG refs = 1;
};

void comReferences() {
    Counted object;
    {
        win32::ComPtr<IUnknown> target = [&] {
            win32::ComPtr<IUnknown> first(&object);
            return win32::ComPtr<IUnknown>(std::move(first));
        }();
        wt::checkEqual(object.refs, 1, "a moved-from pointer releases nothing");
        win32::ComPtr<IUnknown> second = target.copy();
        wt::checkEqual(object.refs, 2, "copy() adds a reference");
        target.reset(second.release());
        wt::checkEqual(object.refs, 1, "reset to another reference of the same object releases the old one");
        win32::ComPtr<IDispatch> dispatch;
        wt::check(target.queryTo(IID_IDispatch, dispatch) == E_NOINTERFACE && !dispatch,
                  "a failed query gives an empty pointer");
        const auto unknown = target.query<IUnknown>();
        wt::checkEqual(object.refs, 2, "a query holds its own reference");
    }
    wt::checkEqual(object.refs, 0, "every reference released");

    Counted sloppy(true);
    {
        const win32::ComPtr<IUnknown> p(&sloppy);
        win32::ComPtr<IDispatch> dispatch;
        p.queryTo(IID_IDispatch, dispatch);
        wt::check(!dispatch, "a failed query that left an address behind gives an empty pointer");
    }
    wt::checkEqual(sloppy.refs, 0, "and releases nothing it was not given");

    Counted held;
    {
        win32::Variant target = [&] {
            win32::Variant first;
            V_VT(first.get()) = VT_UNKNOWN;
            V_UNKNOWN(first.get()) = &held;
            return win32::Variant(std::move(first));
        }();
        wt::check(target.type() == VT_UNKNOWN && held.refs == 1, "a moved-from VARIANT clears nothing");
        target.put();
        wt::checkEqual(held.refs, 0, "put() clears what the VARIANT held");
        wt::check(!target, "and leaves it empty");
    }
    wt::checkEqual(held.refs, 0, "an empty VARIANT releases nothing more");
}

bool comInitialised() {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    return CoGetApartmentType(&type, &qualifier) != CO_E_NOTINITIALIZED;
}

// On threads of their own: the state checked is the thread's.
void comGuard() {
    wt::Worker nested([] {
        {
            win32::ComInit outer;
            wt::check(outer.result() == S_OK && comInitialised(), "the guard initialises COM on the thread");
            {
                win32::ComInit inner;
                wt::check(inner && inner.result() == S_FALSE, "a second guard gets S_FALSE, which needs undoing too");
            }
            wt::check(comInitialised(), "the inner guard undoes only its own initialisation");
            win32::ComInit moved(std::move(outer));
            outer.reset();
            wt::check(comInitialised(), "a moved-from guard undoes nothing");
        }
        wt::check(!comInitialised(), "COM is uninitialised as often as it was initialised");
    });
    wt::check(nested.wait(10000), "first COM thread ends");

    wt::Worker otherModel([] {
        const HRESULT sta = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            win32::ComInit mta(COINIT_MULTITHREADED);
            wt::check(!mta && mta.result() == RPC_E_CHANGED_MODE, "the other apartment model is refused");
        }
        wt::check(comInitialised(), "a refused guard does not uninitialise the thread");
        if (SUCCEEDED(sta)) CoUninitialize();
        wt::check(!comInitialised(), "the thread's own CoUninitialize then ends COM on it");
    });
    wt::check(otherModel.wait(10000), "second COM thread ends");
}

// An object in the running-object table, the strings of an EXCEPINFO, a registry key.
void publishedAndDescribed() {
    wt::Worker worker([] {
        const win32::ComInit com;
        // {5C1E0D4A-0B3E-4C55-9E1A-2F7A51D0C0DE}: a class of this test alone.
        const CLSID clsid = {0x5c1e0d4a, 0x0b3e, 0x4c55, {0x9e, 0x1a, 0x2f, 0x7a, 0x51, 0xd0, 0xc0, 0xde}};
        Counted object;
        {
            win32::ActiveObject published;
            wt::check(SUCCEEDED(published.registerObject(&object, clsid)) && published, "an object is published");
            win32::ComPtr<IUnknown> found;
            wt::check(SUCCEEDED(GetActiveObject(clsid, nullptr, found.put())), "and found by its class");
            win32::ActiveObject moved(std::move(published));
            wt::check(!published && moved, "a moved-from registration revokes nothing");
        }
        win32::ComPtr<IUnknown> found;
        wt::check(FAILED(GetActiveObject(clsid, nullptr, found.put())), "the registration ends with its owner");
        wt::checkEqual(object.refs, 1, "and the table's references are released");
    });
    wt::check(worker.wait(10000), "published: the thread ends");

    static int filled = 0;
    struct Deferred {
        static HRESULT STDMETHODCALLTYPE fill(EXCEPINFO* e) {
            ++filled;
            e->bstrDescription = SysAllocString(L"filled late");
            return S_OK;
        }
    };
    win32::ExcepInfo info;
    EXCEPINFO* raw = info.put();
    raw->scode = E_FAIL;
    raw->pfnDeferredFillIn = &Deferred::fill;
    raw->bstrSource = SysAllocString(L"source");
    wt::check(info.description() && std::wstring(info.description()) == L"filled late" && filled == 1,
              "a deferred description is filled in once asked for");
    info.description();
    wt::checkEqual(filled, 1, "and only once");
    wt::checkEqual(info.code(), E_FAIL, "the code is scode");
    info.put()->wCode = 1000;
    wt::checkEqual(info.code(), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, 1000), "or the one wCode stands for");
    wt::check(info.get().bstrSource == nullptr && !info.description(), "put() frees and clears the strings");

    HKEY raw_key = nullptr;
    {
        win32::RegistryKey key;
        wt::check(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\win32_owners_test", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.put(), nullptr) == ERROR_SUCCESS,
                  "a registry key is opened");
        raw_key = key.get();
    }
    wt::check(RegQueryInfoKeyA(raw_key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr) != ERROR_SUCCESS,
              "the key is closed with its owner");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\win32_owners_test");
}

// ---- the window base ---------------------------------------------------------------------

// The last text this process said through OutputDebugString, caught as the stand-in
// host catches the plug-in's.
std::string gDebugText;

LONG CALLBACK catchDebugText(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD& r = *e->ExceptionRecord;
    if (r.ExceptionCode != DBG_PRINTEXCEPTION_C || r.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    gDebugText = reinterpret_cast<const char*>(r.ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_EXECUTION;
}

class Thrower : public win32::WindowBase {
public:
    Thrower() : WindowBase("thrower") {}
    // An ANSI window (as modepad's) or a Unicode one (as the stand-in host's).
    HWND create(bool unicode) {
        WNDCLASSA a{0, procedure};
        a.lpszClassName = "ThrowerA";
        WNDCLASSW w{0, procedure};
        w.lpszClassName = L"ThrowerW";
        if (unicode)
            return RegisterClassW(&w) ? CreateWindowExW(0, w.lpszClassName, L"", 0, 0, 0, 9, 9, nullptr, nullptr,
                                                        nullptr, creationParameter())
                                      : nullptr;
        return RegisterClassA(&a) ? CreateWindowExA(0, a.lpszClassName, "", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                                                    creationParameter())
                                  : nullptr;
    }
    int recovered = 0;

private:
    LRESULT handle(HWND w, UINT message, WPARAM wp, LPARAM lp) override {
        if (message == WM_APP) throw std::runtime_error("no paper");
        if (message == WM_APP + 1) throw 42;
        if (message == WM_APP + 2) return 7;
        return DefWindowProcW(w, message, wp, lp);
    }
    void recover(HWND) noexcept override { ++recovered; }
};

void windowBase() {
    const PVOID handler = AddVectoredExceptionHandler(1, catchDebugText);
    for (const bool unicode : {false, true}) {
        const std::string kind = unicode ? "a Unicode window: " : "an ANSI window: ";
        Thrower t;
        const HWND w = t.create(unicode);
        if (!wt::check(w && t.window() == w, kind + "created, the object knows its window")) continue;
        struct Case {
            UINT message;
            const char* said;
        };
        for (const Case& c : {Case{WM_APP, "thrower: a window message failed: no paper\n"},
                              Case{WM_APP + 1, "thrower: a window message failed: unknown exception\n"}}) {
            gDebugText.clear();
            const int before = t.recovered;
            wt::checkEqual(SendMessageW(w, c.message, 0, 0), 0, kind + "a message that threw answers 0");
            wt::checkEqual(gDebugText, c.said, kind + "what it threw is reported");
            wt::checkEqual(t.recovered, before + 1, kind + "and the window recovers");
        }
        wt::checkEqual(SendMessageW(w, WM_APP + 2, 0, 0), 7, kind + "later messages are still handled");
        DestroyWindow(w);
    }
    RemoveVectoredExceptionHandler(handler);
}

}  // namespace

int main() {
    return wt::run(60, [] {
        ownersOfOneValue();
        modules();
        selection();
        savedState();
        comReferences();
        comGuard();
        publishedAndDescribed();
        windowBase();
    });
}
