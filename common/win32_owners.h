// Owners of Win32 resources. Each one closes what it holds exactly once, with the
// function that kind of resource needs, when it goes out of scope; a moved-from owner
// holds nothing and closes nothing. None can be copied, and nothing here throws, so
// they are safe inside window procedures and exported functions.
//
// The owners of one value share one interface:
//   get()        the raw value, still owned
//   release()    gives up ownership and returns the raw value (the caller closes it)
//   reset(v)     closes what is held, if anything, and takes over v (nothing: empty)
//   put()        closes what is held and returns the address of the empty slot, for
//                functions that hand out a new resource through an out parameter
//   explicit operator bool: something is held
//
// Header-only, for every Windows program of the project. Link the `win32_owners`
// target: it adds this folder to the include path and the system libraries used here.
#pragma once
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <type_traits>
#include <utility>

namespace win32 {

// ---- one value, one close function -----------------------------------------------

// `Traits` names the value type, its empty value and the function that closes it.
template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type owned) noexcept : value_(owned) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::empty(); }

    Type release() noexcept {
        const Type value = value_;
        value_ = Traits::empty();
        return value;
    }

    void reset(Type owned = Traits::empty()) noexcept {
        // A handle value names one open handle: being given the one we hold must not
        // close it under us.
        if (owned == value_) return;
        const Type old = value_;
        value_ = owned;
        if (old != Traits::empty()) Traits::close(old);
    }

    Type* put() noexcept {
        reset();
        return &value_;
    }

    void swap(UniqueHandle& other) noexcept { std::swap(value_, other.value_); }

private:
    Type value_ = Traits::empty();
};

namespace traits {

// Events, threads, processes, mutexes, file mappings: their functions report failure
// with a null handle.
struct KernelHandle {
    using Type = HANDLE;
    static Type empty() noexcept { return nullptr; }
    static void close(Type h) noexcept { CloseHandle(h); }
};

// CreateFile, CreateNamedPipe, CreateMailslot, CreateToolhelp32Snapshot: these report
// failure with INVALID_HANDLE_VALUE, and null is never returned.
struct FileHandle {
    using Type = HANDLE;
    static Type empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Type h) noexcept { CloseHandle(h); }
};

struct FindHandle {
    using Type = HANDLE;
    static Type empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Type h) noexcept { FindClose(h); }
};

struct Module {
    using Type = HMODULE;
    static Type empty() noexcept { return nullptr; }
    static void close(Type h) noexcept { FreeLibrary(h); }
};

template <typename T>
struct LocalMemory {
    using Type = T*;
    static Type empty() noexcept { return nullptr; }
    static void close(Type p) noexcept { LocalFree(const_cast<std::remove_const_t<T>*>(p)); }
};

template <typename T>
struct GdiObject {
    using Type = T;
    static Type empty() noexcept { return nullptr; }
    static void close(Type h) noexcept { DeleteObject(h); }
};

struct MemoryDC {
    using Type = HDC;
    static Type empty() noexcept { return nullptr; }
    static void close(Type h) noexcept { DeleteDC(h); }
};

struct RegistryKey {
    using Type = HKEY;
    static Type empty() noexcept { return nullptr; }
    static void close(Type k) noexcept { RegCloseKey(k); }
};

// SetWindowsHookEx.
struct WindowsHook {
    using Type = HHOOK;
    static Type empty() noexcept { return nullptr; }
    static void close(Type h) noexcept { UnhookWindowsHookEx(h); }
};

struct Bstr {
    using Type = BSTR;
    static Type empty() noexcept { return nullptr; }
    static void close(Type s) noexcept { SysFreeString(s); }
};

}  // namespace traits

using KernelHandle = UniqueHandle<traits::KernelHandle>;
using FileHandle = UniqueHandle<traits::FileHandle>;
using FindHandle = UniqueHandle<traits::FindHandle>;
using Module = UniqueHandle<traits::Module>;
// A key of RegOpenKeyEx / RegCreateKeyEx (`put()` for their out parameter).
using RegistryKey = UniqueHandle<traits::RegistryKey>;
using WindowsHook = UniqueHandle<traits::WindowsHook>;
// Memory the system allocated for the caller with LocalAlloc (FormatMessage with
// FORMAT_MESSAGE_ALLOCATE_BUFFER, CommandLineToArgvW, ...).
template <typename T>
using LocalMemory = UniqueHandle<traits::LocalMemory<T>>;

