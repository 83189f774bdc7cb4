#include "host_link.h"

#include <cstdio>

namespace modepad {

namespace {

// One member called by name as late binding does: its id asked for each call.
bool call(IDispatch* host, const wchar_t* name, WORD flags, VARIANT* argument, VARIANT* result,
          HostError& error) noexcept {
    if (!host) {
        error.code = E_POINTER;
        return false;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = host->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        error.code = hr;
        return false;
    }
    DISPPARAMS parameters{argument, nullptr, argument ? 1u : 0u, 0};
    win32::ExcepInfo exception;
    UINT badArgument = 0;
    hr = host->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, exception.put(), &badArgument);
    if (hr == DISP_E_EXCEPTION) {
        error.code = exception.code();
        if (const wchar_t* d = exception.description()) error.description = d;
        return false;
    }
    error.code = hr;
    return SUCCEEDED(hr);
}

}  // namespace

std::wstring HostError::message(const wchar_t* member) const {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(this->code));
    std::wstring text = L"Orba2 did not carry out ";
    text += member;
    text += L".\n\n";
    if (!description.empty()) {
        text += description;
    } else {
        win32::LocalMemory<wchar_t> system;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(this->code), 0, reinterpret_cast<wchar_t*>(system.put()), 0, nullptr);
        text += system ? system.get() : L"Automation error";
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text + L"\n(error " + code + L")\n\nmodepad ends now.";
}

HRESULT getRunningHost(win32::ComPtr<IDispatch>& host) noexcept {
    host.reset();
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Orba2.Application", &clsid);
    if (FAILED(hr)) return hr;
    win32::ComPtr<IUnknown> running;
    hr = GetActiveObject(clsid, nullptr, running.put());
    if (FAILED(hr)) return hr;
    return running.queryTo(IID_IDispatch, host);
}

bool executeMacros(IDispatch* host, const std::wstring& text, HostError& error) noexcept {
    win32::Variant argument;
    V_VT(argument.get()) = VT_BSTR;
    V_BSTR(argument.get()) = SysAllocStringLen(text.data(), UINT(text.size()));
    if (!V_BSTR(argument.get())) {
        error.code = E_OUTOFMEMORY;
        return false;
    }
    win32::Variant ignored;
    return call(host, L"ExecuteMacros", DISPATCH_METHOD, argument.get(), ignored.get(), error);
}

bool readMode(IDispatch* host, std::wstring& mode, HostError& error) noexcept {
    win32::Variant result;
    if (!call(host, L"Mode", DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, result.get(), error)) return false;
    // Taken as a string, as a late-bound read into a string variable converts it.
    const HRESULT hr = VariantChangeType(result.get(), result.get(), 0, VT_BSTR);
    if (FAILED(hr)) {
        error.code = hr;
        return false;
    }
    const BSTR text = V_BSTR(result.get());
    try {
        mode.assign(text ? text : L"", text ? SysStringLen(text) : 0);
    } catch (...) {
        error.code = E_OUTOFMEMORY;
        return false;
    }
    return true;
}

}  // namespace modepad
