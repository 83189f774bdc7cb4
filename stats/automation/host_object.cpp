#include "automation/host_object.h"

#include <cstdio>

#include "automation/cp1251.h"

namespace automation {

namespace {

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "BSTRs hold UTF-16");

// Empty when out of memory.
win32::Bstr bstrFromCp1251(std::string_view text) noexcept {
    try {
        const std::u16string wide = utf16FromCp1251(text);
        return win32::Bstr(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), UINT(wide.size())));
    } catch (...) {
        return win32::Bstr();
    }
}

std::string cp1251FromBstr(BSTR text) {
    if (!text) return std::string();
    return cp1251FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
}

HostCall failed(HostStatus status, long code) { return HostCall{status, code}; }

// A result taken as a value: wrongType names the type received.
HostCall taken(HostStatus status, const win32::Variant& result) {
    if (status == HostStatus::wrongType) return failed(status, result.type());
    if (status == HostStatus::callFailed) return failed(status, E_OUTOFMEMORY);
    return HostCall{};
}

// The value a result holds, references followed.
bool dereferenced(const VARIANT& result, win32::Variant& out) {
    // The copy functions take their source as non-const; they do not change it.
    VARIANT* source = const_cast<VARIANT*>(&result);
    if (!(V_VT(&result) & VT_BYREF)) return SUCCEEDED(VariantCopy(out.put(), source));
    return SUCCEEDED(VariantCopyInd(out.put(), source));
}

bool isNumeric(VARTYPE type) {
    switch (type) {
        case VT_R8:
        case VT_R4:
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_DECIMAL:
        case VT_CY:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string describe(const HostCall& call) {
    char code[32];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(call.code));
    switch (call.status) {
        case HostStatus::ok:
            return "ok";
        case HostStatus::notBound:
            return std::string("not bound (") + code + ")";
        case HostStatus::callFailed:
            return std::string("call failed (") + code + ")";
        case HostStatus::wrongType:
            return "wrong result type (VT " + std::to_string(call.code) + ")";
    }
    return "unknown";
}

HostStatus textFromResult(const VARIANT& result, std::string& text) noexcept {
    try {
        win32::Variant value;
        if (!dereferenced(result, value)) return HostStatus::wrongType;
        switch (value.type()) {
            case VT_BSTR:
                text = cp1251FromBstr(V_BSTR(value.get()));
                return HostStatus::ok;
            case VT_EMPTY:
            case VT_NULL:
                text.clear();
                return HostStatus::ok;
            default:
                return HostStatus::wrongType;
        }
    } catch (...) {
        // Out of memory for the text.
        return HostStatus::callFailed;
    }
}

HostStatus numberFromResult(const VARIANT& result, double& number) noexcept {
    win32::Variant value;
    if (!dereferenced(result, value) || !isNumeric(value.type())) return HostStatus::wrongType;
    if (FAILED(VariantChangeType(value.get(), value.get(), 0, VT_R8))) return HostStatus::wrongType;
    number = V_R8(value.get());
    return HostStatus::ok;
}

HostCall HostObject::bind() noexcept {
    unbind();
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Orba2.Application", &clsid);
    if (FAILED(hr)) return failed(HostStatus::notBound, hr);
    // A thread already in the multi-threaded apartment keeps it (RPC_E_CHANGED_MODE):
    // the object can be reached from there as well.
    com_.emplace(COINIT_APARTMENTTHREADED);
    win32::ComPtr<IUnknown> running;
    hr = GetActiveObject(clsid, nullptr, running.put());
    if (FAILED(hr)) return failed(HostStatus::notBound, hr);
    if (!running) return failed(HostStatus::notBound, E_POINTER);
    hr = running.queryTo(IID_IDispatch, host_);
    // `running` is released here; only the IDispatch is kept.
    if (FAILED(hr)) return failed(HostStatus::notBound, hr);
    return HostCall{};
}

void HostObject::unbind() noexcept {
    host_.reset();
    com_.reset();
}

HostCall HostObject::invoke(HostMember member, WORD flags, VARIANT* argument, VARIANT* result) noexcept {
    if (!host_) return failed(HostStatus::notBound, CO_E_OBJNOTCONNECTED);
    DISPPARAMS parameters{argument, nullptr, argument ? 1u : 0u, 0};
    win32::ExcepInfo exception;
    UINT badArgument = 0;
    const HRESULT hr = host_->Invoke(static_cast<DISPID>(member), IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                     result, exception.put(), &badArgument);
    if (hr == DISP_E_EXCEPTION) return failed(HostStatus::callFailed, exception.code());
    if (FAILED(hr)) return failed(HostStatus::callFailed, hr);
    return HostCall{};
}

HostCall HostObject::executeMacros(std::string_view macro) noexcept {
    if (!host_) return failed(HostStatus::notBound, CO_E_OBJNOTCONNECTED);
    win32::Variant argument;
    win32::Bstr text = bstrFromCp1251(macro);
    if (!text) return failed(HostStatus::callFailed, E_OUTOFMEMORY);
    V_VT(argument.get()) = VT_BSTR;
    V_BSTR(argument.get()) = text.release();
    win32::Variant ignored;
    return invoke(HostMember::executeMacros, DISPATCH_METHOD, argument.get(), ignored.get());
}

HostValue<std::string> HostObject::mode() noexcept {
    HostValue<std::string> out;
    win32::Variant result;
    out.call = invoke(HostMember::mode, DISPATCH_PROPERTYGET, nullptr, result.get());
    if (!out.ok()) return out;
    out.call = taken(textFromResult(*result.get(), out.value), result);
    return out;
}

HostValue<double> HostObject::frequency() noexcept {
    HostValue<double> out;
    win32::Variant result;
    out.call = invoke(HostMember::frequency, DISPATCH_PROPERTYGET, nullptr, result.get());
    if (!out.ok()) return out;
    out.call = taken(numberFromResult(*result.get(), out.value), result);
    return out;
}

HostValue<std::string> HostObject::entryField(int32_t index) noexcept {
    HostValue<std::string> out;
    win32::Variant argument;
    V_VT(argument.get()) = VT_I4;
    V_I4(argument.get()) = index;
    win32::Variant result;
    out.call = invoke(HostMember::getEntryField, DISPATCH_METHOD, argument.get(), result.get());
    if (!out.ok()) return out;
    out.call = taken(textFromResult(*result.get(), out.value), result);
    return out;
}

}  // namespace automation