// GDI objects. An object must not be deleted while it is selected into a DC: declare
// its owner before the ScopedSelect that selects it, so the selection ends first.
template <typename T>
using GdiObject = UniqueHandle<traits::GdiObject<T>>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;

// A DC from CreateCompatibleDC or CreateDC.
using MemoryDC = UniqueHandle<traits::MemoryDC>;

// A BSTR of SysAllocString; `put()` for functions that return one.
using Bstr = UniqueHandle<traits::Bstr>;

inline Bstr makeBstr(const wchar_t* text) noexcept { return Bstr(SysAllocString(text)); }

// ---- DCs that belong to a window ----------------------------------------------------

// GetDC / ReleaseDC. A null window is the screen.
class WindowDC {
public:
    WindowDC() noexcept = default;
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(other.dc_) { other.forget(); }
    WindowDC& operator=(WindowDC&& other) noexcept {
        if (this != &other) {
            reset();
            window_ = other.window_;
            dc_ = other.dc_;
            other.forget();
        }
        return *this;
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { reset(); }

    HDC get() const noexcept { return dc_; }
    HWND window() const noexcept { return window_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

    // The caller then owes ReleaseDC(window(), dc): read window() first.
    HDC release() noexcept {
        const HDC dc = dc_;
        forget();
        return dc;
    }

    void reset() noexcept {
        if (dc_) ReleaseDC(window_, dc_);
        forget();
    }

private:
    void forget() noexcept {
        window_ = nullptr;
        dc_ = nullptr;
    }
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// BeginPaint / EndPaint, for WM_PAINT. EndPaint runs even when BeginPaint found no DC:
// it also shows the caret again that BeginPaint hid.
class PaintDC {
public:
    explicit PaintDC(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDC(PaintDC&& other) noexcept : window_(other.window_), dc_(other.dc_), paint_(other.paint_) {
        other.window_ = nullptr;
        other.dc_ = nullptr;
    }
    PaintDC& operator=(PaintDC&&) = delete;
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { reset(); }

    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paint() const noexcept { return paint_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

    // Ends the painting early.
    void reset() noexcept {
        if (window_) EndPaint(window_, &paint_);
        window_ = nullptr;
        dc_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    PAINTSTRUCT paint_{};
};

// ---- selection of a GDI object ------------------------------------------------------

// Selects an object into a DC and selects the previous one back at the end of the
// scope. Not for regions: selecting a region clips to a copy of it and returns no
// previous object, so there is nothing to restore (the selection then just stays).
class ScopedSelect {
public:
    ScopedSelect() noexcept = default;
    ScopedSelect(HDC dc, HGDIOBJ object) noexcept {
        if (!dc || !object) return;
        const bool region = GetObjectType(object) == OBJ_REGION;
        const HGDIOBJ previous = SelectObject(dc, object);
        if (region || !previous || previous == HGDI_ERROR) return;
        dc_ = dc;
        previous_ = previous;
    }
    ScopedSelect(ScopedSelect&& other) noexcept : dc_(other.dc_), previous_(other.previous_) { other.forget(); }
    ScopedSelect& operator=(ScopedSelect&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = other.dc_;
            previous_ = other.previous_;
            other.forget();
        }
        return *this;
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { reset(); }

    // The object that was selected before; it is selected again at the end.
    HGDIOBJ previous() const noexcept { return previous_; }
    explicit operator bool() const noexcept { return previous_ != nullptr; }

    // Keeps the new selection; returns the previous object for the caller to restore.
    HGDIOBJ release() noexcept {
        const HGDIOBJ previous = previous_;
        forget();
        return previous;
    }

    void reset() noexcept {
        if (previous_) SelectObject(dc_, previous_);
        forget();
    }

private:
    void forget() noexcept {
        dc_ = nullptr;
        previous_ = nullptr;
    }
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// SaveDC / RestoreDC: the colours, modes, origins, clipping and selected objects of a
// DC come back as they were at the end of the scope. The restore also selects out the
// objects selected in between: declare their owners before this, so they are deleted
// after it.
class SavedDC {
public:
    SavedDC() noexcept = default;
    explicit SavedDC(HDC dc) noexcept {
        if (!dc) return;
        const int level = SaveDC(dc);
        if (level == 0) return;
        dc_ = dc;
        level_ = level;
    }
    SavedDC(SavedDC&& other) noexcept : dc_(other.dc_), level_(other.level_) { other.forget(); }
    SavedDC& operator=(SavedDC&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = other.dc_;
            level_ = other.level_;
            other.forget();
        }
        return *this;
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC() { reset(); }

    explicit operator bool() const noexcept { return level_ != 0; }

    // Restores now. A state saved later and still on the stack is dropped with it.
    void reset() noexcept {
        if (level_ != 0) RestoreDC(dc_, level_);
        forget();
    }

private:
    void forget() noexcept {
        dc_ = nullptr;
        level_ = 0;
    }
    HDC dc_ = nullptr;
    int level_ = 0;
};

// ---- automation values ----------------------------------------------------------------

// A VARIANT: initialised empty, cleared (releasing the string, array or interface it
// holds) when reset or destroyed. `put()` clears and hands out the VARIANT for a
// function to fill, such as IDispatch::Invoke's result.
class Variant {
public:
    Variant() noexcept { VariantInit(&value_); }
    // Takes over a VARIANT whose contents the caller owned.
    explicit Variant(const VARIANT& owned) noexcept : value_(owned) {}
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = other.value_;
            VariantInit(&other.value_);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { reset(); }

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }
    VARTYPE type() const noexcept { return V_VT(&value_); }
    explicit operator bool() const noexcept { return V_VT(&value_) != VT_EMPTY; }

    // The contents, now the caller's to clear; this one is empty afterwards.
    VARIANT release() noexcept {
        const VARIANT value = value_;
        VariantInit(&value_);
        return value;
    }

    void reset() noexcept {
        // A failed clear (a locked array) must not leave contents that would be
        // cleared again later.
        VariantClear(&value_);
        VariantInit(&value_);
    }
    void reset(const VARIANT& owned) noexcept {
        if (&owned == &value_) return;
        VARIANT old = value_;
        value_ = owned;
        VariantClear(&old);
    }

    VARIANT* put() noexcept {
        reset();
        return &value_;
    }

private:
    VARIANT value_;
};

// The EXCEPINFO an IDispatch::Invoke fills when it answers DISP_E_EXCEPTION: its three
// strings are the caller's to free. `put()` clears and hands it out for Invoke;
// description() fills it in first when the server deferred that.
class ExcepInfo {
public:
    ExcepInfo() noexcept = default;
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() { reset(); }

    EXCEPINFO* put() noexcept {
        reset();
        return &info_;
    }
    const EXCEPINFO& get() const noexcept { return info_; }

    // The server's description of the failure; null when it gave none.
    const wchar_t* description() noexcept {
        if (info_.pfnDeferredFillIn) {
            const auto fill = info_.pfnDeferredFillIn;
            info_.pfnDeferredFillIn = nullptr;
            fill(&info_);
        }
        return info_.bstrDescription;
    }
    // The failure's code: scode, or the one wCode stands for.
    HRESULT code() const noexcept {
        if (info_.scode) return info_.scode;
        return info_.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, info_.wCode) : HRESULT(DISP_E_EXCEPTION);
    }

    void reset() noexcept {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
        info_ = EXCEPINFO{};
    }

private:
    EXCEPINFO info_{};
};

// ---- COM ----------------------------------------------------------------------------

// A counted reference to a COM object. The constructor and reset() take over a
// reference the caller holds (as returned by CreateInstance or QueryInterface);
// share() adds one of its own. Move-only: copy() makes a second reference on purpose.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* owned) noexcept : p_(owned) {}
    ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
    template <typename U, typename = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    ComPtr(ComPtr<U>&& other) noexcept : p_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    static ComPtr share(T* p) noexcept {
        if (p) p->AddRef();
        return ComPtr(p);
    }
    ComPtr copy() const noexcept { return share(p_); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    T* release() noexcept {
        T* p = p_;
        p_ = nullptr;
        return p;
    }

    // The new reference is stored before the old one is released: a Release that runs
    // a destructor which comes back to this pointer finds the new value, not a dead one.
    void reset(T* owned = nullptr) noexcept {
        T* old = p_;
        p_ = owned;
        if (old) old->Release();
    }

    T** put() noexcept {
        reset();
        return &p_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    // QueryInterface into `out` (emptied first). For interfaces declared with a uuid
    // the second form finds the IID itself.
    template <typename U>
    HRESULT queryTo(REFIID iid, ComPtr<U>& out) const noexcept {
        out.reset();
        if (!p_) return E_POINTER;
        const HRESULT hr = p_->QueryInterface(iid, out.putVoid());
        // A failed query has given no reference, whatever it left in the pointer.
        if (FAILED(hr)) out.release();
        return hr;
    }
    template <typename U>
    HRESULT queryTo(ComPtr<U>& out) const noexcept {
        return queryTo(__uuidof(U), out);
    }
    template <typename U>
    ComPtr<U> query() const noexcept {
        ComPtr<U> out;
        queryTo(out);
        return out;
    }

private:
    T* p_ = nullptr;
};

// COM initialisation of the calling thread, undone at the end of the scope only when
// it succeeded (S_FALSE, "already initialised", counts: it must be balanced too); a
// thread already in the other apartment model gets RPC_E_CHANGED_MODE and nothing to
// undo. Create and destroy it on the same thread.
class ComInit {
public:
    explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept : result_(CoInitializeEx(nullptr, model)) {}
    ComInit(ComInit&& other) noexcept : result_(other.result_) { other.result_ = CO_E_NOTINITIALIZED; }
    ComInit& operator=(ComInit&& other) noexcept {
        if (this != &other) {
            reset();
            result_ = other.result_;
            other.result_ = CO_E_NOTINITIALIZED;
        }
        return *this;
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    ~ComInit() { reset(); }

    HRESULT result() const noexcept { return result_; }
    explicit operator bool() const noexcept { return SUCCEEDED(result_); }

    // Leaves COM on this thread now (when this guard had entered it).
    void reset() noexcept {
        if (SUCCEEDED(result_)) CoUninitialize();
        result_ = CO_E_NOTINITIALIZED;
    }

private:
    HRESULT result_;
};

// An object published in the running-object table (RegisterActiveObject), revoked at
// the end of the scope. Revoke on the thread that registered it, before that thread
// leaves COM.
class ActiveObject {
public:
    ActiveObject() noexcept = default;
    ActiveObject(ActiveObject&& other) noexcept : cookie_(other.cookie_) { other.cookie_ = 0; }
    ActiveObject& operator=(ActiveObject&& other) noexcept {
        if (this != &other) {
            reset();
            cookie_ = other.cookie_;
            other.cookie_ = 0;
        }
        return *this;
    }
    ActiveObject(const ActiveObject&) = delete;
    ActiveObject& operator=(const ActiveObject&) = delete;
    ~ActiveObject() { reset(); }

    // Publishes `object` under `clsid`, strongly held by the table until revoked.
    HRESULT registerObject(IUnknown* object, REFCLSID clsid) noexcept {
        reset();
        DWORD cookie = 0;
        const HRESULT hr = RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie);
        if (SUCCEEDED(hr)) cookie_ = cookie;
        return hr;
    }
    explicit operator bool() const noexcept { return cookie_ != 0; }

    void reset() noexcept {
        if (cookie_) RevokeActiveObject(cookie_, nullptr);
        cookie_ = 0;
    }

private:
    DWORD cookie_ = 0;
};

}  // namespace win32
